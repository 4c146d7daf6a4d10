#include "content/ReusableContentCache.h"

#include "model/DocModel.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#ifdef _WIN32
#include <chrono>
#include <filesystem>
#else
#include <cerrno>
#include <sys/stat.h>
#endif

namespace qm {

namespace {

// What tells one version of the file from another. Size and modification
// time alone can repeat when a file is rewritten within one tick of the
// file system's clock; the inode and change time of a replaced file differ.
struct TFileStamp {
    std::uintmax_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::int64_t ChangedNs = 0;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const TFileStamp&) const = default;
};

enum class TStampResult { Found, Missing, Unknown };

TStampResult StampFile(const std::string& path, TFileStamp& stamp) {
#ifdef _WIN32
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return TStampResult::Missing;
    if (ec || !fs::is_regular_file(status))
        return TStampResult::Unknown;
    stamp.Size = fs::file_size(path, ec);
    const auto modified = fs::last_write_time(path, ec);
    if (ec)
        return TStampResult::Unknown;
    stamp.ModifiedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
    return TStampResult::Found;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? TStampResult::Missing : TStampResult::Unknown;
    if (!S_ISREG(st.st_mode))
        return TStampResult::Unknown;
    constexpr std::int64_t kNsPerSecond = 1'000'000'000;
    stamp.Size = static_cast<std::uintmax_t>(st.st_size);
    stamp.ModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNsPerSecond +
                       static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    stamp.ChangedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * kNsPerSecond +
                      static_cast<std::int64_t>(st.st_ctim.tv_nsec);
    stamp.Device = static_cast<std::uint64_t>(st.st_dev);
    stamp.Inode = static_cast<std::uint64_t>(st.st_ino);
    return TStampResult::Found;
#endif
}

struct TCacheEntry {
    TFileStamp Stamp;
    std::shared_ptr<const TReusableProjectContent> Content;
};

// A program works on one project at a time; the bound only keeps a long
// session that publishes many projects from holding all of them.
constexpr size_t kMaxCachedFiles = 16;

std::mutex gCacheMutex;
std::unordered_map<std::string, TCacheEntry> gCache;

std::shared_ptr<const TReusableProjectContent> LoadNow(const TDocProject& project) {
    auto content = std::make_shared<TReusableProjectContent>();
    content->LoadFromProject(project);
    return content;
}

} // namespace

std::shared_ptr<const TReusableProjectContent> CurrentReusableContent(const TDocProject& project) {
    static const auto kEmpty = std::make_shared<const TReusableProjectContent>();
    if (project.RootPath.empty())
        return kEmpty;
    const std::string path = ReusableContentPath(project);
    TFileStamp stamp;
    switch (StampFile(path, stamp)) {
    case TStampResult::Missing:
        return kEmpty;
    case TStampResult::Unknown:
        return LoadNow(project); // let the load report what is wrong
    case TStampResult::Found:
        break;
    }
    {
        const std::lock_guard lock(gCacheMutex);
        const auto it = gCache.find(path);
        if (it != gCache.end() && it->second.Stamp == stamp)
            return it->second.Content;
    }
    // Parsed outside the lock so that pages of other projects are not held
    // up. The stamp was taken before the read: if the file changes while it
    // is read, the next call sees a different stamp and reads it again.
    auto content = LoadNow(project);
    const std::lock_guard lock(gCacheMutex);
    if (gCache.size() >= kMaxCachedFiles && gCache.find(path) == gCache.end())
        gCache.clear();
    gCache[path] = TCacheEntry{stamp, content};
    return content;
}

} // namespace qm
