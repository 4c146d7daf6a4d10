#include "settings/UserDictionary.h"
#include "base/Error.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace qm;
using qm::test::ReadFile;
using qm::test::TTempDir;
using qm::test::WriteFile;

TEST(UserDictionary, WhatCanBeAWord) {
    const struct {
        std::string text;
        bool word;
    } cases[] = {
        {"Quillmate", true},          {"caf\xC3\xA9", true},
        {"var:Name", true},           {"", false},
        {"two words", false},         {"tab\there", false},
        {"line\nbreak", false},       {"bad\xC3", false},
        {std::string(99, 'a'), true}, {std::string(100, 'a'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TUserDictionary::IsWord(c.text), c.word) << c.text;
}

TEST(UserDictionary, AddKeepsTheFileSortedWithoutDuplicatesAndCreatesItsFolder) {
    TTempDir dir;
    TUserDictionary d(dir / "user/Dictionary.txt");
    d.Load();
    EXPECT_TRUE(d.Words().empty());
    EXPECT_TRUE(d.Add("  Zeta "));
    EXPECT_TRUE(d.Add("alpha"));
    EXPECT_TRUE(d.Add("Alpha"));
    EXPECT_FALSE(d.Add("alpha"));
    EXPECT_FALSE(d.Add("two words"));
    EXPECT_EQ(ReadFile(dir / "user/Dictionary.txt"), "Alpha\nZeta\nalpha\n");
    EXPECT_TRUE(d.Contains("Zeta"));
    EXPECT_FALSE(d.Contains("zeta"));
}

TEST(UserDictionary, ReadsHandWrittenFilesAndKeepsWordsAnotherProgramAdded) {
    TTempDir dir;
    const std::string file = dir / "Dictionary.txt";
    WriteFile(file, "\xEF\xBB\xBF"
                    "beta\r\n\r\n  gamma  \nbeta\nnot a word\n");
    TUserDictionary mine(file);
    mine.Load();
    EXPECT_EQ(mine.Words(), (std::vector<std::string>{"beta", "gamma"}));

    TUserDictionary other(file);
    other.Load();
    EXPECT_TRUE(other.Add("delta"));
    EXPECT_TRUE(mine.Add("alpha"));
    EXPECT_EQ(ReadFile(file), "alpha\nbeta\ndelta\ngamma\n");
}

TEST(UserDictionary, AListThatCannotBeWrittenRaisesAndKeepsTheWordsInMemory) {
    TTempDir dir;
    // A folder where the file should be: no rename can replace it, not even as root.
    const std::string file = dir / "Dictionary.txt";
    TUserDictionary d(file);
    d.Load();
    ASSERT_TRUE(d.Add("beta"));
    ASSERT_EQ(unlink(file.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_THROW(d.Add("alpha"), EFileError);
    EXPECT_FALSE(d.Contains("alpha"));
}
