#include "base/PathUtils.h"
#include "model/DocModel.h"
#include "publish/webhelp/WebHelpData.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;

namespace {

TTopic Topic(const std::string& id, const std::string& title) {
    TTopic t;
    t.ID = id;
    t.Title = title;
    return t;
}

TEST(SearchDataWriter, PagesArrivingOutOfOrderAreWrittenInPublishOrder) {
    const TTempDir dir;
    TTopic a = Topic("A", "x/y");
    a.Keywords = {"k1", "k2"};
    const TTopic b = Topic("B", "\xC3\xA9");
    const TTopic c = Topic("C", "");
    auto writer = MakeWebHelpSearchDataWriter(dir.Path(), 3);
    writer->Page(2, c, "");
    writer->Page(0, a, "one \"two\"");
    writer->Page(1, b, "b");
    writer->Finish();
    const std::string json =
        R"({"topics":[{"id":"A","title":"x\/y","file":"topics\/A.html","text":"one \"two\"",)"
        R"("keywords":"k1 k2"},{"id":"B","title":"\u00E9","file":"topics\/B.html","text":"b",)"
        R"("keywords":""},{"id":"C","title":"","file":"topics\/C.html","text":"","keywords":""}]})";
    EXPECT_EQ(ReadFile(dir / "search.json"), json);
    EXPECT_EQ(ReadFile(dir / "search.js"), "window.__QZ_SEARCH = " + json + ";");
}

TEST(SearchDataWriter, NoPagesGiveAnEmptyList) {
    const TTempDir dir;
    MakeWebHelpSearchDataWriter(dir.Path(), 0)->Finish();
    EXPECT_EQ(ReadFile(dir / "search.json"), R"({"topics":[]})");
}

TEST(SearchDataWriter, ManyThreadsFarOutOfOrder) {
    // Pages far ahead of the first wait for it; the result is still in order.
    const TTempDir dir;
    constexpr size_t kPages = 2000;
    std::vector<TTopic> topics;
    for (size_t i = 0; i < kPages; ++i)
        topics.push_back(Topic(std::to_string(i), "t"));
    auto writer = MakeWebHelpSearchDataWriter(dir.Path(), kPages);
    std::thread late([&] {
        for (size_t i = 0; i < kPages; i += 2)
            writer->Page(i, topics[i], "");
    });
    std::thread odd([&] {
        for (size_t i = 1; i < kPages; i += 2)
            writer->Page(i, topics[i], "");
    });
    late.join();
    odd.join();
    writer->Finish();
    std::string expected = "{\"topics\":[";
    for (size_t i = 0; i < kPages; ++i)
        expected += std::string(i > 0 ? "," : "") + "{\"id\":\"" + std::to_string(i) +
                    "\",\"title\":\"t\",\"file\":\"topics\\/" + std::to_string(i) +
                    ".html\",\"text\":\"\",\"keywords\":\"\"}";
    EXPECT_EQ(ReadFile(dir / "search.json"), expected + "]}");
}

TEST(SearchDataWriter, AbortReleasesWaitingPagesAndLeavesNoFiles) {
    const TTempDir dir;
    const TTopic t = Topic("T", "t");
    {
        auto writer = MakeWebHelpSearchDataWriter(dir.Path(), 1000);
        // Page 600 is far ahead of page 0, which never comes: it waits.
        std::thread ahead([&] { writer->Page(600, t, ""); });
        writer->Abort();
        ahead.join();
    }
    EXPECT_FALSE(FileExists(dir / "search.json"));
    EXPECT_FALSE(FileExists(dir / "search.js"));
}

} // namespace
