#include "workspace/ContentsCommands.h"
#include "model/DocModel.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <map>

using namespace qm;

namespace {
// Siblings A, B, C at the top level; C has a child C1.
struct Tree {
    qm::test::TTempDir dir;
    TDocProject p;
    std::map<std::string, std::string> id;
    Tree() {
        p.RootPath = dir.Path() + "/";
        for (const char* t : {"A", "B", "C"})
            id[t] = p.AddTopic(t, "").ID;
        id["C1"] = p.AddTopic("C1", id["C"]).ID;
    }
    std::string Order(const std::vector<std::string>& list) {
        std::string s;
        for (const auto& i : list)
            s += p.GetTopic(i).Title + " ";
        return s;
    }
};
} // namespace

TEST(ContentsCommands, UpDownAndLevelUp) {
    struct Case {
        const char* what;
        std::function<bool(Tree&)> run;
        bool changed;
        const char* roots;
    };
    const Case cases[] = {
        {"down on A", [](Tree& t) { return MoveTopicDown(t.p, t.id["A"]); }, true, "B A C "},
        {"up on C", [](Tree& t) { return MoveTopicUp(t.p, t.id["C"]); }, true, "A C B "},
        {"up on first", [](Tree& t) { return MoveTopicUp(t.p, t.id["A"]); }, false, "A B C "},
        {"down on last", [](Tree& t) { return MoveTopicDown(t.p, t.id["C"]); }, false, "A B C "},
        {"level up C1", [](Tree& t) { return MoveTopicLevelUp(t.p, t.id["C1"]); }, true,
         "A B C C1 "},
        {"level up top", [](Tree& t) { return MoveTopicLevelUp(t.p, t.id["A"]); }, false, "A B C "},
        {"unknown id", [](Tree& t) { return MoveTopicUp(t.p, "NOPE"); }, false, "A B C "},
    };
    for (const auto& c : cases) {
        Tree t;
        EXPECT_EQ(c.run(t), c.changed) << c.what;
        EXPECT_EQ(t.Order(t.p.RootTopicIDs), c.roots) << c.what;
    }
}

TEST(ContentsCommands, DropZonesAndPlacement) {
    EXPECT_EQ(DropModeForOffset(0, 16), TDropMode::dmBefore);
    EXPECT_EQ(DropModeForOffset(4, 16), TDropMode::dmBefore);
    EXPECT_EQ(DropModeForOffset(5, 16), TDropMode::dmChild);
    EXPECT_EQ(DropModeForOffset(10, 16), TDropMode::dmChild);
    EXPECT_EQ(DropModeForOffset(11, 16), TDropMode::dmAfter);
    EXPECT_EQ(DropModeForOffset(15, 16), TDropMode::dmAfter);

    struct Case {
        const char* drag;
        const char* target;
        TDropMode mode;
        const char* roots;
        const char* childrenOfC;
    };
    const Case cases[] = {
        {"A", "C", TDropMode::dmBefore, "B A C ", "C1 "},
        {"A", "B", TDropMode::dmAfter, "B A C ", "C1 "},
        {"C", "A", TDropMode::dmBefore, "C A B ", "C1 "},
        {"A", "C", TDropMode::dmChild, "B C ", "C1 A "},
        {"A", "C1", TDropMode::dmAfter, "B C ", "C1 A "},
    };
    for (const auto& c : cases) {
        Tree t;
        EXPECT_TRUE(DropTopic(t.p, t.id[c.drag], t.id[c.target], c.mode));
        EXPECT_EQ(t.Order(t.p.RootTopicIDs), c.roots) << c.drag << " on " << c.target;
        EXPECT_EQ(t.Order(t.p.GetTopic(t.id["C"]).Children), c.childrenOfC);
    }
    Tree t;
    EXPECT_FALSE(DropTopic(t.p, t.id["C"], t.id["C1"], TDropMode::dmChild));
    EXPECT_FALSE(DropTopic(t.p, t.id["C"], t.id["C"], TDropMode::dmAfter));
    EXPECT_EQ(t.Order(t.p.RootTopicIDs), "A B C ");
}
