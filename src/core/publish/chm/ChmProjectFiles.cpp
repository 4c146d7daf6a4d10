#include "publish/chm/ChmProjectFiles.h"

#include "base/Error.h"
#include "base/HtmlEncode.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/chm/ChmCodePage.h"
#include "publish/chm/ChmTopics.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace fs = std::filesystem;

namespace qm::chm {

namespace {

// Collects lines and writes them in the code page with CR LF line ends.
class TLineWriter {
public:
    explicit TLineWriter(TChmCodePage page) : FPage(page) {}
    TLineWriter& operator<<(std::string_view line) {
        FText.append(line);
        FText.append("\r\n");
        return *this;
    }
    void WriteTo(const std::string& fileName) const {
        WriteOutputFile(fileName, EncodeChmText(FPage, FText));
    }

private:
    TChmCodePage FPage;
    std::string FText;
};

void WriteSitemapEntry(TLineWriter& w, std::string_view name, const std::string& id) {
    w << "<LI><OBJECT type=\"text/sitemap\">";
    // Escaped, so that a title with a double quote cannot end the attribute.
    w << "<param name=\"Name\" value=\"" + HtmlEncode(name) + "\">";
    w << "<param name=\"Local\" value=\"topics/" + id + ".html\">";
    w << "</OBJECT>";
}

bool NameLess(const fs::path& a, const fs::path& b) {
    const std::string na = a.filename().string();
    const std::string nb = b.filename().string();
    const std::string la = AsciiLower(na);
    const std::string lb = AsciiLower(nb);
    return la != lb ? la < lb : na < nb;
}

// Files under folder at every depth, relative to root with backslashes, in
// name order with each folder's files where the folder sorts. The order is
// fixed so that the same output folder always gives the same project file.
void ListFiles(const fs::path& folder, const std::string& prefix, std::vector<std::string>& out) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (const auto& e : fs::directory_iterator(folder, ec))
        entries.push_back(e.path());
    if (ec)
        throw EFileError("Cannot read folder \"" + folder.string() + "\". " + ec.message());
    std::sort(entries.begin(), entries.end(), NameLess);
    for (const auto& p : entries) {
        const std::string name = p.filename().string();
        if (fs::is_symlink(p, ec) && fs::is_directory(p, ec))
            continue; // a linked folder could loop back on itself
        if (fs::is_directory(p, ec))
            ListFiles(p, prefix + name + "\\", out);
        else if (fs::is_regular_file(p, ec))
            out.push_back(prefix + name);
    }
}

} // namespace

std::vector<std::string> WriteChmContents(const TDocProject& project, const std::string& outDir,
                                          TChmCodePage page) {
    TLineWriter w(page);
    w << "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">";
    w << "<HTML>";
    w << "<HEAD>";
    w << std::string("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=") +
             ChmCharset(page) + "\">";
    w << "</HEAD>";
    w << "<BODY>";
    w << "<OBJECT type=\"text/site properties\"></OBJECT>";
    w << "<UL>";
    const TContentsWalk walk =
        WalkContents(project, [](const TTopic& t) { return IsPublishedToChm(t); });
    for (size_t i = 0; i < walk.Entries.size(); ++i) {
        const TContentsEntry& e = walk.Entries[i];
        WriteSitemapEntry(w, e.Topic->Title, e.Topic->ID);
        // A topic with children in the contents opens their list; lists close
        // as the walk comes back up (the next entry is at most one deeper).
        const int nextDepth = i + 1 < walk.Entries.size() ? walk.Entries[i + 1].Depth : 0;
        if (nextDepth > e.Depth) {
            w << "<UL>";
        } else if (!e.Topic->Children.empty()) {
            // Children that are all left out still leave their (empty) list.
            w << "<UL>";
            w << "</UL>";
        }
        for (int d = e.Depth; d > nextDepth; --d)
            w << "</UL>";
    }
    w << "</UL>";
    w << "</BODY>";
    w << "</HTML>";
    w.WriteTo(JoinPath(outDir, "toc.hhc"));
    return walk.Warnings;
}

void WriteChmIndex(const TDocProject& project, const std::string& outDir, TChmCodePage page) {
    TLineWriter w(page);
    w << "<HTML><BODY><UL>";
    for (const TTopic& topic : project.Topics) {
        if (!IsPublishedToChm(topic))
            continue;
        WriteSitemapEntry(w, topic.Title, topic.ID);
        std::unordered_set<std::string> names{topic.Title};
        for (const std::string& entry : topic.IndexEntries) {
            const std::string name = TrimCtl(entry);
            if (!name.empty() && names.insert(name).second)
                WriteSitemapEntry(w, name, topic.ID);
        }
    }
    w << "</UL></BODY></HTML>";
    w.WriteTo(JoinPath(outDir, "index.hhk"));
}

void WriteChmProject(const std::string& outDir, const std::string& compiledFile,
                     const std::vector<std::string>& pageList, const std::string& title,
                     TChmCodePage page) {
    if (pageList.empty())
        throw EQuillmateError("There is no topic to publish in CHM.");
    TLineWriter w(page);
    w << "[OPTIONS]";
    w << "Compiled file=" + compiledFile;
    w << "Contents file=toc.hhc";
    w << "Index file=index.hhk";
    w << "Default topic=" + pageList.front();
    w << "Full-text search=Yes";
    // Without a language the compiled file says 0, and the reader's own
    // system code page decides how the contents' bytes are shown.
    w << std::string("Language=") + ChmLanguageId(page);
    // The viewer's window caption; a line break would end the option early.
    std::string caption = TrimCtl(title);
    for (char& c : caption)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    if (!caption.empty())
        w << "Title=" + caption;
    w << "";
    w << "[FILES]";
    w << "toc.hhc";
    w << "index.hhk";
    for (const std::string& file : pageList)
        w << file;
    w << "style.css";
    const std::string assets = JoinPath(outDir, "assets");
    if (DirectoryExists(assets)) {
        std::vector<std::string> files;
        ListFiles(fs::path(assets), "", files);
        for (const std::string& f : files)
            w << "assets/" + f;
    }
    w.WriteTo(JoinPath(outDir, "project.hhp"));
}

} // namespace qm::chm
