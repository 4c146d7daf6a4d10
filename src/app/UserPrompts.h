#pragma once
// The project commands' questions as message boxes and file dialogs.
#include "workspace/UserPrompts.h"

class QWidget;

namespace qm::app {

using qm::TAnswer;
using qm::TUserPrompts;

class TDialogPrompts final : public TUserPrompts {
public:
    explicit TDialogPrompts(QWidget* parent) : FParent(parent) {}
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& initial) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskSaveProjectFile(const std::string& proposed) override;
    std::optional<std::string> AskOpenProjectFile(const std::string& startFolder) override;
    std::optional<std::string> AskOpenFile(const std::string& caption,
                                           const std::string& filter) override;
    std::optional<std::string> AskTopic(const TDocProject& project) override;
    bool EditProjectSettings(TProjectSettings& settings) override;
    void ShowError(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void ShowInfo(const std::string& caption, const std::string& text) override;

private:
    QWidget* FParent;
};

} // namespace qm::app
