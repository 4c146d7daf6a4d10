#include "import/ImportPaths.h"

#include "base/Error.h"
#include "base/PathUtils.h"
#include "base/StringUtil.h"
#include "base/Utf8.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

namespace qm {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool HasDriveLetter(std::string_view p) {
    return p.size() >= 2 && p[1] == ':';
}

std::string BackslashesForSlashes(std::string s) {
    for (char& c : s)
        if (c == '/')
            c = '\\';
    return s;
}

// The path a reference names, in the backslash form of project paths, or
// nothing when the reference cannot name a file on this system.
std::optional<std::string> ReferencePath(std::string_view text) {
    const std::string t = StripQueryAndFragment(text);
    if (t.empty())
        return std::nullopt;
    std::string p;
    try {
        if (StartsWithAsciiNoCase(t, "file:///")) {
            p = BackslashesForSlashes(UrlDecode(std::string_view(t).substr(8)));
            if (p.size() > 2 && p[0] == '\\' && p[2] == ':')
                p.erase(0, 1);
#ifndef _WIN32
            // file:///home/a/x.png names /home/a/x.png here.
            if (!HasDriveLetter(p) && (p.empty() || p[0] != '\\'))
                p.insert(0, 1, '\\');
#endif
        } else {
            p = BackslashesForSlashes(UrlDecode(t));
        }
    } catch (const EConvertError&) {
        return std::nullopt; // a malformed escape: the reference stays as written
    }
    if (p.empty())
        return std::nullopt;
#ifndef _WIN32
    // "C:\..." cannot exist on this system; resolving it against the current
    // folder could find an unrelated file.
    if (HasDriveLetter(p))
        return std::nullopt;
#endif
    return p;
}

std::string Resolve(std::string_view text, std::string_view baseFolder, bool siteRootRetry) {
    const std::optional<std::string> p = ReferencePath(text);
    if (!p)
        return "";
    try {
        // JoinPath keeps a rooted path as it is and tests for characters no
        // path may hold.
        const std::string full = ExpandFullPath(JoinPath(baseFolder, *p));
        if (siteRootRetry && (*p)[0] == '\\' && !FileExists(full))
            return ExpandFullPath(JoinPath(baseFolder, std::string_view(*p).substr(1)));
        return full;
    } catch (const EInvalidPath&) {
        return ""; // one odd reference must not end the whole import
    }
}

} // namespace

bool IsExternalReference(std::string_view text) {
    const std::string t = AsciiLower(TrimCtl(text));
    if (t.empty())
        return true;
    for (std::string_view prefix :
         {"http:", "https:", "data:", "mailto:", "doc:", "//", "#", "javascript:", "tel:", "cid:"})
        if (StartsWith(t, prefix))
            return true;
    return false;
}

std::string StripQueryAndFragment(std::string_view text) {
    std::string t = TrimCtl(text);
    if (const size_t hash = t.find('#'); hash != std::string::npos)
        t.resize(hash);
    if (const size_t query = t.find('?'); query != std::string::npos)
        t.resize(query);
    return t;
}

std::string UrlDecode(std::string_view text) {
    std::string r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            r.push_back(' ');
        } else if (c != '%') {
            r.push_back(c);
        } else if (i + 1 < text.size() && text[i + 1] == '%') {
            r.push_back('%');
            ++i;
        } else {
            const int hi = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
            const int lo = hi >= 0 ? HexValue(text[i + 2]) : -1;
            if (lo < 0)
                throw EConvertError("Invalid URL encoded character (" +
                                    std::string(text.substr(i, 3)) + ") at position " +
                                    std::to_string(i));
            r.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        }
    }
    if (!IsValidUtf8(r))
        throw EConvertError("No mapping for the Unicode character exists in the target "
                            "multi-byte code page");
    return r;
}

std::string ExpandFullPath(std::string_view path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(ToNativeSeparators(path)), ec);
    if (ec)
        p = fs::path(ToNativeSeparators(path));
    return p.lexically_normal().string();
}

std::string ResolveImportPath(std::string_view text, std::string_view htmlFolder) {
    return Resolve(text, htmlFolder, true);
}

std::string ResolveCssPath(std::string_view text, std::string_view cssFolder) {
    return Resolve(text, cssFolder, false);
}

} // namespace qm
