#include "Spelling.h"

#include "AppPaths.h"
#include "base/PathUtils.h"
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

QString DisplayName(const QString& language) {
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
} // namespace

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

TSpelling::TSpelling(QWebEngineProfile* profile, QMenu* menu, QObject* parent)
    : QObject(parent), FProfile(profile) {
    QMenu* spelling = menu->addMenu(T("Spelling"));
    spelling->setObjectName(QStringLiteral("mmSpelling"));
    QAction* check = spelling->addAction(T("Check Spelling"));
    check->setObjectName(QStringLiteral("CheckSpelling1"));
    check->setCheckable(true);
    check->setChecked(Enabled());
    connect(check, &QAction::toggled, this, [this](bool on) { SetEnabled(on); });
    spelling->addSeparator();
    auto* group = new QActionGroup(spelling);
    const QString chosen = QSettings().value(QString::fromLatin1(kLanguageKey)).toString();
    QAction* follow = spelling->addAction(T("Language of the Program"));
    follow->setCheckable(true);
    follow->setChecked(chosen.isEmpty());
    group->addAction(follow);
    connect(follow, &QAction::triggered, this, [this] { SetLanguage({}); });
    for (const QString& language : Languages()) {
        QAction* a = spelling->addAction(DisplayName(language));
        a->setCheckable(true);
        a->setChecked(chosen == language);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, language] { SetLanguage(language); });
    }
    spelling->setEnabled(!Languages().isEmpty());
    Apply();
}

bool TSpelling::Enabled() const {
    return QSettings().value(QString::fromLatin1(kEnabledKey), true).toBool();
}

QString TSpelling::EffectiveLanguage() const {
    const QString chosen = QSettings().value(QString::fromLatin1(kLanguageKey)).toString();
    if (!chosen.isEmpty() && Languages().contains(chosen))
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

void TSpelling::Apply() {
    const QString language = EffectiveLanguage();
    if (language.isEmpty() || !Enabled()) {
        FProfile->setSpellCheckEnabled(false);
        return;
    }
    FProfile->setSpellCheckLanguages({language});
    FProfile->setSpellCheckEnabled(true);
}

} // namespace qm::app
