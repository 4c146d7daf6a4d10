// Find and replace in the open topic: the bar above the editor and its
// wiring to the page.
#include "FindBar.h"
#include "MainWindow.h"
#include "bridge/EditorBridge.h"

namespace qm::app {

TFindBar* TfrmMain::MakeFindBar() {
    FFindBar = new TFindBar([this](const std::string& cmd, const std::string& arg) {
        if (EditorReady())
            FBridge->ExecCommand(cmd, arg);
    });
    connect(FFindBar, &TFindBar::Closed, this, [this] { QueueEditorFocus(); });
    return FFindBar;
}

void TfrmMain::ConnectFindBar() {
    connect(FBridge, &TEditorBridge::OnFindResult, FFindBar, &TFindBar::ShowResult);
}

void TfrmMain::FindCommand(bool replace) {
    FFindBar->Open(replace);
}

} // namespace qm::app
