#pragma once
// Helpers for driving the real main window: scripted answers to its
// questions, waiting with the event loop running, and scripts in the page.
#include "UserPrompts.h"

#include <QString>
#include <QVariant>

#include <deque>
#include <functional>
#include <optional>
#include <string>

class QWebEnginePage;

namespace qm::test {

// Answers in the order the window asks; a question without a prepared answer
// fails the test (and answers "cancel").
class TScriptedPrompts final : public app::TUserPrompts {
public:
    std::deque<std::optional<std::string>> Texts;
    std::deque<app::TAnswer> YesNoCancel;
    std::deque<bool> YesNo;
    std::deque<std::optional<std::string>> SaveFiles;
    std::deque<std::optional<std::string>> OpenFiles;
    std::vector<std::string> Errors;
    std::vector<std::string> Infos;

    std::optional<std::string> AskText(const std::string&, const std::string&,
                                       const std::string&) override;
    app::TAnswer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskSaveProjectFile(const std::string& proposed) override;
    std::optional<std::string> AskOpenProjectFile() override;
    void ShowError(const std::string& text) override { Errors.push_back(text); }
    void ShowInfo(const std::string&, const std::string& text) override { Infos.push_back(text); }

    std::string LastProposedSaveName;
};

// Runs the event loop until done() or timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for ms milliseconds.
void Pump(int ms);
// Runs a script in the page and returns its result (waits for it).
QVariant RunJs(QWebEnginePage* page, const QString& script);

} // namespace qm::test
