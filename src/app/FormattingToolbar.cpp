#include "FormattingToolbar.h"

#include "Icons.h"
#include "base/StringUtil.h"
#include "editor/ToolbarValues.h"
#include "i18n/Translation.h"
#include "settings/ProjectSettings.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace qm::app {

namespace {
constexpr int kButtonSize = 30;
constexpr int kIconSize = 20;
constexpr int kRowPadding = 6;
const char* const kFontSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18", "20", "22",
                                  "24", "26", "28", "32", "36", "40", "48", "60", "72"};
const char* const kLineSpacings[] = {"1.0", "1.15", "1.2", "1.5", "2.0"};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QColor ToQColor(TColor c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& c) {
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) |
           (static_cast<TColor>(c.blue()) << 16);
}

// A box's text, or the entry with that caption (ignoring case) selected.
void ShowInBox(QComboBox* box, const QString& text) {
    const int i = box->findText(text, Qt::MatchFixedString);
    if (i >= 0)
        box->setCurrentIndex(i);
    if (box->isEditable())
        box->setEditText(text);
}

// Left alone while the author works in it.
bool Busy(const QComboBox* box, bool alsoWhileOpen) {
    return box->hasFocus() || (box->lineEdit() != nullptr && box->lineEdit()->hasFocus()) ||
           (alsoWhileOpen && box->view()->isVisible());
}
} // namespace

