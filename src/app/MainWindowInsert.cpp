// Inserting at the caret: links, topic links, images, tables and the content
// of an HTML file. Each asks the author first, then sends one command.
#include "MainWindow.h"

#include "base/Json.h"
#include "base/PathUtils.h"
#include "bridge/EditorBridge.h"
#include "editor/EditorProtocol.h"
#include "editor/ToolbarValues.h"
#include "i18n/Translation.h"
#include "import/HtmlImport.h"
#include "import/InsertImage.h"
#include "model/DocModel.h"
#include "workspace/EditingSession.h"

namespace qm::app {

void TfrmMain::InsertLinkCommand() {
    const auto url = FPrompts->AskText(Translate("Insert Link"), Translate("URL:"), "https://");
    if (url)
        FBridge->ExecCommand("link", *url);
}

void TfrmMain::InsertTopicLinkCommand() {
    const auto id = FPrompts->AskTopic(Project());
    if (!id)
        return;
    Json link = Json::object();
    link["href"] = "doc:" + *id;
    link["text"] = Project().GetTopic(*id).Title;
    FBridge->ExecCommand("topicLink", JsonWrite(link));
}

void TfrmMain::InsertImageCommand(bool replace) {
    if (!EditorReady())
        return;
    const auto file =
        FPrompts->AskOpenFile(Translate(replace ? "Replace Image..." : "Add Image..."),
                              "Images (*.png *.jpg *.jpeg *.gif *.bmp *.webp)");
    if (!file)
        return;
    const std::string url = CopyImageIntoProject(Project().RootPath, *file);
    if (url.empty())
        return;
    FBridge->ExecCommand(replace ? "replaceSelectedImage" : "image", url);
    QueueEditorFocus();
}

void TfrmMain::InsertTableCommand() {
    if (!EditorReady())
        return;
    const auto answer = FPrompts->AskText(Translate("Insert Table"), Translate("Rows,Cols"), "2,2");
    if (!answer)
        return;
    const auto size = TableSizeFromAnswer(*answer);
    if (!size)
        return;
    if (size->first > 0)
        FBridge->ExecCommand("table", TableArg(size->first, size->second));
    QueueEditorFocus();
}

void TfrmMain::TableMenuCommand(const std::string& cmd) {
    if (!EditorReady())
        return;
    FBridge->ExecCommand(cmd);
    QueueEditorFocus();
}

void TfrmMain::ImportHtmlCommand() {
    if (Project().RootPath.empty() || CurrentTopicID().empty()) {
        FPrompts->ShowInfo(Translate("Add HTML..."),
                           Translate("Please open or create a project and select a topic first."));
        return;
    }
    if (!EditorReady()) {
        FPrompts->ShowInfo(Translate("Add HTML..."), Translate("The editor is not ready yet."));
        return;
    }
    const auto file =
        FPrompts->AskOpenFile(Translate("Add HTML..."), "HTML files (*.html *.htm);;All files (*)");
    if (!file)
        return;
    THtmlImportOptions options;
    // Files the page names outside its own folder are the author's to allow:
    // a page can name any file on the disk, and what is copied gets published.
    options.AllowOutsideFiles = [this](const std::vector<std::string>& files) {
        std::string list;
        for (const std::string& f : files)
            list += "\n" + f;
        return FPrompts->AskYesNo(Translate("The page refers to files outside its own folder:") +
                                  list + "\n\n" +
                                  Translate("Copy these files into the project as well?"));
    };
    const THtmlImportResult imported = ImportHtmlFile(Project().RootPath, *file, options);
    const std::optional<std::string>& html = imported.Html;
    if (!imported.Refused.empty()) {
        std::string list;
        for (const TRefusedReference& r : imported.Refused)
            list += "\n" + r.Reference + " (" + std::string(RefusalText(r.Why)) + ")";
        FPrompts->ShowInfo(Translate("Add HTML..."),
                           Translate("These references were left as they are:") + list);
    }
    if (!html) {
        FPrompts->ShowInfo(Translate("Add HTML..."), Translate(kNoImportableBodyContent));
        return;
    }
    FBridge->ExecCommand("insertHTML", *html);
    MarkProjectDirty();
    SetStatus(Translate("Inserted HTML: ") + ExtractFileName(*file));
    QueueEditorFocus();
}

} // namespace qm::app
