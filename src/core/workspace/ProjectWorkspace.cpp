#include "workspace/ProjectWorkspace.h"

#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"
#include "model/Storage.h"
#include "model/TopicHeaders.h"
#include "workspace/ProjectFolders.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace qm {

namespace {
bool IsHffFile(const std::string& path) {
    return !path.empty() && FileExists(path) && SameTextAscii(ExtractFileExt(path), ".hff");
}

// Whether path lies inside folder (or is it), comparing normalised paths.
bool IsInside(const std::string& path, const std::string& folder) {
    const fs::path p = fs::absolute(fs::path(path)).lexically_normal();
    const fs::path f =
        fs::absolute(fs::path(ExcludeTrailingPathDelimiter(folder))).lexically_normal();
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty())
            continue;
        if (pi == p.end() || *pi != *fi)
            return false;
    }
    return true;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return SameTextAscii(ExcludeTrailingPathDelimiter(a), ExcludeTrailingPathDelimiter(b));
}
} // namespace

TProjectWorkspace::TProjectWorkspace(TWorkspacePaths paths)
    : FPaths(std::move(paths)), FWorkspaceDir(FPaths.WorkspaceDir),
      FProject(std::make_unique<TDocProject>()) {}

bool TProjectWorkspace::IsUntitled() const {
    return FProjectFileName.empty() && SameFolder(FProject->RootPath, FWorkspaceDir);
}

std::string TProjectWorkspace::EditorPagePath() const {
    return JoinPath(FProject->RootPath, "internal/editor/editor.html");
}

std::string TProjectWorkspace::MarkerPath() const {
    return JoinPath(FWorkspaceDir, kWorkspaceInUseMarker);
}

std::vector<std::string> TProjectWorkspace::WorkspaceCandidates() const {
    // Each window of the program that runs at the same time needs a workspace
    // of its own; the first one free is taken.
    const std::string base = ExcludeTrailingPathDelimiter(FPaths.WorkspaceDir);
    std::vector<std::string> all{IncludeTrailingPathDelimiter(base)};
    for (int n = 2; n <= kMaxWorkspaces; ++n)
        all.push_back(IncludeTrailingPathDelimiter(base + "-" + std::to_string(n)));
    return all;
}

std::string TProjectWorkspace::KeepCrashedWorkspaceAside(const std::string& stamp) {
    std::string first;
    for (const std::string& candidate : WorkspaceCandidates()) {
        if (!FileExists(JoinPath(candidate, kWorkspaceInUseMarker)))
            continue;
        // A marker with its lock held is another window at work, not a crash.
        try {
            const platform::TProjectLock probe(candidate);
        } catch (const platform::EProjectInUse&) {
            continue;
        } catch (const std::exception&) {
            // A workspace whose lock cannot even be made is left alone.
            continue;
        }
        const std::string ws = ExcludeTrailingPathDelimiter(candidate);
        const std::string aside = ws + "-" + stamp;
        std::error_code ec;
        fs::rename(ws, aside, ec);
        if (ec)
            continue;
        fs::remove(fs::path(aside) / kWorkspaceInUseMarker, ec);
        fs::remove(fs::path(aside) / platform::kProjectLockFileName, ec);
        if (first.empty())
            first = aside;
    }
    return first;
}

std::string TProjectWorkspace::StartProjectCandidate(const std::string& argument) const {
    if (!argument.empty()) {
        const std::string candidate = NormalizeProjectPath(argument);
        if (IsHffFile(candidate))
            return candidate;
    }
    try {
        if (!FileExists(FPaths.LastProjectFile))
            return "";
        const std::string last =
            NormalizeProjectPath(TrimCtl(ReadTextFileUtf8(FPaths.LastProjectFile)));
        return IsHffFile(last) ? last : "";
    } catch (const std::exception&) {
        return ""; // an unreadable last-project file means: no last project
    }
}

TProjectSettings TProjectWorkspace::LoadSettingsFor(const std::string& root,
                                                    const std::string& title) {
    TProjectSettings settings;
    const std::string path = TProjectSettings::DefaultSettingsPathForProject(root);
    if (FileExists(path)) {
        try {
            settings.LoadFromFile(path);
        } catch (const std::exception&) {
            settings.SetDefaults();
        }
        return settings;
    }
    // The settings carry the title the window shows; defaults made for a
    // project that has none must not rename it "Untitled Documentation".
    if (!TrimCtl(title).empty())
        settings.ProjTitle = title;
    try {
        settings.SaveToFile(path);
    } catch (const std::exception&) {
        // Settings that cannot be saved stay in memory.
    }
    return settings;
}

void TProjectWorkspace::UseSettings(TProjectSettings settings) {
    FSettings = std::move(settings);
    if (!TrimCtl(FSettings.ProjTitle).empty())
        FProject->Title = FSettings.ProjTitle;
}

std::unique_ptr<platform::TProjectLock> TProjectWorkspace::LockFor(const std::string& root) const {
    if (FLock && FLock->Covers(root))
        return nullptr;
    return std::make_unique<platform::TProjectLock>(root);
}

