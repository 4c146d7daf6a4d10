#include "ImportFixture.h"

#include "FuzzSupport.h"

#include <filesystem>
#include <system_error>

namespace qm::fuzz {

namespace {

struct TImportFolders {
    std::string Page;
    std::string Project;
};

const TImportFolders& Folders() {
    static const TImportFolders folders = [] {
        TImportFolders f{ScratchDir() + "/import/page", ScratchDir() + "/import/project"};
        // Files the seed inputs name: plain, with a space, in a subfolder, a
        // style sheet that imports another and one that imports itself.
        WriteScratchFile(f.Page + "/img.png", "png");
        WriteScratchFile(f.Page + "/pic.jpg", "jpg");
        WriteScratchFile(f.Page + "/a b.gif", "gif");
        WriteScratchFile(f.Page + "/sub/clip.mp4", "mp4");
        WriteScratchFile(f.Page + "/sub/base.css", "p { background: url(\"../img.png\") }");
        WriteScratchFile(f.Page + "/main.css", "@import 'sub/base.css'; a { color: red }");
        WriteScratchFile(f.Page + "/self.css", "@import url(self.css); b { }");
        WriteScratchFile(f.Project + "/project.json", R"({"title":"t"})");
        return f;
    }();
    return folders;
}

} // namespace

const std::string& ImportPageFolder() {
    return Folders().Page;
}

TImportRun NewImportRun() {
    TImportRun run;
    run.ProjectRoot = Folders().Project;
    run.HtmlFolder = Folders().Page;
    return run;
}

void ResetImportProject(const TImportRun& run) {
    if (run.MediaUrls.empty() && run.StyleSheetUrls.empty() && run.Reserved.Paths.empty() &&
        run.Reserved.NextNumber.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(run.ProjectRoot + "/assets", ec);
}

} // namespace qm::fuzz
