#pragma once
// What the formatting toolbar shows at the caret. The page reports the
// formatting at the caret as the author moves; right after the author chose a
// value (bold, a size, a colour) the page has not applied it yet, and a
// report in between must not flip the control back. Each such value opens a
// short window in which disagreeing reports leave that control alone.
#include "editor/EditorProtocol.h"
#include "settings/Color.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qm {

inline constexpr std::int64_t kStyleSyncWindowMs = 350;
inline constexpr std::int64_t kValueSyncWindowMs = 700;
inline constexpr std::int64_t kSettingsSyncWindowMs = 1200;

enum class TAlignButton { Left, Center, Right, None };

// The controls a caret report changes; an empty member leaves its control as it is.
struct TToolbarView {
    std::string Area;
    std::optional<bool> Bold, Italic, Underline, BulletList, NumberedList;
    int Heading = 0; // 0 standard text, 1..3 for h1..h3
    std::optional<std::string> FontName;
    std::optional<int> FontSizePx;
    std::optional<TColor> TextColor;
    TAlignButton Align = TAlignButton::Left;
    std::optional<std::string> LineHeight;
};

class TToolbarSync {
public:
    // Milliseconds of a monotonic clock; tests pass a clock of their own.
    using TClock = std::function<std::int64_t()>;
    explicit TToolbarSync(TClock clock) : FClock(std::move(clock)) {}

    // The author's choices, as they are sent.
    void StyleCommandSent(); // bold, italic, underline, lists
    void FontSizeSent(int px, std::int64_t windowMs = kValueSyncWindowMs);
    void LineHeightSent(const std::string& text, std::int64_t windowMs = kValueSyncWindowMs);
    void TextColorSent(const std::string& colorHtml, std::int64_t windowMs = kValueSyncWindowMs);
    void FontNameSent(const std::string& name, std::int64_t windowMs = kValueSyncWindowMs);

    // The controls for a caret report; currentColor is what the colour box shows.
    [[nodiscard]] TToolbarView Report(const TEditorCursorStyle& s, TColor currentColor);

private:
    TClock FClock;
    std::int64_t FIgnoreStyleSyncUntil = 0;
    int FLastAppliedFontSize = 0;
    std::int64_t FIgnoreFontSizeSyncUntil = 0;
    std::string FLastAppliedLineHeight;
    std::int64_t FIgnoreLineHeightSyncUntil = 0;
    std::string FLastAppliedTextColor;
    std::int64_t FIgnoreTextColorSyncUntil = 0;
    std::string FLastAppliedFontName;
    std::int64_t FIgnoreFontNameSyncUntil = 0;
};

} // namespace qm
