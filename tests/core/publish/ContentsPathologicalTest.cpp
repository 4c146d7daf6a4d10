// Contents trees no author makes but a damaged or generated topics.json can
// hold: deeper than any call stack, children listed twice on every level,
// cycles. Each is walked once per topic, and every contents writer finishes.
#include "base/PathUtils.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"
#include "publish/Publish.h"
#include "publish/chm/ChmProjectFiles.h"
#include "publish/pdf/PdfManual.h"
#include "publish/webhelp/WebHelpData.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;

namespace {

std::string Id(size_t i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "T%07zu", i);
    return buf;
}

// n topics; topic i lists childrenOf(i) (ids by number) as its children.
template <class TChildren> void Build(TDocProject& p, size_t n, const TChildren& childrenOf) {
    for (size_t i = 0; i < n; ++i) {
        auto t = std::make_unique<TTopic>();
        t->ID = Id(i);
        t->Title = "Topic " + std::to_string(i);
        for (size_t c : childrenOf(i))
            t->Children.push_back(Id(c));
        p.Topics.Add(std::move(t));
    }
    p.RootTopicIDs = {Id(0)};
}

std::vector<size_t> Next(size_t i, size_t n) {
    return i + 1 < n ? std::vector<size_t>{i + 1} : std::vector<size_t>{};
}

} // namespace

TEST(ContentsPathological, AChainDeeperThanTheStack) {
    TTempDir dir;
    TDocProject p;
    p.RootPath = dir / "p/";
    const size_t n = 100000;
    Build(p, n, [&](size_t i) { return Next(i, n); });
    const TContentsWalk walk = WalkContents(p);
    ASSERT_EQ(walk.Entries.size(), n);
    EXPECT_EQ(walk.Entries.back().Depth, static_cast<int>(n - 1));
    EXPECT_TRUE(walk.Warnings.empty());

    EnsureDir(dir / "out");
    EXPECT_TRUE(BuildWebHelpContents(p, dir / "out").empty());
    const std::string toc = ReadFile(dir / "out/toc.json");
    EXPECT_EQ(std::count(toc.begin(), toc.end(), '{'), static_cast<long>(n + 1));
    EXPECT_EQ(std::count(toc.begin(), toc.end(), '['), std::count(toc.begin(), toc.end(), ']'));
    EXPECT_TRUE(chm::WriteChmContents(p, dir / "out", chm::TChmCodePage::Windows1251).empty());
    EXPECT_EQ(pdf::PdfSectionsInOrder(p).size(), n);
}

TEST(ContentsPathological, ChildrenListedTwiceOnEveryLevelAndCycles) {
    struct Case {
        const char* name;
        size_t topics;
        std::vector<size_t> (*children)(size_t i, size_t n);
        size_t warnings;
    };
    const Case cases[] = {
        // Every topic lists its child twice: each copy doubled the tree below.
        {"twice on 60 levels", 60,
         [](size_t i, size_t n) {
             return i + 1 < n ? std::vector<size_t>{i + 1, i + 1} : std::vector<size_t>{};
         },
         59},
        // The last topic lists the first again.
        {"cycle", 5, [](size_t i, size_t n) { return std::vector<size_t>{(i + 1) % n}; }, 1},
        // One topic under two parents (0 holds 1 and 2; both hold 3).
        {"two parents", 4,
         [](size_t i, size_t) {
             return i == 0  ? std::vector<size_t>{1, 2}
                    : i < 3 ? std::vector<size_t>{3}
                            : std::vector<size_t>{};
         },
         1},
    };
    for (const Case& c : cases) {
        TTempDir dir;
        TDocProject p;
        p.RootPath = dir / "p/";
        Build(p, c.topics, [&](size_t i) { return c.children(i, c.topics); });
        const TContentsWalk walk = WalkContents(p);
        EXPECT_EQ(walk.Entries.size(), c.topics) << c.name;
        EXPECT_EQ(walk.Warnings.size(), c.warnings) << c.name;
        EnsureDir(dir / "out");
        EXPECT_EQ(BuildWebHelpContents(p, dir / "out").size(), c.warnings) << c.name;
        const std::string toc = ReadFile(dir / "out/toc.json");
        EXPECT_EQ(std::count(toc.begin(), toc.end(), '{'), static_cast<long>(c.topics + 1))
            << c.name;
        EXPECT_EQ(chm::WriteChmContents(p, dir / "out", chm::TChmCodePage::Windows1251).size(),
                  c.warnings)
            << c.name;
    }
    // The first place wins: in "two parents", topic 3 stays under topic 1.
    TDocProject p;
    Build(p, 4, [](size_t i) {
        return i == 0  ? std::vector<size_t>{1, 2}
               : i < 3 ? std::vector<size_t>{3}
                       : std::vector<size_t>{};
    });
    const TContentsWalk walk = WalkContents(p);
    ASSERT_EQ(walk.Entries.size(), 4u);
    EXPECT_EQ(walk.Entries[2].Topic->ID, Id(3));
    EXPECT_EQ(walk.Entries[2].Depth, 2);
}
