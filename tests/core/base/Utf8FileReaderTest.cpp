// The chunked reader against the whole-file reader: for every file and chunk
// size, the same text or the same error, wherever a chunk boundary falls
// (inside a byte-order mark, inside a character, right after one).
#include "base/Utf8FileReader.h"

#include "TempDir.h"
#include "base/Error.h"
#include "base/PathUtils.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace qm;
using qm::test::TTempDir;

namespace {

std::string Outcome(const std::string& fileName, size_t chunkBytes) {
    try {
        if (chunkBytes == 0)
            return "text " + ReadTextFileUtf8(fileName);
        TUtf8FileReader reader(chunkBytes);
        if (!reader.Open(fileName))
            return "missing";
        std::string text;
        for (auto it = reader.begin(); it != TUtf8FileReader::end(); ++it)
            text += *it;
        return "text " + text;
    } catch (const EEncodingError& e) {
        return std::string("error ") + e.what();
    }
}

void ExpectSameAsWholeFile(const TTempDir& dir, const std::string& bytes) {
    const std::string file = dir / "t.txt";
    qm::test::WriteFile(file, bytes);
    const std::string whole = Outcome(file, 0);
    for (size_t chunk : {1, 4, 5, 6, 7, 11, 64})
        ASSERT_EQ(Outcome(file, chunk), whole) << "chunk " << chunk << " bytes " << bytes;
}

TEST(Utf8FileReader, AgreesWithTheWholeFileReader) {
    TTempDir dir;
    const std::string chars = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"; // a é € 😀 z
    std::vector<std::string> cases = {
        "",
        "\xEF\xBB\xBF",
        "\xEF\xBB",
        "\xEF\xBB\xBF\xEF\xBB\xBF",
        "\xEF\xBB\xBF{\"a\":1}",
        "x\xEF\xBB\xBF",
        "\xC3",                 // cut at the end of the file
        "abc\xF0\x9F\x98",      // cut at the end of the file
        "abc\xE2\x82",          // cut at the end of the file
        "ab\x80",               // a lone continuation byte
        "\xC3\xA9\x80",         // one continuation too many
        "\xC0\xAF",             // overlong
        "\xED\xA0\x80",         // a surrogate
        "\xF4\x90\x80\x80",     // above U+10FFFF
        "\xFF",                 // never a UTF-8 byte
        "\xF8\x88\x80\x80\x80", // five-byte form
        std::string(70, 'a') + "\xE2\x28\xA1",
    };
    // Every character at every offset from a chunk boundary.
    for (size_t pad = 0; pad < 8; ++pad) {
        cases.push_back(std::string(pad, '.') + chars);
        cases.push_back("\xEF\xBB\xBF" + std::string(pad, '.') + chars);
        cases.push_back(std::string(pad, '.') + chars + "\xE2\x82");
    }
    for (const std::string& c : cases)
        ExpectSameAsWholeFile(dir, c);
}

TEST(Utf8FileReader, AgreesWithTheWholeFileReaderOnRandomBytes) {
    TTempDir dir;
    std::mt19937 rng(1812);
    static const std::vector<std::string> kPieces = {
        "a",    " ",    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF",
        "\x80", "\xC3", "\xE2\x82", "\xF0\x9F",     "\xED\xA0\x80",     "\xFF"};
    for (int i = 0; i < 400; ++i) {
        std::string bytes;
        const size_t n = rng() % 24;
        // Mostly valid pieces, so that faults sit at every depth of the file.
        for (size_t k = 0; k < n; ++k)
            bytes += kPieces[rng() % 40 == 0 ? rng() % kPieces.size() : rng() % 6];
        ExpectSameAsWholeFile(dir, bytes);
    }
}

TEST(Utf8FileReader, OpensOnlyARegularFileAndChecksWhatItSkips) {
    TTempDir dir;
    TUtf8FileReader missing;
    EXPECT_FALSE(missing.Open(dir / "none.txt"));
    TUtf8FileReader folder;
    EXPECT_FALSE(folder.Open(dir.Path()));

    // A parser that stops early still learns of invalid UTF-8 further on.
    qm::test::WriteFile(dir / "late.txt", std::string(100, 'x') + "\xFF");
    TUtf8FileReader reader(8);
    ASSERT_TRUE(reader.Open(dir / "late.txt"));
    ASSERT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.Peek(), 'x');
    EXPECT_THROW(reader.CheckRest(), EEncodingError);
}

} // namespace
