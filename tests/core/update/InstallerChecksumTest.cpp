#include "update/InstallerChecksum.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

using namespace qm;

namespace {
// SHA-256 of "abc".
const std::string kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
} // namespace

TEST(InstallerChecksum, PublishedForms) {
    struct TCase {
        std::string Text;
        std::optional<std::string> Digest;
    };
    std::string upper = kAbc;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const TCase cases[] = {
        {kAbc, kAbc},
        {kAbc + "\n", kAbc},
        {kAbc + "  quillmate.exe\n", kAbc},
        {kAbc + " *quillmate.exe\r\n", kAbc},
        {"\xEF\xBB\xBF" + kAbc + "\r\n", kAbc},
        {"\n  " + kAbc, kAbc},
        {upper, kAbc},
        {"", std::nullopt},
        {"\n", std::nullopt},
        {kAbc.substr(0, 63), std::nullopt},
        {kAbc + "0", std::nullopt},
        {kAbc + "x", std::nullopt},
        {"sha256:" + kAbc, std::nullopt},
        {"<html><body>404 Not Found</body></html>", std::nullopt},
        // An MD5 or SHA-512 published by mistake is not a SHA-256.
        {"900150983cd24fb0d6963f7d28e17f72", std::nullopt},
        {kAbc + kAbc, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("published '" + c.Text + "'");
        EXPECT_EQ(ParsePublishedSha256(c.Text), c.Digest);
    }
}

TEST(InstallerChecksum, Matches) {
    EXPECT_TRUE(Sha256Matches(kAbc, kAbc));
    std::string upper = kAbc;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(Sha256Matches(kAbc, upper));
    std::string other = kAbc;
    other.back() = 'e';
    EXPECT_FALSE(Sha256Matches(kAbc, other));
    EXPECT_FALSE(Sha256Matches("", ""));
    EXPECT_FALSE(Sha256Matches(kAbc, kAbc.substr(0, 63)));
}
