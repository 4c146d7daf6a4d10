#include "model/Storage.h"

#include "base/Error.h"
#include "base/Json.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "model/DocModel.h"
#include "model/TopicsReader.h"

namespace qm {

namespace {
constexpr std::string_view kBom = "\xEF\xBB\xBF";

Json StringArray(const std::vector<std::string>& list) {
    Json a = Json::array();
    for (const auto& s : list)
        a.push_back(s);
    return a;
}

// The document in the file, or nothing when the file does not exist. A file
// that exists but does not parse is reported, not taken for missing.
std::optional<TJsonDocument> ReadJsonFile(const std::string& path) {
    if (!FileExists(path))
        return std::nullopt;
    auto doc = TJsonDocument::Parse(ReadTextFileUtf8(path));
    if (!doc)
        throw EJsonError("The file is damaged (not valid JSON): " + path);
    if (!doc->Root().is_object())
        throw EJsonError("Invalid type cast: the file does not hold a JSON object: " + path);
    return doc;
}
} // namespace

std::string ProjectJsonPath(const std::string& folder) {
    return JoinPath(folder, "project.json");
}

std::string TopicsJsonPath(const std::string& folder) {
    return JoinPath(JoinPath(folder, "meta"), "topics.json");
}

void SaveProjectModel(const TDocProject& project) {
    EnsureDir(project.RootPath);
    EnsureDir(JoinPath(project.RootPath, "meta"));

    Json pj = Json::object();
    pj["title"] = project.Title;
    pj["styleProfile"] = project.StyleProfile;
    WriteTextFileUtf8(ProjectJsonPath(project.RootPath), JsonWrite(pj));

    Json tj = Json::object();
    tj["rootTopicIds"] = StringArray(project.RootTopicIDs);
    Json topics = Json::array();
    for (const TTopic& t : project.Topics) {
        Json o = Json::object();
        o["id"] = t.ID;
        o["title"] = t.Title;
        o["htmlPath"] = "topics\\" + t.ID + ".html";
        o["parentId"] = t.ParentID;
        o["excludeWeb"] = t.ExcludeWeb;
        o["excludeChm"] = t.ExcludeChm;
        o["excludePdf"] = t.ExcludePdf;
        o["children"] = StringArray(t.Children);
        o["keywords"] = StringArray(t.Keywords);
        o["index"] = StringArray(t.IndexEntries);
        topics.push_back(std::move(o));
    }
    tj["topics"] = std::move(topics);
    WriteTextFileUtf8(TopicsJsonPath(project.RootPath), JsonWrite(tj));
}

void LoadProjectModel(const std::string& folder, TDocProject& project) {
    project.Clear();
    project.RootPath = folder;

    const std::string pjPath = ProjectJsonPath(folder);
    if (auto doc = ReadJsonFile(pjPath)) {
        const Json& root = doc->Root();
        if (const Json* t = JsonMember(&root, "title"))
            project.Title = doc->TextForm(*t);
        const Json* sp = JsonMember(&root, "styleProfile");
        project.StyleProfile = sp != nullptr ? doc->TextForm(*sp) : "default";
        if (project.StyleProfile.empty())
            project.StyleProfile = "default";
    }

    const std::string tjPath = TopicsJsonPath(folder);
    (void)ReadTopicsJsonFile(tjPath, project);
}

std::string DefaultDataFolderFor(const std::string& fileName) {
    const std::string dir = ExtractFileDir(fileName);
    std::string base = ExtractFileName(fileName);
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos)
        base.resize(dot);
    if (base.empty())
        base = "Project";
    return dir.empty() ? base : IncludeTrailingPathDelimiter(dir) + base;
}

void WriteProjectFile(const std::string& fileName, TDocProject& project) {
    const std::string dir = ExtractFileDir(fileName);
    EnsureDir(dir);
    // The folder the project actually lives in: a project opened through a
    // "root" elsewhere keeps its model beside its pages, or the next open
    // would find the model and the pages in two different folders.
    const std::string dataFolder = project.RootPath.empty()
                                       ? DefaultDataFolderFor(fileName)
                                       : ExcludeTrailingPathDelimiter(project.RootPath);
    EnsureDir(dataFolder);

    Json pf = Json::object();
    pf["version"] = "1.0";
    pf["title"] = project.Title;
    pf["root"] = dataFolder;
    WriteFileBytesAtomic(fileName, std::string(kBom) + JsonWrite(pf));

    const std::string saved = project.RootPath;
    project.RootPath = IncludeTrailingPathDelimiter(dataFolder);
    try {
        SaveProjectModel(project);
    } catch (...) {
        project.RootPath = saved;
        throw;
    }
    project.RootPath = saved;
}

TProjectFileInfo ReadProjectFile(const std::string& fileName) {
    if (!FileExists(fileName))
        throw EFileError("Project file not found: " + fileName);
    auto doc = TJsonDocument::Parse(ReadTextFileUtf8(fileName));
    if (!doc)
        throw EJsonError("Invalid project file: " + fileName);
    const Json& root = doc->Root();
    if (!root.is_object())
        throw EJsonError("Invalid type cast: the project file does not hold a JSON object: " +
                         fileName);
    const Json* title = JsonMember(&root, "title");
    const Json* rootMember = JsonMember(&root, "root");
    if (title == nullptr)
        throw EJsonError("Value not found: \"title\" in " + fileName);
    if (rootMember == nullptr)
        throw EJsonError("Value not found: \"root\" in " + fileName);

    TProjectFileInfo info;
    info.Title = doc->TextForm(*title);
    // The data folder beside the file wins whenever it holds a project: a
    // copied or cloned project whose "root" still names the original (which
    // exists) must edit and publish the copy, never the original. "root" is
    // only used when there is no project beside the file. A "root" written on
    // Windows uses backslashes; ToNativeSeparators makes it a path here.
    const std::string named = ToNativeSeparators(doc->TextForm(*rootMember));
    const std::string def = DefaultDataFolderFor(fileName);
    if (FileExists(ProjectJsonPath(def)) || named.empty())
        info.Folder = def;
    else if (FileExists(ProjectJsonPath(named)) || !DirectoryExists(def))
        info.Folder = ExcludeTrailingPathDelimiter(named);
    else
        info.Folder = def;
    // Reading on regardless would make an empty project that every command
    // then writes into a folder the author never chose.
    if (!DirectoryExists(info.Folder))
        throw EFileError("The project's data folder does not exist: " + info.Folder);
    return info;
}

} // namespace qm
