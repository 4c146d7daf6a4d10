// The contents model over a project: the rows it shows for contents that are
// well formed and for contents read from a damaged topics file.
#include "ContentsModel.h"
#include "model/DocModel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using qm::TDocProject;
using qm::app::TContentsModel;

namespace {

// The rows as "title@depth" in reading order, walked through the model's own
// index() and rowCount(), checking parent() on the way back up.
std::vector<std::string> Rows(const TContentsModel& model) {
    std::vector<std::string> out;
    std::vector<std::pair<QModelIndex, int>> stack{{QModelIndex(), 0}};
    while (!stack.empty()) {
        auto& [parent, next] = stack.back();
        if (next >= model.rowCount(parent)) {
            stack.pop_back();
            continue;
        }
        const QModelIndex child = model.index(next++, 0, parent);
        EXPECT_EQ(model.parent(child), parent);
        const int depth = static_cast<int>(stack.size()) - 1;
        out.push_back(child.data().toString().toStdString() + "@" + std::to_string(depth));
        stack.emplace_back(child, 0);
    }
    return out;
}

struct TShape {
    const char* name;
    // Damage done to the contents of A (B, C under A; D under B; E at the top).
    void (*damage)(TDocProject& p, const std::vector<std::string>& ids);
    std::vector<std::string> rows;
};

} // namespace

TEST(ContentsModel, ShowsEveryTopicOnceAtItsFirstPlace) {
    const TShape shapes[] = {
        {"well formed",
         [](TDocProject&, const std::vector<std::string>&) {},
         {"A@0", "B@1", "D@2", "C@1", "E@0"}},
        {"an id that names no topic",
         [](TDocProject& p, const std::vector<std::string>& ids) {
             p.GetTopic(ids[0]).Children.insert(p.GetTopic(ids[0]).Children.begin(), "MISSING");
         },
         {"A@0", "B@1", "D@2", "C@1", "E@0"}},
        {"a topic listed under two parents",
         [](TDocProject& p, const std::vector<std::string>& ids) {
             p.GetTopic(ids[4]).Children.push_back(ids[3]);
         },
         {"A@0", "B@1", "D@2", "C@1", "E@0"}},
        {"a cycle",
         [](TDocProject& p, const std::vector<std::string>& ids) {
             p.GetTopic(ids[3]).Children.push_back(ids[0]);
         },
         {"A@0", "B@1", "D@2", "C@1", "E@0"}},
        {"a top-level topic listed twice",
         [](TDocProject& p, const std::vector<std::string>& ids) {
             p.RootTopicIDs.push_back(ids[0]);
         },
         {"A@0", "B@1", "D@2", "C@1", "E@0"}},
    };
    for (const TShape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        TDocProject p;
        std::vector<std::string> ids;
        ids.push_back(p.AddTopic("A", "").ID);
        ids.push_back(p.AddTopic("B", ids[0]).ID);
        ids.push_back(p.AddTopic("C", ids[0]).ID);
        ids.push_back(p.AddTopic("D", ids[1]).ID);
        ids.push_back(p.AddTopic("E", "").ID);
        shape.damage(p, ids);
        TContentsModel model;
        // Aborts on any inconsistency between index(), parent() and rowCount().
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.Rebuild(p);
        EXPECT_EQ(Rows(model), shape.rows);
        EXPECT_EQ(TContentsModel::IdOf(model.IndexOf(ids[3])), ids[3]);
        EXPECT_FALSE(model.IndexOf("MISSING").isValid());
    }
}

TEST(ContentsModel, TitlesComeFromTheProjectAndEditsGoToTheWindow) {
    TDocProject p;
    const std::string a = p.AddTopic("A", "").ID;
    TContentsModel model;
    model.Rebuild(p);
    const QModelIndex row = model.IndexOf(a);
    std::vector<std::pair<std::string, std::string>> edited;
    QObject::connect(
        &model, &TContentsModel::TitleEdited,
        [&](const std::string& id, const std::string& title) { edited.emplace_back(id, title); });
    EXPECT_TRUE(model.setData(row, QStringLiteral("Renamed"), Qt::EditRole));
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].first, a);
    EXPECT_EQ(edited[0].second, "Renamed");
    EXPECT_EQ(row.data().toString(), QStringLiteral("A"))
        << "the project is the window's to change";
    p.GetTopic(a).Title = "Renamed";
    EXPECT_EQ(row.data().toString(), QStringLiteral("Renamed"));
    // A row whose topic went away shows nothing until the rebuild.
    p.DeleteTopic(a);
    EXPECT_EQ(row.data().toString(), QString());
    model.Rebuild(p);
    EXPECT_EQ(model.rowCount(), 0);
}
