// The variables, snippets and conditions of the project: the dialog, the
// saving of its grids and the token it inserts at the caret.
#include "MainWindow.h"
#include "ReusableContentDialog.h"

#include "base/Error.h"
#include "base/StringUtil.h"
#include "bridge/EditorBridge.h"
#include "content/ReusableContent.h"
#include "content/ReusableRows.h"
#include "i18n/Translation.h"
#include "model/DocModel.h"
#include "workspace/EditingSession.h"

namespace qm::app {

void TfrmMain::ReusableContentCommand() {
    if (Project().RootPath.empty())
        return;
    // The window holds the topic's latest text before a modal dialog runs.
    FSession->RequestEditorHtmlAndWait(500);
    TReusableProjectContent store;
    store.LoadFromProjectForEditing(Project());

    TfrmReusableContent dialog(RowsFromContent(store), this);
    const int result = dialog.exec();
    if (result == QDialog::Rejected)
        return;
    const TReusableProjectContent edited = ContentFromRows(dialog.Rows());
    try {
        edited.SaveToProject(Project());
    } catch (const EQuillmateError& e) {
        FPrompts->ShowWarning(
            FormatS(Translate("The variables, snippets and conditions could not be saved to %s."),
                    ReusableContentPath(Project())) +
            "\n" + e.what());
        return;
    }
    MarkProjectDirty();
    FSession->RequestEditorHtmlAndWait(600);

    std::string token;
    const char* missing = nullptr;
    const std::string name = dialog.NameForInsert(result);
    switch (result) {
    case rrInsertVariable:
        token = name.empty() ? "" : VariableToken(name);
        missing = "Select or enter a variable name first.";
        break;
    case rrInsertSnippet:
        token = name.empty() ? "" : SnippetToken(name);
        missing = "Select or enter a snippet name first.";
        break;
    case rrInsertBeginCondition:
        token = name.empty() ? "" : BeginConditionToken(name);
        missing = "Select or enter a condition name first.";
        break;
    case rrInsertEndCondition:
        token = EndConditionToken();
        break;
    default:
        return; // "Save"
    }
    if (token.empty()) {
        FPrompts->ShowInfo(Translate("Variables, snippets and conditions"), Translate(missing));
        return;
    }
    if (!EditorReady())
        return;
    FBridge->ExecCommand("insertHTML", token);
    QueueEditorFocus();
}

} // namespace qm::app
