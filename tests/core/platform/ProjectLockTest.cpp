#include "platform/ProjectLock.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::platform;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(ProjectLock, OneHolderAtATime) {
    TTempDir dir;
    fs::create_directory(dir / "Guide");
    {
        const TProjectLock first(dir / "Guide/");
        EXPECT_EQ(first.DataFolder(), dir / "Guide");
        EXPECT_TRUE(fs::exists(dir / "Guide/.quillmate.lock"));
        try {
            const TProjectLock second(dir / "Guide", std::chrono::milliseconds(200));
            ADD_FAILURE() << "two holders";
        } catch (const EProjectInUse& e) {
            EXPECT_EQ(std::string(e.what()), "project in use: " + dir / "Guide");
        }
    }
    const TProjectLock again(dir / "Guide");
}

TEST(ProjectLock, CoversTheFolderHoweverItIsSpelt) {
    TTempDir dir;
    fs::create_directories(dir / "Guide/topics");
    fs::create_directory_symlink(dir / "Guide", dir / "Alias");
    const TProjectLock lock(dir / "Guide");
    for (const std::string& same :
         {dir / "Guide", dir / "Guide/", dir / "Guide/topics/..", dir / "./Guide", dir / "Alias"})
        EXPECT_TRUE(lock.Covers(same)) << same;
    EXPECT_FALSE(lock.Covers(dir / "Guide/topics"));
    EXPECT_FALSE(lock.Covers(dir.Path()));
}

TEST(ProjectLock, AFolderThatCannotHoldTheLockSaysWhy) {
    TTempDir dir;
    try {
        const TProjectLock lock(dir / "missing");
        ADD_FAILURE() << "locked a folder that is not there";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(std::strerror(ENOENT)), std::string::npos);
    }
}

TEST(ProjectLock, TheHolderRemovesWritesCutShortInTopicsAndAssets) {
    TTempDir dir;
    const std::string kept[] = {"topics/A.html", "assets/images/a.png", "build/x.html.tmp-Ab12Cd",
                                "meta/topics.json.tmp-Ab12Cd", "topics/notes.tmp.html"};
    const std::string gone[] = {"topics/A.html.tmp-Ab12Cd", "assets/images/a.png.tmp-zZ9900",
                                "assets/css/deep/s.css.tmp-qm"};
    for (const std::string& f : kept)
        WriteFile(dir / ("Guide/" + f), "x");
    for (const std::string& f : gone)
        WriteFile(dir / ("Guide/" + f), "x");
    const TProjectLock lock(dir / "Guide");
    lock.RemoveInterruptedWrites();
    for (const std::string& f : kept)
        EXPECT_TRUE(fs::exists(dir / ("Guide/" + f))) << f;
    for (const std::string& f : gone)
        EXPECT_FALSE(fs::exists(dir / ("Guide/" + f))) << f;
}
