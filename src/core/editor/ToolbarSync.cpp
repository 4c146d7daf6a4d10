#include "editor/ToolbarSync.h"

#include "base/StringUtil.h"
#include "editor/ToolbarValues.h"

namespace qm {

void TToolbarSync::StyleCommandSent() {
    FIgnoreStyleSyncUntil = FClock() + kStyleSyncWindowMs;
}

void TToolbarSync::FontSizeSent(int px, std::int64_t windowMs) {
    FLastAppliedFontSize = px;
    FIgnoreFontSizeSyncUntil = FClock() + windowMs;
}

void TToolbarSync::LineHeightSent(const std::string& text, std::int64_t windowMs) {
    FLastAppliedLineHeight = text;
    FIgnoreLineHeightSyncUntil = FClock() + windowMs;
}

void TToolbarSync::TextColorSent(const std::string& colorHtml, std::int64_t windowMs) {
    FLastAppliedTextColor = colorHtml;
    FIgnoreTextColorSyncUntil = FClock() + windowMs;
}

void TToolbarSync::FontNameSent(const std::string& name, std::int64_t windowMs) {
    FLastAppliedFontName = name;
    FIgnoreFontNameSyncUntil = FClock() + windowMs;
}

TToolbarView TToolbarSync::Report(const TEditorCursorStyle& s, TColor currentColor) {
    const std::int64_t now = FClock();
    TToolbarView v;
    v.Area = s.Area;
    if (now >= FIgnoreStyleSyncUntil) {
        v.Bold = s.Bold;
        v.Italic = s.Italic;
        v.Underline = s.Underline;
        v.BulletList = SameTextAscii(s.ListType, "ul");
        v.NumberedList = SameTextAscii(s.ListType, "ol");
    }
    for (int h = 1; h <= 3; ++h)
        if (SameTextAscii(s.BlockTag, "h" + std::to_string(h)))
            v.Heading = h;

    if ((now >= FIgnoreFontNameSyncUntil || SameTextAscii(s.FontName, FLastAppliedFontName)) &&
        !s.FontName.empty())
        v.FontName = s.FontName;

    const int px = s.FontSizePx;
    if (px > 0 && (now >= FIgnoreFontSizeSyncUntil || FLastAppliedFontSize <= 0 ||
                   px == FLastAppliedFontSize)) {
        // The page has the size the author chose: later reports count again.
        if (FLastAppliedFontSize > 0 && px == FLastAppliedFontSize)
            FIgnoreFontSizeSyncUntil = 0;
        v.FontSizePx = px;
    }

    if ((now >= FIgnoreTextColorSyncUntil ||
         SameTextAscii(s.TextColorHtml, FLastAppliedTextColor)) &&
        !s.TextColorHtml.empty())
        v.TextColor = ParseCaretColor(s.TextColorHtml, currentColor);

    if (s.Align.empty() || SameTextAscii(s.Align, "left"))
        v.Align = TAlignButton::Left;
    else if (SameTextAscii(s.Align, "center"))
        v.Align = TAlignButton::Center;
    else if (SameTextAscii(s.Align, "right"))
        v.Align = TAlignButton::Right;
    else
        v.Align = TAlignButton::None;

    const std::string l = CaretLineHeight(s.LineHeight, s.FontSizePx);
    const bool disagrees = now < FIgnoreLineHeightSyncUntil && !FLastAppliedLineHeight.empty() &&
                           !SameTextAscii(l, FLastAppliedLineHeight);
    if (!disagrees) {
        if (!FLastAppliedLineHeight.empty() && SameTextAscii(l, FLastAppliedLineHeight))
            FIgnoreLineHeightSyncUntil = 0;
        if (!l.empty())
            v.LineHeight = l;
    }
    return v;
}

} // namespace qm
