#include "model/DocModel.h"
#include "base/Error.h"
#include "base/PathUtils.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <set>

using namespace qm;
using qm::test::TTempDir;

namespace {
struct ModelFixture : ::testing::Test {
    TTempDir dir;
    TDocProject p;
    ModelFixture() { p.RootPath = dir.Path() + "/"; }

    std::vector<std::string> Titles(const std::vector<std::string>& ids) {
        std::vector<std::string> r;
        for (const auto& id : ids)
            r.push_back(p.GetTopic(id).Title);
        return r;
    }
};
} // namespace

TEST(TopicId, ThirtyTwoUpperHexDigitsAndUnique) {
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        const std::string id = TDocProject::NewTopicId();
        ASSERT_EQ(id.size(), 32u);
        EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF"), std::string::npos) << id;
        EXPECT_TRUE(seen.insert(id).second);
    }
}

TEST_F(ModelFixture, AddAppendsInCallOrderAndCreatesOnlyTheTopicsFolder) {
    TTopic& a = p.AddTopic("A", "");
    TTopic& b = p.AddTopic("", "");
    p.AddTopic("A1", a.ID);
    p.AddTopic("A2", a.ID);
    EXPECT_EQ(Titles(p.RootTopicIDs), (std::vector<std::string>{"A", ""}));
    EXPECT_EQ(Titles(a.Children), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(p.TopicHtmlPath(b.ID), dir.Path() + "/topics/" + b.ID + ".html");
    EXPECT_TRUE(DirectoryExists(dir / "topics"));
    EXPECT_FALSE(FileExists(p.TopicHtmlPath(b.ID)));
    EXPECT_THROW(p.AddTopic("x", "NOPE"), EQuillmateError);
}

TEST_F(ModelFixture, DeleteRemovesTheWholeSubtreeAndItsPages) {
    TTopic& before = p.AddTopic("before", "");
    TTopic& root = p.AddTopic("root", "");
    TTopic& after = p.AddTopic("after", "");
    p.AddTopic("c1", root.ID);
    TTopic& c2 = p.AddTopic("c2", root.ID);
    p.AddTopic("c3", root.ID);
    p.AddTopic("g1", c2.ID);
    p.AddTopic("g2", c2.ID);
    for (const TTopic& t : p.Topics)
        WriteTextFileUtf8(p.TopicHtmlPath(t.ID), "<p>x</p>");
    std::vector<std::string> doomedPaths;
    for (const TTopic& t : p.Topics)
        if (t.ID != before.ID && t.ID != after.ID)
            doomedPaths.push_back(p.TopicHtmlPath(t.ID));

    p.DeleteTopic(root.ID);
    EXPECT_EQ(p.Topics.Count(), 2u);
    EXPECT_EQ(Titles(p.RootTopicIDs), (std::vector<std::string>{"before", "after"}));
    for (const auto& path : doomedPaths)
        EXPECT_FALSE(FileExists(path)) << path;
    EXPECT_TRUE(FileExists(p.TopicHtmlPath(before.ID)));

    p.DeleteTopic("UNKNOWN");
    EXPECT_EQ(p.Topics.Count(), 2u);
}

TEST_F(ModelFixture, MoveIndexSemanticsWithinOneParent) {
    struct Case {
        const char* move;
        int index;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"A", 2, {"B", "C", "A"}}, {"C", 0, {"C", "A", "B"}},  {"B", 1, {"A", "B", "C"}},
        {"A", 1, {"B", "A", "C"}}, {"C", -5, {"C", "A", "B"}}, {"A", 99, {"B", "C", "A"}},
    };
    for (const auto& c : cases) {
        TDocProject q;
        q.RootPath = dir.Path() + "/";
        TTopic& parent = q.AddTopic("P", "");
        std::map<std::string, std::string> ids;
        for (const char* t : {"A", "B", "C"})
            ids[t] = q.AddTopic(t, parent.ID).ID;
        q.MoveTopic(ids[c.move], parent.ID, c.index);
        std::vector<std::string> got;
        for (const auto& id : parent.Children)
            got.push_back(q.GetTopic(id).Title);
        EXPECT_EQ(got, c.expected) << "move " << c.move << " to " << c.index;
    }
}

