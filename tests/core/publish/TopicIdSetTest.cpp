#include "publish/common/TopicIdSet.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace qm;

namespace {

// Ids of every form a project may hold, and lookups that differ from them in
// case, length or one digit, against a set of strings.
TEST(TopicIdSet, AnswersAsASetOfStrings) {
    std::mt19937 rng(20261210);
    const auto hexId = [&](const char* digits) {
        std::string id;
        for (int i = 0; i < 32; ++i)
            id += digits[rng() % 16];
        return id;
    };
    std::vector<std::string> ids = {"",
                                    "Intro",
                                    "0123456789abcdef0123456789ABCDEF",
                                    "00000000000000000000000000000000",
                                    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
                                    "0123456789ABCDEF0123456789ABCDE",
                                    "0123456789ABCDEF0123456789ABCDEF0",
                                    "0123456789ABCDEF0123456789ABCDEG"};
    for (int i = 0; i < 500; ++i)
        ids.push_back(hexId("0123456789ABCDEF"));
    for (int i = 0; i < 50; ++i)
        ids.push_back(hexId("0123456789abcdef"));
    const std::set<std::string> reference(ids.begin(), ids.end());
    const TTopicIdSet set(std::vector<std::string_view>(ids.begin(), ids.end()));

    std::vector<std::string> asked = ids;
    for (const std::string& id : ids) {
        std::string lower = id, upper = id, changed = id;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!changed.empty())
            changed[rng() % changed.size()] ^= 1;
        asked.insert(asked.end(), {lower, upper, changed, id + "0", id.substr(id.empty() ? 0 : 1)});
    }
    for (int i = 0; i < 500; ++i)
        asked.push_back(hexId("0123456789ABCDEF"));
    for (const std::string& id : asked)
        ASSERT_EQ(set.Contains(id), reference.count(id) == 1) << id;
}

} // namespace
