#pragma once
// The editor's formatting toolbar: its buttons and boxes, spread over one or
// two rows by the window's width. Formatting commands go straight to the
// page; the commands that ask the author something (links, images, tables,
// HTML) are signals the window answers. The caret's formatting flows back
// through TToolbarSync, which keeps reports from undoing a fresh choice.
#include "editor/EditorProtocol.h"
#include "editor/ToolbarSync.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QToolButton;
class QWidget;

namespace qm {
class TProjectSettings;
}

namespace qm::app {

class TFormattingToolbar final : public QObject {
    Q_OBJECT
public:
    struct THooks {
        std::function<bool()> Ready;
        std::function<void(const std::string& cmd, const std::string& arg)> Exec;
        std::function<void()> Focus;
        std::function<const TProjectSettings&()> Settings;
        TToolbarSync::TClock Clock;
    };
    // The controls are made inside row1 and move between the rows on Arrange.
    TFormattingToolbar(QWidget* row1, QWidget* row2, THooks hooks);

    // Places the items in the first row, and what does not fit in the second.
    void Arrange();
    void HandleEditorCursorStyle(const TEditorCursorStyle& style);
    // The window pushed the project's settings to the page.
    void SettingsPushed(const TProjectSettings& settings);
    void ApplyCaptions();
    // The colour the author chose in the colour dialog (tests call it too).
    void ChooseTextColor(TColor color);
    void SetIconPalette(const QPalette& palette);

signals:
    void LinkRequested();
    void TopicLinkRequested();
    void ImageRequested(bool replace);
    void TableRequested();
    void TableCommandRequested(const std::string& cmd);
    void ImportHtmlRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* MakeButton(const char* name, const char* icon, const char* hint, bool checkable);
    QWidget* MakeSeparator();
    QWidget* MakeIcon(const char* icon, const char* hint);
    QComboBox* MakeBox(const char* name, int width, bool editable);
    void FillFontSizes();
    void Style(const char* cmd);
    void Align(int which);
    void HeadingChanged(int index);
    void FontChanged(int index);
    void ApplyFontSizeFromBox();
    void ApplyLineSpacingFromBox();
    void ShowTableMenu();
    void ShowColorChooser();
    void SetColorSwatch(TColor color);
    [[nodiscard]] bool Idle() const { return !FUpdatingUi; }

    QWidget* FRow1;
    QWidget* FRow2;
    THooks FHooks;
    TToolbarSync FSync;
    bool FUpdatingUi = false;
    TColor FTextColor = 0;

    QToolButton* btnBold = nullptr;
    QToolButton* btnItalic = nullptr;
    QToolButton* btnUnderline = nullptr;
    QToolButton* btnUL = nullptr;
    QToolButton* btnOL = nullptr;
    QToolButton* btnAlignLeft = nullptr;
    QToolButton* btnAlignCenter = nullptr;
    QToolButton* btnAlignRight = nullptr;
    QToolButton* btnTableDropdownMenu = nullptr;
    QToolButton* cbTextColor = nullptr;
    QComboBox* cmbLineSpacing = nullptr;
    QComboBox* cmbHeading = nullptr;
    QComboBox* cmbTextFont = nullptr;
    QComboBox* cmbFontSize = nullptr;

    std::vector<QWidget*> FItems;               // in toolbar order
    std::vector<std::vector<QWidget*>> FGroups; // never split between rows
    std::vector<std::pair<QWidget*, const char*>> FHints;
    std::vector<std::pair<QToolButton*, const char*>> FIcons;
};

} // namespace qm::app
