#include "model/TopicProperties.h"

#include "model/DocModel.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(TopicProperties, LinesAreTrimmedAndBlankOnesLeftOut) {
    using V = std::vector<std::string>;
    const struct {
        const char* text;
        V entries;
    } cases[] = {
        {"  alpha \n\nbeta", {"alpha", "beta"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"dup\ndup\n \t \n", {"dup", "dup"}},
        {"", {}},
        {"\n\n", {}},
        {"two words \n Größe", {"two words", "Größe"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntriesFromLines(c.text), c.entries) << c.text;
}

TEST(TopicProperties, StoredAndShownBack) {
    TTopic topic;
    TTopicProperties p;
    p.KeywordLines = " alpha \n\nbeta";
    p.IndexLines = "Index, entry\n";
    p.ExcludeChm = true;
    StoreProperties(topic, p);
    EXPECT_EQ(topic.Keywords, (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(topic.IndexEntries, (std::vector<std::string>{"Index, entry"}));
    EXPECT_FALSE(topic.ExcludeWeb);
    EXPECT_TRUE(topic.ExcludeChm);
    EXPECT_FALSE(topic.ExcludePdf);

    const TTopicProperties shown = PropertiesOf(topic);
    EXPECT_EQ(shown.KeywordLines, "alpha\nbeta");
    EXPECT_EQ(shown.IndexLines, "Index, entry");
    EXPECT_TRUE(shown.ExcludeChm);
}
