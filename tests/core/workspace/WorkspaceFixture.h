#pragma once
// The desktop program's core without its window: a workspace in a temporary
// per-user folder, the fake page and host, the session and the commands.
#include "FakeEditor.h"
#include "ScriptedPrompts.h"
#include "TempDir.h"
#include "workspace/ProjectCommands.h"

#include <gtest/gtest.h>

#include <memory>

namespace qm::test {

struct TWorkspaceFixture : ::testing::Test {
    TTempDir dir;
    TFakePage page;
    TFakeHost host;
    TScriptedPrompts prompts;
    TProjectWorkspace workspace{
        {dir / "user/Workspace/", dir / "user/last_project.txt", QUILLMATE_DATA_DIR}};
    TEditingSession session{workspace, page, host};
    TProjectCommands commands{workspace, session, prompts, host};

    TWorkspaceFixture() {
        page.Session = &session;
        host.Page = &page;
        host.Session = &session;
        host.Workspace = &workspace;
    }

    // Start-up as the window does it: the project, then the page's "ready".
    void Start(const std::string& argument = "") {
        commands.Start(argument, "20261210-120000");
        session.HandleEditorReady();
        page.Deliver();
    }
    TDocProject& Project() { return workspace.Project(); }
    std::string Page(const std::string& id) { return ReadFile(Project().TopicHtmlPath(id)); }
    // Selects a topic as a click in the contents tree does.
    void Select(const std::string& id) {
        session.SelectTopic(id);
        page.Deliver();
    }
};

} // namespace qm::test
