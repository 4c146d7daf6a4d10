#pragma once
// JSON in the program's file formats. Reading goes through nlohmann's
// ordered_json; writing has its own serialiser because every JSON file of a
// project is compact, pure ASCII, with "\/" and upper-case \u escapes, which
// nlohmann's dump does not produce.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace qm {

using Json = nlohmann::ordered_json;

// The deepest nesting of arrays and objects a document may have. The program's
// own files need a handful of levels; the limit keeps the code that walks a
// tree recursively (here and in every reader) far inside the stack.
inline constexpr size_t kJsonMaxDepth = 512;

// One parsed document. Floating-point numbers remember the text they were
// written with, because the formats read "the text form" of a value as it
// stands in the file (1.50 stays "1.50").
class TJsonDocument {
public:
    // Nothing (std::nullopt) when the text is not JSON or nests deeper than
    // kJsonMaxDepth.
    [[nodiscard]] static std::optional<TJsonDocument> Parse(std::string_view text);

    TJsonDocument(TJsonDocument&&) noexcept = default;
    TJsonDocument& operator=(TJsonDocument&&) noexcept = default;
    TJsonDocument(const TJsonDocument&) = delete;
    TJsonDocument& operator=(const TJsonDocument&) = delete;

    [[nodiscard]] const Json& Root() const { return *FRoot; }
    // A string's content, a number as written, true/false/null as words, and
    // compact JSON for arrays and objects.
    [[nodiscard]] std::string TextForm(const Json& value) const;

private:
    TJsonDocument() = default;
    std::unique_ptr<Json> FRoot; // heap-held so value addresses survive moves
    std::unordered_map<const Json*, std::string> FFloatText;
};

// Runs a SAX handler over the JSON text in [first, last), which must hold one
// value and nothing after it. False when the text is not JSON or the handler
// stopped the parse; the parser's exceptions count as such a failure, while
// anything else (a reader's file error) passes through.
template <class TIterator, class TSax>
[[nodiscard]] bool SaxParseJson(TIterator first, TIterator last, TSax& sax) {
    try {
        return Json::sax_parse(std::move(first), std::move(last), &sax,
                               nlohmann::detail::input_format_t::json, true);
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}

// Compact serialisation in the program's writing rules.
[[nodiscard]] std::string JsonWrite(const Json& value);
// A JSON string literal (with quotes) in the writing rules.
[[nodiscard]] std::string JsonQuote(std::string_view utf8);
// The same literal appended to out.
void AppendJsonQuoted(std::string& out, std::string_view utf8);

// Member of an object, or nullptr when obj is not an object or lacks it.
[[nodiscard]] const Json* JsonMember(const Json* obj, std::string_view name);

} // namespace qm
