#include "settings/Color.h"

#include "base/StringUtil.h"

#include <cstdio>

namespace qm {

TColor ResolveSystemColor(TColor color) {
    if ((color >> 24) != 0xFF)
        return color;
    // The classic Windows system palette, indexed by the low byte. There is no
    // desktop theme to ask in the core, and these are what the values meant
    // when a project file was written on Windows.
    static const TColor kSystem[] = {
        0xC8D0D4, 0x984E00, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
        0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
        0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0xD77800, 0xF0F0F0};
    const unsigned index = color & 0xFF;
    return index < sizeof kSystem / sizeof kSystem[0] ? kSystem[index] : 0;
}

std::string ColorToHtml(TColor color) {
    const TColor c = ResolveSystemColor(color);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%.2X%.2X%.2X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return buf;
}

TColor HtmlToColor(std::string_view text, TColor fallback) {
    const std::string t = TrimCtl(text);
    if (t.size() != 7 || t[0] != '#')
        return fallback;
    TColor rgb = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = t[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return fallback;
        rgb = (rgb << 4) | d;
    }
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

} // namespace qm
