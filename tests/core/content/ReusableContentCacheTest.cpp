#include "content/ReusableContentCache.h"

#include "TempDir.h"
#include "base/Error.h"
#include "model/DocModel.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace qm;
using qm::test::TTempDir;
using qm::test::WriteFile;

namespace {

class ReusableContentCacheTest : public ::testing::Test {
protected:
    ReusableContentCacheTest() { FProject.RootPath = FDir.Path() + "/"; }

    void Save(const std::string& value) const {
        TReusableProjectContent store;
        store.FVariables = {{"V", value}};
        store.SaveToProject(FProject);
    }

    TTempDir FDir;
    TDocProject FProject;
};

TEST_F(ReusableContentCacheTest, ReusesTheStoreWhileTheFileIsUnchanged) {
    Save("1");
    const auto first = CurrentReusableContent(FProject);
    const auto again = CurrentReusableContent(FProject);
    EXPECT_EQ(first.get(), again.get());
    EXPECT_EQ(again->VariableValue("V", ""), "1");

    Save("2");
    const auto changed = CurrentReusableContent(FProject);
    EXPECT_NE(changed.get(), first.get());
    EXPECT_EQ(changed->VariableValue("V", ""), "2");
    EXPECT_EQ(first->VariableValue("V", ""), "1"); // a page still using it is not disturbed
}

TEST_F(ReusableContentCacheTest, MissingFileAndFailedLoads) {
    EXPECT_TRUE(CurrentReusableContent(FProject)->FVariables.empty());

    WriteFile(ReusableContentPath(FProject), "{\"variables\":7}");
    EXPECT_THROW((void)CurrentReusableContent(FProject), EJsonError);
    // Nothing was kept from the failed load: the error comes again.
    EXPECT_THROW((void)CurrentReusableContent(FProject), EJsonError);

    Save("ok");
    EXPECT_EQ(CurrentReusableContent(FProject)->VariableValue("V", ""), "ok");
    std::filesystem::remove(ReusableContentPath(FProject));
    EXPECT_TRUE(CurrentReusableContent(FProject)->FVariables.empty());
}

} // namespace