void TProjectWorkspace::CreateUntitled(const std::string& welcomeTitle) {
    std::string ws = FWorkspaceDir;
    std::unique_ptr<platform::TProjectLock> lock;
    if (!(FLock && FLock->Covers(ws))) {
        for (const std::string& candidate : WorkspaceCandidates()) {
            try {
                EnsureDir(candidate);
                lock = std::make_unique<platform::TProjectLock>(candidate);
                ws = candidate;
                break;
            } catch (const platform::EProjectInUse&) {
                if (candidate == WorkspaceCandidates().back())
                    throw;
            }
        }
    }
    EnsureDir(ws);
    std::error_code ec;
    // The lock file stays: a new one would not be the file the lock is on.
    for (const auto& e : fs::directory_iterator(fs::path(ws), ec))
        if (e.path().filename() != platform::kProjectLockFileName)
            fs::remove_all(e.path(), ec); // a locked file is reused
    auto fresh = std::make_unique<TDocProject>();
    fresh->RootPath = IncludeTrailingPathDelimiter(ws);
    fresh->Title = "Untitled Documentation";
    fresh->StyleProfile = "default";
    EnsureProjectFolders(ws);
    PrepareInternalFiles(ws, FPaths.ProgramDataDir);
    WriteTextFileUtf8(MarkerPath(), "");
    FProject = std::move(fresh);
    if (lock)
        FLock = std::move(lock);
    FWorkspaceDir = ws;
    FProjectFileName.clear();
    FDirty = false;
    UseSettings(LoadSettingsFor(ws, ""));
    FProject->AddTopic(welcomeTitle, "");
}

void TProjectWorkspace::Open(const std::string& fileName, const std::string& welcomeTitle) {
    const std::string name = NormalizeProjectPath(fileName);
    const TProjectFileInfo info = ReadProjectFile(name);
    auto fresh = std::make_unique<TDocProject>();
    const std::string root = IncludeTrailingPathDelimiter(info.Folder);
    std::unique_ptr<platform::TProjectLock> lock = LockFor(root);
    if (lock)
        lock->RemoveInterruptedWrites();
    LoadProjectModel(root, *fresh);
    fresh->RootPath = root;
    if (!info.Title.empty())
        fresh->Title = info.Title;
    if (fresh->Title.empty()) {
        const std::string base = ExtractFileName(name);
        fresh->Title = base.substr(0, base.rfind('.'));
    }
    EnsureProjectFolders(root);
    PrepareInternalFiles(root, FPaths.ProgramDataDir);
    TProjectSettings settings = LoadSettingsFor(root, fresh->Title);
    if (fresh->RootTopicIDs.empty()) {
        const TTopic& welcome = fresh->AddTopic(welcomeTitle, "");
        WriteTextFileUtf8(fresh->TopicHtmlPath(welcome.ID), DefaultTopicHtml(settings));
        SaveProjectModel(*fresh);
    }
    if (IsUntitled())
        ReleaseWorkspace();
    FProject = std::move(fresh);
    if (lock)
        FLock = std::move(lock);
    FProjectFileName = name;
    FDirty = false;
    UseSettings(std::move(settings));
    RememberLastProject(name);
}

void TProjectWorkspace::SaveModel() const {
    SaveProjectModel(*FProject);
}

void TProjectWorkspace::SaveProjectFile() {
    SaveProjectModel(*FProject);
    WriteProjectFile(FProjectFileName, *FProject);
}

std::string TProjectWorkspace::SaveAsProblem(const std::string& name) const {
    const bool rooted = !name.empty() && (name[0] == '/' || (name.size() > 1 && name[1] == ':'));
    if (!rooted || !SameTextAscii(ExtractFileExt(name), ".hff"))
        return Translate("Invalid project filename: ") + name;
    const std::string newRoot = DefaultDataFolderFor(name);
    if (SameFolder(FProject->RootPath, newRoot))
        return "";
    // Copying a data folder into itself never ends, and a project inside the
    // workspace is deleted with the next untitled project.
    if (IsInside(name, FProject->RootPath) || IsInside(name, FPaths.WorkspaceDir) ||
        IsInside(name, FWorkspaceDir))
        return Translate("A project cannot be saved inside the current project's folder or the "
                         "workspace: ") +
               name;
    return "";
}

bool TProjectWorkspace::MoveTo(const std::string& name) {
    const std::string newRoot = IncludeTrailingPathDelimiter(DefaultDataFolderFor(name));
    if (SameFolder(FProject->RootPath, newRoot))
        return false;
    EnsureDir(newRoot);
    std::unique_ptr<platform::TProjectLock> lock = LockFor(newRoot);
    CopyProjectFolder(ExcludeTrailingPathDelimiter(FProject->RootPath), newRoot);
    FProject->RootPath = newRoot;
    if (lock)
        FLock = std::move(lock);
    EnsureProjectFolders(newRoot);
    PrepareInternalFiles(newRoot, FPaths.ProgramDataDir);
    return true;
}

void TProjectWorkspace::FinishSaveAs(const std::string& name) {
    const bool wasUntitled = FProjectFileName.empty();
    FProjectFileName = name;
    SaveProjectFile();
    FDirty = false;
    if (wasUntitled)
        ReleaseWorkspace();
    RememberLastProject(name);
}

std::string TProjectWorkspace::DialogFolder() const {
    return FProjectFileName.empty() ? std::string() : ExtractFileDir(FProjectFileName);
}

void TProjectWorkspace::ReleaseWorkspace() {
    std::error_code ec;
    fs::remove(MarkerPath(), ec);
}

void TProjectWorkspace::RememberLastProject(const std::string& name) const {
    try {
        WriteTextFileUtf8(FPaths.LastProjectFile, name);
    } catch (const std::exception&) {
        // Only the next start's convenience depends on it.
    }
}

} // namespace qm
