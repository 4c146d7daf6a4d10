#pragma once
// A UTF-8 text file read a chunk at a time, for readers that parse as they
// read: a project's topics.json is 17 MB at 50,000 topics, and held whole
// beside the model built from it, it raises the peak of opening the project
// by as much.
// The bytes handed out are those ReadTextFileUtf8 would return (byte-order
// mark skipped), and a file with invalid UTF-8 fails with the same error; the
// check runs chunk by chunk, so the error can come after some bytes were
// handed out.
#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

namespace qm {

class TUtf8FileReader {
public:
    static constexpr size_t kDefaultChunkBytes = 64 * 1024;

    // An unopened reader; Open names the file.
    explicit TUtf8FileReader(size_t chunkBytes = kDefaultChunkBytes);
    ~TUtf8FileReader();
    TUtf8FileReader(const TUtf8FileReader&) = delete;
    TUtf8FileReader& operator=(const TUtf8FileReader&) = delete;

    // False, as ReadTextFileUtf8IfExists, when the file is missing or no
    // regular file. Raises EFileError when it cannot be opened.
    [[nodiscard]] bool Open(const std::string& fileName);

    // Whether the text is used up; reads the next chunk when the last one is.
    // Raises EFileError on a read error, EEncodingError on invalid UTF-8.
    [[nodiscard]] bool AtEnd();
    [[nodiscard]] char Peek() const { return FChunk[FPos]; }
    void Advance() { ++FPos; }

    // Reads and checks the rest of the file without handing it out: a parser
    // that stops at a fault must still report invalid UTF-8 further on, as a
    // reader of the whole file checks it first.
    void CheckRest();

    // The text as an input range, for parsers that take iterators.
    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = char;

        iterator() = default; // the end
        explicit iterator(TUtf8FileReader* reader) : FReader(reader) {}
        char operator*() const { return FReader->Peek(); }
        iterator& operator++() {
            FReader->Advance();
            return *this;
        }
        void operator++(int) { FReader->Advance(); }
        bool operator==(const iterator& o) const { return Ended() == o.Ended(); }
        bool operator!=(const iterator& o) const { return !(*this == o); }

    private:
        [[nodiscard]] bool Ended() const { return FReader == nullptr || FReader->AtEnd(); }
        TUtf8FileReader* FReader = nullptr;
    };
    [[nodiscard]] iterator begin() { return iterator(this); }
    [[nodiscard]] static iterator end() { return {}; }

private:
    void Fill();
    void Check(size_t count);
    [[noreturn]] void ThrowInvalid() const;

    std::string FFileName;
    int FFd = -1;
    bool FFirst = true;
    std::vector<char> FChunk;
    size_t FPos = 0;
    size_t FLen = 0;
    // The start of a character cut off at the end of the last chunk, checked
    // with the rest of it at the start of the next one.
    std::string FCarry;
};

} // namespace qm
