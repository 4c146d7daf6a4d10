#pragma once
// A generated output file written piece by piece, for files too large to
// build in memory first. Replaces the file as WriteOutputFile does; a stream
// that is destroyed without Close (a failed run) removes what it wrote.
#include <string>
#include <string_view>

namespace qm {

class TOutputStream {
public:
    // Creates (or replaces) fileName, its folder chain included, and writes
    // `start`. Raises EFileError naming the file.
    TOutputStream(std::string fileName, std::string_view start);
    ~TOutputStream();
    TOutputStream(const TOutputStream&) = delete;
    TOutputStream& operator=(const TOutputStream&) = delete;

    // Raises EFileError naming the file.
    void Append(std::string_view bytes);
    // Writes what is buffered and closes the file. Raises EFileError.
    void Close();

private:
    void Flush();

    std::string FFileName;
    std::string FBuffer;
    int FFd = -1;
};

} // namespace qm