TFormattingToolbar::TFormattingToolbar(QWidget* row1, QWidget* row2, THooks hooks)
    : QObject(row1), FRow1(row1), FRow2(row2), FHooks(std::move(hooks)), FSync(FHooks.Clock) {
    const auto single = [this](QWidget* w) { FGroups.push_back({w}); };
    btnBold = MakeButton("btnBold", "format-bold", "Bold", true);
    btnItalic = MakeButton("btnItalic", "format-italic", "Italic", true);
    btnUnderline = MakeButton("btnUnderline", "format-underline", "Underline", true);
    for (QWidget* w : {static_cast<QWidget*>(btnBold), static_cast<QWidget*>(btnItalic),
                       static_cast<QWidget*>(btnUnderline), MakeSeparator()})
        single(w);
    btnUL = MakeButton("btnUL", "list-bullet", "Bullet List", true);
    btnOL = MakeButton("btnOL", "list-numbered", "Numeric List", true);
    single(btnUL);
    single(btnOL);
    single(MakeSeparator());
    btnAlignLeft = MakeButton("btnAlignLeft", "align-left", "Left Align", true);
    btnAlignCenter = MakeButton("btnAlignCenter", "align-center", "Center Align", true);
    btnAlignRight = MakeButton("btnAlignRight", "align-right", "Right Align", true);
    btnAlignLeft->setChecked(true);
    single(btnAlignLeft);
    single(btnAlignCenter);
    single(btnAlignRight);
    single(MakeSeparator());
    QToolButton* btnLink = MakeButton("btnLink", "insert-link", "Create Link...", false);
    QToolButton* btnTopicLink =
        MakeButton("btnTopicLink", "insert-topic-link", "Create Topic Link...", false);
    QToolButton* btnImage = MakeButton("btnImage", "insert-image", "Add Image...", false);
    QToolButton* btnReplaceImage =
        MakeButton("btnReplaceImage", "replace-image", "Replace Image...", false);
    QToolButton* btnInsertTable =
        MakeButton("btnInsertTable", "insert-table", "Add Table...", false);
    btnTableDropdownMenu = MakeButton("btnTableDropdownMenu", "table-menu", nullptr, false);
    btnTableDropdownMenu->setFixedWidth(18);
    QToolButton* btnImportHTML = MakeButton("btnImportHTML", "import-html", "Add HTML...", false);
    for (QToolButton* b : {btnLink, btnTopicLink, btnImage, btnReplaceImage, btnInsertTable,
                           btnTableDropdownMenu, btnImportHTML})
        single(b);
    single(MakeSeparator());

    QWidget* spacingIcon = MakeIcon("line-spacing", "Line Spacing");
    cmbLineSpacing = MakeBox("cmbLineSpacing", 60, true);
    for (const char* s : kLineSpacings)
        cmbLineSpacing->addItem(QString::fromLatin1(s));
    cmbLineSpacing->setCurrentIndex(3);
    QWidget* colorIcon = MakeIcon("font-color", "Font Color");
    cbTextColor = new QToolButton(FRow1);
    cbTextColor->setObjectName(QStringLiteral("cbTextColor"));
    cbTextColor->setFixedSize(40, kButtonSize - 4);
    cbTextColor->setIconSize(QSize(24, 14));
    SetColorSwatch(0);
    QWidget* headingIcon = MakeIcon("text-heading", "Text Heading");
    cmbHeading = MakeBox("cmbHeading", 112, false);
    QWidget* fontIcon = MakeIcon("font-name", "Font Name");
    cmbTextFont = MakeBox("cmbTextFont", 150, false);
    QStringList families = QFontDatabase::families();
    std::sort(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    families.erase(std::unique(families.begin(), families.end(),
                               [](const QString& a, const QString& b) {
                                   return QString::compare(a, b, Qt::CaseInsensitive) == 0;
                               }),
                   families.end());
    cmbTextFont->addItems(families);
    QWidget* sizeIcon = MakeIcon("font-size", "Font Size");
    cmbFontSize = MakeBox("cmbFontSize", 58, true);
    FillFontSizes();
    FGroups.push_back({spacingIcon, cmbLineSpacing});
    FGroups.push_back({colorIcon, cbTextColor});
    FGroups.push_back({headingIcon, cmbHeading});
    FGroups.push_back({fontIcon, cmbTextFont});
    FGroups.push_back({sizeIcon, cmbFontSize});
    for (const auto& g : FGroups)
        FItems.insert(FItems.end(), g.begin(), g.end());
    ApplyCaptions();

    connect(btnBold, &QToolButton::clicked, this, [this] { Style("bold"); });
    connect(btnItalic, &QToolButton::clicked, this, [this] { Style("italic"); });
    connect(btnUnderline, &QToolButton::clicked, this, [this] { Style("underline"); });
    // At most one list button is down; a click on the down one raises it.
    connect(btnUL, &QToolButton::clicked, this, [this](bool down) {
        if (down)
            btnOL->setChecked(false);
        Style("ul");
    });
    connect(btnOL, &QToolButton::clicked, this, [this](bool down) {
        if (down)
            btnUL->setChecked(false);
        Style("ol");
    });
    connect(btnAlignLeft, &QToolButton::clicked, this, [this] { Align(0); });
    connect(btnAlignCenter, &QToolButton::clicked, this, [this] { Align(1); });
    connect(btnAlignRight, &QToolButton::clicked, this, [this] { Align(2); });
    connect(btnLink, &QToolButton::clicked, this, &TFormattingToolbar::LinkRequested);
    connect(btnTopicLink, &QToolButton::clicked, this, &TFormattingToolbar::TopicLinkRequested);
    connect(btnImage, &QToolButton::clicked, this, [this] { emit ImageRequested(false); });
    connect(btnReplaceImage, &QToolButton::clicked, this, [this] { emit ImageRequested(true); });
    connect(btnInsertTable, &QToolButton::clicked, this, &TFormattingToolbar::TableRequested);
    connect(btnTableDropdownMenu, &QToolButton::clicked, this, &TFormattingToolbar::ShowTableMenu);
    connect(btnImportHTML, &QToolButton::clicked, this, &TFormattingToolbar::ImportHtmlRequested);
    connect(cbTextColor, &QToolButton::clicked, this, &TFormattingToolbar::ShowColorChooser);
    connect(cmbHeading, &QComboBox::currentIndexChanged, this, &TFormattingToolbar::HeadingChanged);
    connect(cmbTextFont, &QComboBox::currentIndexChanged, this, &TFormattingToolbar::FontChanged);
    connect(cmbFontSize, &QComboBox::activated, this, [this] {
        if (Idle() && FHooks.Ready() && cmbFontSize->currentIndex() >= 0)
            ApplyFontSizeFromBox();
    });
    connect(cmbLineSpacing, &QComboBox::activated, this, [this] {
        if (Idle() && FHooks.Ready() && cmbLineSpacing->currentIndex() >= 0)
            ApplyLineSpacingFromBox();
    });
}

QToolButton* TFormattingToolbar::MakeButton(const char* name, const char* icon, const char* hint,
                                            bool checkable) {
    auto* b = new QToolButton(FRow1);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoRaise(true);
    b->setCheckable(checkable);
    b->setFixedSize(kButtonSize, kButtonSize);
    b->setIconSize(QSize(kIconSize, kIconSize));
    b->setFocusPolicy(Qt::NoFocus); // the caret stays in the page
    FIcons.emplace_back(b, icon);
    if (hint != nullptr)
        FHints.emplace_back(b, hint);
    return b;
}

QWidget* TFormattingToolbar::MakeSeparator() {
    auto* line = new QFrame(FRow1);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedSize(9, 22);
    line->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return line;
}

QWidget* TFormattingToolbar::MakeIcon(const char* icon, const char* hint) {
    auto* b = new QToolButton(FRow1);
    b->setAutoRaise(true);
    b->setEnabled(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAttribute(Qt::WA_TransparentForMouseEvents);
    b->setFixedSize(24, kButtonSize);
    b->setIconSize(QSize(kIconSize, kIconSize));
    FIcons.emplace_back(b, icon);
    FHints.emplace_back(b, hint);
    return b;
}

QComboBox* TFormattingToolbar::MakeBox(const char* name, int width, bool editable) {
    auto* box = new QComboBox(FRow1);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(20);
    box->setFixedWidth(width);
    if (editable) {
        box->setCompleter(nullptr); // no completion while typing a size
        box->lineEdit()->installEventFilter(this);
    }
    box->installEventFilter(this);
    return box;
}

void TFormattingToolbar::FillFontSizes() {
    const bool was = FUpdatingUi;
    FUpdatingUi = true;
    cmbFontSize->clear();
    for (const char* s : kFontSizes)
        cmbFontSize->addItem(QString::fromLatin1(s));
    cmbFontSize->setCurrentIndex(5); // "14"
    cmbFontSize->setEditText(QStringLiteral("14"));
    FUpdatingUi = was;
}

void TFormattingToolbar::ApplyCaptions() {
    const bool was = FUpdatingUi;
    FUpdatingUi = true;
    const int heading = std::max(cmbHeading->currentIndex(), 0);
    cmbHeading->clear();
    cmbHeading->addItems({Q(Translate("Standard text")), QStringLiteral("H1"), QStringLiteral("H2"),
                          QStringLiteral("H3")});
    cmbHeading->setCurrentIndex(heading);
    FUpdatingUi = was;
    for (const auto& [w, hint] : FHints)
        w->setToolTip(Q(Translate(hint)));
}

void TFormattingToolbar::SetIconPalette(const QPalette& palette) {
    for (const auto& [b, icon] : FIcons)
        b->setIcon(ThemedIcon(QString::fromLatin1(icon), palette));
}

bool TFormattingToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    // Enter applies the typed value; the box never sees the key, so it does
    // not also pick a list entry (and nothing beeps).
    const bool size = watched == cmbFontSize || watched == cmbFontSize->lineEdit();
    const bool spacing = watched == cmbLineSpacing || watched == cmbLineSpacing->lineEdit();
    if (!size && !spacing)
        return false;
    if (Idle() && FHooks.Ready()) {
        if (size)
            ApplyFontSizeFromBox();
        else
            ApplyLineSpacingFromBox();
    }
    return true;
}

void TFormattingToolbar::Style(const char* cmd) {
    if (!FHooks.Ready())
        return;
    FSync.StyleCommandSent();
    FHooks.Exec(cmd, "");
    FHooks.Focus();
}

void TFormattingToolbar::Align(int which) {
    QToolButton* buttons[] = {btnAlignLeft, btnAlignCenter, btnAlignRight};
    if (!Idle() || !FHooks.Ready()) {
        // A click that sends nothing must not leave two buttons down.
        buttons[which]->setChecked(!buttons[which]->isChecked());
        return;
    }
    for (int i = 0; i < 3; ++i)
        buttons[i]->setChecked(i == which);
    static const char* const kArgs[] = {"left", "center", "right"};
    FHooks.Exec("align", kArgs[which]);
    FHooks.Focus();
}

void TFormattingToolbar::HeadingChanged(int index) {
    if (!Idle() || !FHooks.Ready() || index < 0)
        return;
    const TProjectSettings& s = FHooks.Settings();
    static const char* const kTags[] = {"p", "h1", "h2", "h3"};
    const int sizes[] = {s.FontSizeBody, s.FontSizeH1, s.FontSizeH2, s.FontSizeH3};
    const int i = std::min(index, 3);
    FHooks.Exec(kTags[i], "");
    FUpdatingUi = true;
    ShowInBox(cmbFontSize, QString::number(sizes[i]));
    FUpdatingUi = false;
    FSync.FontSizeSent(sizes[i]);
    FHooks.Exec("fontSizePx", std::to_string(sizes[i]));
    FHooks.Focus();
}

void TFormattingToolbar::FontChanged(int index) {
    if (!Idle() || !FHooks.Ready() || index < 0)
        return;
    const std::string name = TrimCtl(cmbTextFont->itemText(index).toStdString());
    if (name.empty())
        return;
    FillFontSizes();
    FSync.FontNameSent(name);
    FHooks.Exec("fontName", name);
    FHooks.Focus();
}

void TFormattingToolbar::ApplyFontSizeFromBox() {
    const std::optional<int> px = FontSizeFromBox(cmbFontSize->currentText().toStdString());
    if (!px)
        return;
    FSync.FontSizeSent(*px);
    FHooks.Exec("fontSizePx", std::to_string(*px));
    FHooks.Focus();
}

void TFormattingToolbar::ApplyLineSpacingFromBox() {
    const std::string text = TrimCtl(cmbLineSpacing->currentText().toStdString());
    const std::string selected =
        cmbLineSpacing->currentIndex() >= 0
            ? cmbLineSpacing->itemText(cmbLineSpacing->currentIndex()).toStdString()
            : std::string();
    const std::optional<double> x = LineSpacingFromBox(text, selected);
    if (!x)
        return;
    FSync.LineHeightSent(text.empty() ? TrimCtl(selected) : text);
    FHooks.Exec("lineHeight", LineSpacingArg(std::max(*x, 1.0)));
    FHooks.Focus();
}

void TFormattingToolbar::ShowTableMenu() {
    QMenu menu;
    static const std::pair<const char*, const char*> kItems[] = {
        {"Insert Row", "insertTableRowAfter"},
        {"Remove Row", "removeTableRow"},
        {"Insert Column", "insertTableColumnAfter"},
        {"Remove Column", "removeTableColumn"}};
    for (const auto& [caption, cmd] : kItems) {
        const std::string c = cmd;
        menu.addAction(Q(Translate(caption)), this, [this, c] { emit TableCommandRequested(c); });
    }
    menu.exec(btnTableDropdownMenu->mapToGlobal(QPoint(0, btnTableDropdownMenu->height())));
}

void TFormattingToolbar::ShowColorChooser() {
    const QColor c = QColorDialog::getColor(ToQColor(FTextColor), cbTextColor->window(),
                                            Q(Translate("Font Color")));
    if (c.isValid())
        ChooseTextColor(FromQColor(c));
}

void TFormattingToolbar::ChooseTextColor(TColor color) {
    SetColorSwatch(color);
    if (!Idle() || !FHooks.Ready())
        return;
    const std::string html = ColorToHtml(color);
    FSync.TextColorSent(html);
    FHooks.Exec("foreColor", html);
    FHooks.Focus();
}

void TFormattingToolbar::SetColorSwatch(TColor color) {
    FTextColor = color;
    QPixmap swatch(24, 14);
    swatch.fill(ToQColor(color));
    {
        QPainter p(&swatch);
        p.setPen(QColor(0, 0, 0, 90));
        p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    }
    cbTextColor->setIcon(QIcon(swatch));
    cbTextColor->setToolTip(QString::fromStdString(ColorToHtml(color)));
}

void TFormattingToolbar::SettingsPushed(const TProjectSettings& s) {
    FSync.FontSizeSent(s.FontSizeBody, kSettingsSyncWindowMs);
    FSync.LineHeightSent(FormatShortestDouble(s.DefaultLineSpacing), kSettingsSyncWindowMs);
    FSync.TextColorSent(ColorToHtml(s.DefaultTextColor), kSettingsSyncWindowMs);
    FSync.FontNameSent(s.DefaultFontName, kSettingsSyncWindowMs);
}

void TFormattingToolbar::HandleEditorCursorStyle(const TEditorCursorStyle& style) {
    if (FUpdatingUi)
        return;
    FUpdatingUi = true;
    struct TClear {
        bool& Flag;
        ~TClear() { Flag = false; }
    } clear{FUpdatingUi};
    const TToolbarView v = FSync.Report(style, FTextColor);
    const auto set = [](QToolButton* b, const std::optional<bool>& down) {
        if (down)
            b->setChecked(*down);
    };
    set(btnBold, v.Bold);
    set(btnItalic, v.Italic);
    set(btnUnderline, v.Underline);
    set(btnUL, v.BulletList);
    set(btnOL, v.NumberedList);
    if (!Busy(cmbHeading, false))
        cmbHeading->setCurrentIndex(v.Heading);
    if (v.FontName && !Busy(cmbTextFont, true)) {
        const int i = cmbTextFont->findText(Q(*v.FontName), Qt::MatchFixedString);
        if (i >= 0)
            cmbTextFont->setCurrentIndex(i);
    }
    if (v.FontSizePx && !Busy(cmbFontSize, false))
        ShowInBox(cmbFontSize, QString::number(*v.FontSizePx));
    if (v.TextColor && !cbTextColor->isDown())
        SetColorSwatch(*v.TextColor);
    btnAlignLeft->setChecked(v.Align == TAlignButton::Left);
    btnAlignCenter->setChecked(v.Align == TAlignButton::Center);
    btnAlignRight->setChecked(v.Align == TAlignButton::Right);
    if (v.LineHeight && !Busy(cmbLineSpacing, false))
        ShowInBox(cmbLineSpacing, Q(*v.LineHeight));
}

void TFormattingToolbar::Arrange() {
    const int available =
        (FRow1->parentWidget() != nullptr ? FRow1->parentWidget()->width() : FRow1->width()) -
        2 * kRowPadding;
    if (available <= 0)
        return;
    const auto width = [](const QWidget* w) { return w->isHidden() ? 0 : w->width(); };
    size_t breakAt = FGroups.size();
    int sum = 0;
    for (size_t g = 0; g < FGroups.size(); ++g) {
        int gw = 0;
        for (const QWidget* w : FGroups[g])
            gw += width(w);
        if (gw == 0)
            continue;
        if (sum > 0 && sum + gw > available) {
            breakAt = g;
            break;
        }
        sum += gw;
    }
    const auto place = [&](QWidget* row, size_t from, size_t to) {
        int x = kRowPadding;
        for (size_t g = from; g < to; ++g)
            for (QWidget* w : FGroups[g]) {
                if (w->parentWidget() != row) {
                    w->setParent(row);
                    w->setVisible(true);
                }
                if (w->isHidden())
                    continue;
                w->move(x, std::max(0, (row->height() - w->height()) / 2));
                x += w->width();
            }
    };
    place(FRow1, 0, breakAt);
    place(FRow2, breakAt, FGroups.size());
    FRow2->setVisible(breakAt < FGroups.size());
}

} // namespace qm::app
