#pragma once
// meta/topics.json read straight into the model. A 50,000-topic tree as a
// JSON document costs several times the memory of the topics themselves, and
// building it takes longer than the parse; here each value goes from the
// parser into its TTopic field.
#include "base/Utf8FileReader.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

class TDocProject;

// Appends the file's root ids and topics to the project. Raises EJsonError
// with the loader's messages (file named by `path`): text that is not JSON or
// nests deeper than kJsonMaxDepth, a top level that is not an object,
// "rootTopicIds", "topics", "children", "keywords" or "index" that is not an
// array, a topic entry that is not an object, a duplicate id. Faults are
// raised only once the whole text has parsed, in the order the checks of a
// tree would meet them; the root ids and the topics before a faulty entry
// stay in the project.
void ReadTopicsJson(std::string_view text, const std::string& path, TDocProject& project);

// ReadTopicsJson over the file at `path`, read a chunk of chunkBytes at a
// time instead of whole: false, the project untouched, when there is no such
// file; the errors of ReadTextFileUtf8 and of ReadTopicsJson otherwise.
bool ReadTopicsJsonFile(const std::string& path, TDocProject& project,
                        size_t chunkBytes = TUtf8FileReader::kDefaultChunkBytes);

} // namespace qm
