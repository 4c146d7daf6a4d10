#include "base/Json.h"

#include "base/StringUtil.h"
#include "base/Utf8.h"
#include "base/WordScan.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace qm {

namespace {

// Records the text of every floating-point number in document order while
// nlohmann builds the tree; the tree is walked in the same order afterwards.
class TFloatRecordingParser : public nlohmann::detail::json_sax_dom_parser<Json> {
public:
    using Base = nlohmann::detail::json_sax_dom_parser<Json>;
    TFloatRecordingParser(Json& target, std::vector<std::string>& texts)
        : Base(target, false), FTexts(texts) {}

    bool number_float(Json::number_float_t val, const std::string& s) {
        FTexts.push_back(s);
        return Base::number_float(val, s);
    }

    // Returning false ends the parse as failed, before the tree (and every
    // walk over it) gets deeper than the limit.
    bool start_object(std::size_t len) { return Enter() && Base::start_object(len); }
    bool start_array(std::size_t len) { return Enter() && Base::start_array(len); }
    bool end_object() {
        --FDepth;
        return Base::end_object();
    }
    bool end_array() {
        --FDepth;
        return Base::end_array();
    }

private:
    bool Enter() { return ++FDepth <= kJsonMaxDepth; }

    std::vector<std::string>& FTexts;
    size_t FDepth = 0;
};

void CollectFloats(const Json& v, std::vector<const Json*>& out) {
    if (v.is_number_float()) {
        out.push_back(&v);
    } else if (v.is_array() || v.is_object()) {
        for (const auto& child : v)
            CollectFloats(child, out);
    }
}

void AppendHex4(std::string& out, unsigned v) {
    static const char* kHex = "0123456789ABCDEF";
    out.push_back('\\');
    out.push_back('u');
    out.push_back(kHex[(v >> 12) & 0xF]);
    out.push_back(kHex[(v >> 8) & 0xF]);
    out.push_back(kHex[(v >> 4) & 0xF]);
    out.push_back(kHex[v & 0xF]);
}

// Bytes written as they are: printable ASCII other than the quote, the
// backslash and the slash.
struct TPlainBytes {
    bool Plain[256] = {};
    constexpr TPlainBytes() {
        for (int c = 32; c < 128; ++c)
            Plain[c] = c != '"' && c != '\\' && c != '/';
    }
};
constexpr TPlainBytes kPlainBytes;

// Whether one of eight bytes is not plain: a control byte, a byte of a
// multi-byte character, or one of the three escaped ASCII characters.
bool HoldsNonPlainByte(uint64_t word) {
    return WordHoldsHighByte(word) || WordHoldsByteBelow(word, 32) || WordHoldsByte(word, '"') ||
           WordHoldsByte(word, '\\') || WordHoldsByte(word, '/');
}

void WriteString(std::string& out, std::string_view s) {
    out.push_back('"');
    size_t pos = 0;
    while (pos < s.size()) {
        // Most of a text needs no escape; it goes in runs, found eight
        // bytes at a time where they can be.
        size_t run = pos;
        while (run + 8 <= s.size() && !HoldsNonPlainByte(WordAt(s, run)))
            run += 8;
        while (run < s.size() && kPlainBytes.Plain[static_cast<unsigned char>(s[run])])
            ++run;
        out.append(s.data() + pos, run - pos);
        pos = run;
        if (pos == s.size())
            break;
        const auto c = static_cast<unsigned char>(s[pos]);
        if (c < 0x80) {
            ++pos;
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '/':
                out += "\\/";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                AppendHex4(out, c);
            }
            continue;
        }
        char32_t cp = NextCodePoint(s, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendHex4(out, 0xD800u + static_cast<unsigned>(cp >> 10));
            AppendHex4(out, 0xDC00u + static_cast<unsigned>(cp & 0x3FF));
        } else {
            AppendHex4(out, static_cast<unsigned>(cp));
        }
    }
    out.push_back('"');
}

void WriteValue(std::string& out, const Json& v) {
    switch (v.type()) {
    case Json::value_t::null:
        out += "null";
        break;
    case Json::value_t::boolean:
        out += v.get<bool>() ? "true" : "false";
        break;
    case Json::value_t::number_integer:
        out += std::to_string(v.get<std::int64_t>());
        break;
    case Json::value_t::number_unsigned:
        out += std::to_string(v.get<std::uint64_t>());
        break;
    case Json::value_t::number_float:
        out += FormatShortestDouble(v.get<double>());
        break;
    case Json::value_t::string:
        WriteString(out, v.get_ref<const std::string&>());
        break;
    case Json::value_t::array: {
        out.push_back('[');
        bool first = true;
        for (const auto& e : v) {
            if (!first)
                out.push_back(',');
            first = false;
            WriteValue(out, e);
        }
        out.push_back(']');
        break;
    }
    case Json::value_t::object: {
        out.push_back('{');
        bool first = true;
        for (auto it = v.begin(); it != v.end(); ++it) {
            if (!first)
                out.push_back(',');
            first = false;
            WriteString(out, it.key());
            out.push_back(':');
            WriteValue(out, it.value());
        }
        out.push_back('}');
        break;
    }
    default:
        out += "null";
        break;
    }
}

} // namespace

std::optional<TJsonDocument> TJsonDocument::Parse(std::string_view text) {
    TJsonDocument doc;
    doc.FRoot = std::make_unique<Json>();
    std::vector<std::string> texts;
    TFloatRecordingParser sax(*doc.FRoot, texts);
    if (!SaxParseJson(text.begin(), text.end(), sax) || sax.is_errored())
        return std::nullopt;
    std::vector<const Json*> floats;
    CollectFloats(*doc.FRoot, floats);
    // A duplicate object key makes the walk disagree with the event order;
    // then fall back to the shortest form rather than pair texts wrongly.
    if (floats.size() == texts.size())
        for (size_t i = 0; i < floats.size(); ++i)
            doc.FFloatText.emplace(floats[i], std::move(texts[i]));
    return doc;
}

std::string TJsonDocument::TextForm(const Json& value) const {
    switch (value.type()) {
    case Json::value_t::string:
        return value.get<std::string>();
    case Json::value_t::boolean:
        return value.get<bool>() ? "true" : "false";
    case Json::value_t::null:
        return "null";
    case Json::value_t::number_float: {
        auto it = FFloatText.find(&value);
        if (it != FFloatText.end())
            return it->second;
        return FormatShortestDouble(value.get<double>());
    }
    default:
        return JsonWrite(value);
    }
}

std::string JsonWrite(const Json& value) {
    std::string out;
    WriteValue(out, value);
    return out;
}

std::string JsonQuote(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 2);
    WriteString(out, utf8);
    return out;
}

void AppendJsonQuoted(std::string& out, std::string_view utf8) {
    WriteString(out, utf8);
}

const Json* JsonMember(const Json* obj, std::string_view name) {
    if (obj == nullptr || !obj->is_object())
        return nullptr;
    auto it = obj->find(std::string(name));
    if (it == obj->end())
        return nullptr;
    return &*it;
}

} // namespace qm
