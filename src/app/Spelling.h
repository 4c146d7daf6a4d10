#pragma once
// Spell checking in the editor page by Qt WebEngine's own checker, with the
// dictionaries the build converts from Debian's hunspell lists. The language
// is the project's when it names one, else the author's choice in the menu,
// else the program's language; "Check Spelling" turns it off. The words added
// to the dictionary live in the per-user folder and reach the page, which keeps
// the checker off them (Qt WebEngine has no way to add words at run time).
#include "settings/UserDictionary.h"

#include <QObject>
#include <QString>

#include <utility>
#include <vector>

class QAction;
class QMenu;
class QWebEngineProfile;

namespace qm::app {

class TEditorBridge;

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
    // The language's own name for a dictionary ("Deutsch" for "de-DE").
    [[nodiscard]] static QString DisplayName(const QString& language);

    // Adds the "Spelling" menu to menu, applies the stored choice to profile
    // and sends the author's words to the page behind bridge.
    TSpelling(QWebEngineProfile* profile, TEditorBridge* bridge, const std::string& wordsFile,
              QMenu* menu, QObject* parent = nullptr);

    void SetEnabled(bool on);
    // "" follows the program's language.
    void SetLanguage(const QString& language);
    // The open project's language ("" when it names none).
    void SetProjectLanguage(const std::string& language);
    [[nodiscard]] QString EffectiveLanguage() const;
    [[nodiscard]] bool Enabled() const;

    // Adds the word to the author's dictionary; the page stops marking it.
    void AddWord(const QString& word);
    [[nodiscard]] const TUserDictionary& Dictionary() const { return FDictionary; }

    // After the program's language changed: captions, and the language
    // when it follows the program's.
    void ApplyCaptions();
    // Sends the author's words to the page (again after it reloads).
    void SendWords();

private:
    void Apply();
    void ShowChoice();

    QWebEngineProfile* FProfile;
    TEditorBridge* FBridge;
    TUserDictionary FDictionary;
    QString FProjectLanguage;
    QMenu* FMenu = nullptr;
    QAction* FCheck = nullptr;
    QAction* FFollow = nullptr;
    std::vector<std::pair<QAction*, QString>> FLanguageActions;
};

} // namespace qm::app
