#pragma once
// The questions the main window asks the author. The desktop uses message
// boxes and file dialogs; tests substitute scripted answers.
#include <optional>
#include <string>

class QWidget;

namespace qm::app {

enum class TAnswer { Yes, No, Cancel };

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;
    // Nothing when cancelled.
    virtual std::optional<std::string>
    AskText(const std::string& caption, const std::string& prompt, const std::string& initial) = 0;
    virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
    virtual std::optional<std::string> AskSaveProjectFile(const std::string& proposed) = 0;
    virtual std::optional<std::string> AskOpenProjectFile() = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowInfo(const std::string& caption, const std::string& text) = 0;
};

class TDialogPrompts final : public TUserPrompts {
public:
    explicit TDialogPrompts(QWidget* parent) : FParent(parent) {}
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& initial) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::optional<std::string> AskSaveProjectFile(const std::string& proposed) override;
    std::optional<std::string> AskOpenProjectFile() override;
    void ShowError(const std::string& text) override;
    void ShowInfo(const std::string& caption, const std::string& text) override;

private:
    QWidget* FParent;
};

} // namespace qm::app
