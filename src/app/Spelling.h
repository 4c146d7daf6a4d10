#pragma once
// Spell checking in the editor page by Qt WebEngine's own checker, with the
// dictionaries the build converts from Debian's hunspell lists. The language
// follows the program's language unless the author picks one; "Check
// Spelling" turns it off. The choices are kept per user.
#include <QObject>
#include <QString>

class QMenu;
class QWebEngineProfile;

namespace qm::app {

class TSpelling final : public QObject {
    Q_OBJECT
public:
    // Names the program's dictionaries to Qt WebEngine, unless the
    // environment already does. Before the first web page is made.
    static void UseProgramDictionaries();
    // The dictionaries found, as language names ("en-US").
    [[nodiscard]] static QStringList Languages();
    // The dictionary for a program language code ("de" -> "de-DE"; "" when none).
    [[nodiscard]] static QString LanguageForProgram(const std::string& code);

    // Adds the "Spelling" menu to menu and applies the stored choice to profile.
    TSpelling(QWebEngineProfile* profile, QMenu* menu, QObject* parent = nullptr);

    void SetEnabled(bool on);
    // "" follows the program's language.
    void SetLanguage(const QString& language);
    [[nodiscard]] QString EffectiveLanguage() const;
    [[nodiscard]] bool Enabled() const;

private:
    void Apply();

    QWebEngineProfile* FProfile;
};

} // namespace qm::app