TEST_F(ModelFixture, MoveBetweenLevelsAndRefusedMoves) {
    TTopic& x = p.AddTopic("X", "");
    TTopic& y = p.AddTopic("Y", "");
    TTopic& x1 = p.AddTopic("X1", x.ID);

    p.MoveTopic(y.ID, x.ID, 0);
    EXPECT_EQ(Titles(p.RootTopicIDs), (std::vector<std::string>{"X"}));
    EXPECT_EQ(Titles(x.Children), (std::vector<std::string>{"Y", "X1"}));
    EXPECT_EQ(y.ParentID, x.ID);
    p.MoveTopic(y.ID, "", 0);
    EXPECT_EQ(Titles(p.RootTopicIDs), (std::vector<std::string>{"Y", "X"}));
    EXPECT_TRUE(y.ParentID.empty());

    EXPECT_TRUE(p.IsDescendant(x.ID, x.ID));
    EXPECT_TRUE(p.IsDescendant(x1.ID, x.ID));
    EXPECT_FALSE(p.IsDescendant("", x.ID));
    for (const std::string& target : {x.ID, x1.ID}) {
        try {
            p.MoveTopic(x.ID, target, 0);
            ADD_FAILURE() << "move into own subtree accepted";
        } catch (const EQuillmateError& e) {
            EXPECT_STREQ(e.what(), "Cannot move a topic into itself/its descendant.");
        }
    }
    EXPECT_EQ(Titles(p.RootTopicIDs), (std::vector<std::string>{"Y", "X"}));
    EXPECT_EQ(Titles(x.Children), (std::vector<std::string>{"X1"}));
    try {
        p.MoveTopic("NOPE", "", 0);
        ADD_FAILURE();
    } catch (const EQuillmateError& e) {
        EXPECT_STREQ(e.what(), "Topic not found: NOPE");
    }
}

TEST_F(ModelFixture, ClearKeepsRootPath) {
    TDocProject fresh;
    EXPECT_EQ(fresh.Title, "");
    EXPECT_EQ(fresh.StyleProfile, "default");
    p.AddTopic("A", "");
    p.Title = "T";
    p.StyleProfile = "dark";
    p.Clear();
    EXPECT_EQ(p.Title, "Untitled Documentation");
    EXPECT_EQ(p.StyleProfile, "default");
    EXPECT_EQ(p.RootPath, dir.Path() + "/");
    EXPECT_EQ(p.Topics.Count(), 0u);
    EXPECT_TRUE(p.RootTopicIDs.empty());
}

// Trees read from disk are not checked; a cycle in the parent links or the
// child lists must not hang or overflow any walk.
TEST_F(ModelFixture, CyclesFromDiskDoNotHangTheWalks) {
    auto add = [&](const std::string& id, const std::string& parent,
                   std::vector<std::string> children) {
        auto t = std::make_unique<TTopic>();
        t->ID = id;
        t->ParentID = parent;
        t->Children = std::move(children);
        p.Topics.Add(std::move(t));
    };
    add("A", "B", {"B"});
    add("B", "A", {"A", "A", "GHOST"});
    add("C", "", {});
    p.RootTopicIDs = {"A", "C"};

    EXPECT_FALSE(p.IsDescendant("A", "C"));
    EXPECT_TRUE(p.IsDescendant("A", "B"));
    p.DeleteTopic("A");
    EXPECT_FALSE(p.HasTopic("A"));
    EXPECT_FALSE(p.HasTopic("B"));
    EXPECT_TRUE(p.HasTopic("C"));
}

TEST(TopicIdSafety, IdsThatWouldLeaveTheTopicsFolderNameNoFile) {
    TDocProject p;
    p.RootPath = "/proj/";
    for (const char* bad : {"../x", "a/b", "a\\b", "c:x", "..", "a\nb", "", "a?b", "a#b", "a\"b"})
        EXPECT_EQ(p.TopicHtmlPath(bad), "") << bad;
    EXPECT_EQ(p.TopicHtmlPath("ABC.def"), "/proj/topics/ABC.def.html");
}
