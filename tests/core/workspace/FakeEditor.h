#pragma once
// A recording editor page and a host with a clock of its own, so the editing
// session and the project commands run in milliseconds without a browser.
// The page behaves like the real one where the session depends on it: it
// rewrites markup in its own way (line ends, entities), echoes "setHtml" and a
// pushed header, flushes an author's edit before answering "getHtml", and
// posts its messages later, when the program's events run.
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "workspace/EditingSession.h"
#include "workspace/EditorPage.h"
#include "workspace/ProjectWorkspace.h"
#include "workspace/WorkspaceHost.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qm::test {

class TFakePage final : public TEditorPage {
public:
    TEditingSession* Session = nullptr;
    std::vector<std::string> Sent; // the commands, "setHtml:<html>" for the text
    std::string Body;
    std::string Header;
    std::string HeaderBg = "#fafafa";
    bool Answers = true; // a page that hangs answers nothing
    std::string NavigatedTo;

    // The browser's rendering of markup: the file's bytes never come back.
    static std::string Render(const std::string& html) {
        return ReplaceAll(ReplaceAll(html, "\r\n", "\n"), "&quot;", "\"");
    }

    // The author types at the end of the body.
    void Type(const std::string& text) {
        Body += text;
        const std::string body = Body;
        Post([this, body] { Session->HandleEditorHtmlChanged(body, true, false); });
    }
    void Post(std::function<void()> message) { FInbox.push_back(std::move(message)); }
    void Deliver() {
        while (!FInbox.empty()) {
            auto next = std::move(FInbox.front());
            FInbox.pop_front();
            next();
        }
    }
    void DropPending() { FInbox.clear(); }

    void NavigateToEditor(const std::string& file) override { NavigatedTo = file; }
    void SetHtml(const std::string& html) override {
        Sent.push_back("setHtml:" + html);
        Body = Render(html);
        const std::string body = Body;
        Post([this, body] { Session->HandleEditorHtmlChanged(body, false, false); });
    }
    void RequestHtml() override {
        Sent.push_back("getHtml");
        if (!Answers)
            return;
        const std::string body = Body;
        Post([this, body] { Session->HandleEditorHtmlChanged(body, false, true); });
    }
    void RequestHeader() override {
        Sent.push_back("getHeader");
        if (Answers)
            PostHeader();
    }
    void SetHeaderHtml(const std::string& h) override {
        Sent.push_back("setHeaderHtml:" + h);
        Header = h;
        PostHeader();
    }
    void SetHeaderBgColor(const std::string& c) override { HeaderBg = c; }
    void SetCssFile(const std::string&) override {}
    void SetBaseHref(const std::string& href) override { Sent.push_back("setBaseHref:" + href); }
    void SetPageBgColor(const std::string&) override {}
    void SetTextColor(const std::string&) override {}
    void SetTextBackColor(const std::string&) override {}
    void SetFontName(const std::string&) override {}
    void SetFontSizePx(int) override {}
    void SetLineSpacing(double) override {}
    void SetTableBorderStyle(const std::string&) override {}
    void SetTableBorderWidth(int) override {}
    void SetTableBorderColor(const std::string&) override {}
    void BeginProgrammatic() override {}
    void EndProgrammatic() override {}

    [[nodiscard]] std::string LastSetHtml() const {
        for (auto it = Sent.rbegin(); it != Sent.rend(); ++it)
            if (it->rfind("setHtml:", 0) == 0)
                return it->substr(8);
        return "";
    }

private:
    void PostHeader() {
        const std::string h = Header, bg = HeaderBg;
        Post([this, h, bg] { Session->HandleEditorHeaderChanged(h, bg); });
    }
    std::deque<std::function<void()>> FInbox;
};

// The window's part: runs the page's messages during a wait, a clock that
// moves only when a wait runs out, and the contents tree's first selection.
class TFakeHost final : public TWorkspaceHost {
public:
    TFakePage* Page = nullptr;
    TEditingSession* Session = nullptr;
    TProjectWorkspace* Workspace = nullptr;
    std::int64_t Clock = 0;
    std::vector<std::string> Statuses;

    void WaitFor(const std::function<bool()>& done, int timeoutMs) override {
        Page->Deliver();
        if (!done())
            Clock += timeoutMs;
    }
    std::int64_t NowMs() override { return Clock; }
    void SetStatus(const std::string& text) override { Statuses.push_back(text); }
    void QueueEditorFocus() override {}
    void ProjectStateChanged() override {}
    void ProjectReplaced() override {
        const auto& roots = Workspace->Project().RootTopicIDs;
        Session->SelectTopic(roots.empty() ? std::string() : roots.front());
    }
    void SettingsApplied() override {}
    void EditorSettingsPushed() override {}
};

} // namespace qm::test
