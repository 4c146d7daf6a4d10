#pragma once
// The services of the program around the editing session and the project
// commands: waiting with events running, the clock, and telling the window
// what to show. The desktop program's main window implements it; tests use
// a fake with a clock of their own.
#include <cstdint>
#include <functional>
#include <string>

namespace qm {

class TWorkspaceHost {
public:
    virtual ~TWorkspaceHost() = default;

    // Runs the program's events (page messages among them) until done()
    // holds or timeoutMs have passed.
    virtual void WaitFor(const std::function<bool()>& done, int timeoutMs) = 0;
    // Milliseconds of a monotonic clock.
    [[nodiscard]] virtual std::int64_t NowMs() = 0;

    virtual void SetStatus(const std::string& text) = 0;
    // Moves the keyboard focus into the editor once the current event is done.
    virtual void QueueEditorFocus() = 0;
    // The modified flag, the title or the project file changed: the caption.
    virtual void ProjectStateChanged() = 0;
    // Another project (or a new untitled one) is open: rebuild the contents
    // and select its first topic.
    virtual void ProjectReplaced() = 0;
    // The settings were loaded or replaced: the window's own controls follow.
    virtual void SettingsApplied() = 0;
    // The settings' text formatting was just sent to the page: the toolbar
    // must not take the page's older caret reports for the author's choice.
    virtual void EditorSettingsPushed() = 0;
};

} // namespace qm
