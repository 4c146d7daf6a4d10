#pragma once
// The questions the project commands ask the author. The desktop program
// uses message boxes and file dialogs; tests substitute scripted answers.
#include <optional>
#include <string>

namespace qm {

class TDocProject;
class TProjectSettings;

enum class TAnswer { Yes, No, Cancel };

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;
    // Nothing when cancelled.
    virtual std::optional<std::string>
    AskText(const std::string& caption, const std::string& prompt, const std::string& initial) = 0;
    virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
    virtual bool AskYesNo(const std::string& text) = 0;
    // proposed: a full path (the folder the dialog starts in and the name).
    virtual std::optional<std::string> AskSaveProjectFile(const std::string& proposed) = 0;
    // startFolder: where the dialog starts; empty for the desktop's default.
    virtual std::optional<std::string> AskOpenProjectFile(const std::string& startFolder) = 0;
    // Any file to read; filter in the dialog's form: "Images (*.png *.jpg)".
    virtual std::optional<std::string> AskOpenFile(const std::string& caption,
                                                   const std::string& filter) = 0;
    // A topic of the project, picked in its contents; nothing when cancelled.
    virtual std::optional<std::string> AskTopic(const TDocProject& project) = 0;
    // The project settings dialog on settings; true when the author
    // confirmed it with valid values, which are then in settings. Cancel and
    // invalid values leave settings as they were.
    virtual bool EditProjectSettings(TProjectSettings& settings) = 0;
    virtual void ShowError(const std::string& text) = 0;
    // Something went wrong but the command went on (a file not written).
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInfo(const std::string& caption, const std::string& text) = 0;
};

} // namespace qm
