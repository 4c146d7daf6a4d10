#pragma once
// Answers to the project commands' questions in the order they are asked; a
// question without a prepared answer fails the test (and answers "cancel").
#include "settings/ProjectSettings.h"
#include "workspace/UserPrompts.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qm::test {

class TScriptedPrompts final : public TUserPrompts {
public:
    std::deque<std::optional<std::string>> Texts;
    std::deque<TAnswer> YesNoCancel;
    std::deque<bool> YesNo;
    std::deque<std::optional<std::string>> SaveFiles;
    std::deque<std::optional<std::string>> OpenFiles;
    std::deque<std::optional<std::string>> AnyFiles; // AskOpenFile
    std::deque<std::optional<std::string>> Topics;
    // The settings dialog: the values the author confirms, nothing for Cancel.
    std::deque<std::optional<TProjectSettings>> SettingsEdits;
    // When set, the settings question is answered by it (a real dialog).
    std::function<bool(TProjectSettings&)> SettingsDialog;
    std::vector<TProjectSettings> SettingsOffered;
    std::vector<std::string> Errors;
    std::vector<std::string> Warnings;
    std::vector<std::string> Infos;
    std::vector<std::string> Questions; // the texts AskYesNo was asked with
    std::string LastProposedSaveName;
    std::string LastOpenFolder;
    std::string LastFileFilter;

    std::optional<std::string> AskText(const std::string& caption, const std::string&,
                                       const std::string&) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskSaveProjectFile(const std::string& proposed) override;
    std::optional<std::string> AskOpenProjectFile(const std::string& startFolder) override;
    std::optional<std::string> AskOpenFile(const std::string& caption,
                                           const std::string& filter) override;
    std::optional<std::string> AskTopic(const TDocProject& project) override;
    bool EditProjectSettings(TProjectSettings& settings) override;
    void ShowError(const std::string& text) override { Errors.push_back(text); }
    void ShowWarning(const std::string& text) override { Warnings.push_back(text); }
    void ShowInfo(const std::string&, const std::string& text) override { Infos.push_back(text); }
};

} // namespace qm::test
