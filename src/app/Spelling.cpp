#include "Spelling.h"

#include "AppPaths.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "i18n/Translation.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QMenu>
#include <QSettings>
#include <QWebEngineProfile>

namespace qm::app {

namespace {
const char* kEnabledKey = "SpellCheck";
const char* kLanguageKey = "SpellingLanguage";

QString T(const char* s) {
    return QString::fromStdString(Translate(s));
}

QString DictionariesDir() {
    const QByteArray set = qgetenv("QTWEBENGINE_DICTIONARIES_PATH");
    if (!set.isEmpty())
        return QString::fromLocal8Bit(set);
    return QString::fromStdString(JoinPath(ProgramDataDir(), "qtwebengine_dictionaries"));
}

QString ChosenLanguage() {
    return QSettings().value(QString::fromLatin1(kLanguageKey)).toString();
}
} // namespace

QString TSpelling::DisplayName(const QString& language) {
    static const std::pair<const char*, const char*> names[] = {{"en-US", "English (US)"},
                                                                {"de-DE", "Deutsch"},
                                                                {"fr-FR", "Fran\xC3\xA7"
                                                                          "ais"},
                                                                {"es-ES", "Espa\xC3\xB1ol"}};
    for (const auto& [code, name] : names)
        if (language == QLatin1String(code))
            return QString::fromUtf8(name);
    return language;
}

void TSpelling::UseProgramDictionaries() {
    if (qEnvironmentVariableIsSet("QTWEBENGINE_DICTIONARIES_PATH"))
        return;
    const QString dir = DictionariesDir();
    if (QDir(dir).exists())
        qputenv("QTWEBENGINE_DICTIONARIES_PATH", dir.toLocal8Bit());
}

QStringList TSpelling::Languages() {
    QStringList languages;
    for (const QString& file :
         QDir(DictionariesDir()).entryList({QStringLiteral("*.bdic")}, QDir::Files, QDir::Name))
        languages << file.chopped(5);
    return languages;
}

QString TSpelling::LanguageForProgram(const std::string& code) {
    const QString prefix = QString::fromStdString(code).left(2).toLower() + QLatin1Char('-');
    for (const QString& language : Languages())
        if (language.startsWith(prefix))
            return language;
    return Languages().contains(QStringLiteral("en-US")) ? QStringLiteral("en-US") : QString();
}

TSpelling::TSpelling(QWebEngineProfile* profile, TEditorBridge* bridge,
                     const std::string& wordsFile, QMenu* menu, QObject* parent)
    : QObject(parent), FProfile(profile), FBridge(bridge), FDictionary(wordsFile) {
    try {
        FDictionary.Load();
    } catch (const std::exception&) {
        // An unreadable word list must not stop the editor; words added
        // later are written to it anew.
    }
    FMenu = menu->addMenu(QString());
    FMenu->setObjectName(QStringLiteral("mmSpelling"));
    FCheck = FMenu->addAction(QString());
    FCheck->setObjectName(QStringLiteral("CheckSpelling1"));
    FCheck->setCheckable(true);
    FCheck->setChecked(Enabled());
    connect(FCheck, &QAction::toggled, this, [this](bool on) { SetEnabled(on); });
    FMenu->addSeparator();
    auto* group = new QActionGroup(FMenu);
    FFollow = FMenu->addAction(QString());
    FFollow->setObjectName(QStringLiteral("SpellingProgramLanguage1"));
    FFollow->setCheckable(true);
    group->addAction(FFollow);
    connect(FFollow, &QAction::triggered, this, [this] { SetLanguage({}); });
    for (const QString& language : Languages()) {
        QAction* a = FMenu->addAction(DisplayName(language));
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, language] { SetLanguage(language); });
        FLanguageActions.emplace_back(a, language);
    }
    FMenu->setEnabled(!Languages().isEmpty());
    ApplyCaptions();
}

void TSpelling::ApplyCaptions() {
    FMenu->menuAction()->setText(T("Spelling"));
    FCheck->setText(T("Check Spelling"));
    FFollow->setText(T("Language of the Program"));
    Apply();
}

bool TSpelling::Enabled() const {
    return QSettings().value(QString::fromLatin1(kEnabledKey), true).toBool();
}

QString TSpelling::EffectiveLanguage() const {
    const QStringList languages = Languages();
    if (!FProjectLanguage.isEmpty() && languages.contains(FProjectLanguage))
        return FProjectLanguage;
    const QString chosen = ChosenLanguage();
    if (!chosen.isEmpty() && languages.contains(chosen))
        return chosen;
    return LanguageForProgram(TranslationState().CurrentCode);
}

void TSpelling::SetEnabled(bool on) {
    QSettings().setValue(QString::fromLatin1(kEnabledKey), on);
    Apply();
}

void TSpelling::SetLanguage(const QString& language) {
    QSettings().setValue(QString::fromLatin1(kLanguageKey), language);
    Apply();
}

void TSpelling::SetProjectLanguage(const std::string& language) {
    FProjectLanguage = QString::fromStdString(language);
    Apply();
}

void TSpelling::ShowChoice() {
    // While the project names its language, the author's own choice waits
    // behind it: the menu shows the project's and offers nothing else.
    const bool projectRules = !FProjectLanguage.isEmpty() && Languages().contains(FProjectLanguage);
    const QString chosen = projectRules ? FProjectLanguage : ChosenLanguage();
    FFollow->setEnabled(!projectRules);
    FFollow->setChecked(chosen.isEmpty() || !Languages().contains(chosen));
    for (const auto& [action, language] : FLanguageActions) {
        action->setEnabled(!projectRules);
        action->setChecked(chosen == language);
    }
}

void TSpelling::Apply() {
    ShowChoice();
    const QString language = EffectiveLanguage();
    if (language.isEmpty() || !Enabled()) {
        FProfile->setSpellCheckEnabled(false);
        return;
    }
    if (FProfile->spellCheckLanguages() != QStringList{language})
        FProfile->setSpellCheckLanguages({language});
    FProfile->setSpellCheckEnabled(true);
}

void TSpelling::AddWord(const QString& word) {
    if (FDictionary.Add(word.toStdString()))
        SendWords();
}

void TSpelling::SendWords() {
    std::string list;
    for (const std::string& w : FDictionary.Words())
        list += w + "\n";
    // Not the author's edit: the page's marks around the words are its own.
    FBridge->BeginProgrammatic();
    FBridge->ExecCommand("setSpellingWords", list);
    FBridge->EndProgrammatic();
}

} // namespace qm::app
