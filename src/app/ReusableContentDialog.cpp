#include "ReusableContentDialog.h"

#include "base/StringUtil.h"
#include "i18n/Translation.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qm::app {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString T(const char* s) {
    return Q(Translate(s));
}

const std::vector<const char*> kVariablesHelp = {
    "Variables let you define text once and reuse it in many topics. ",
    "Use exactly this token form in text: {var:VariableName}. ",
    "Example row: Name = ProductName, Value = Brightnote. ",
    "On export, every {var:ProductName} token is replaced with Brightnote. ",
    "After changing the value here, export again and all variable tokens use the new value.",
};
const std::vector<const char*> kSnippetsHelp = {
    "Snippets let you store reusable HTML once and reuse it in many topics. ",
    "Use exactly this token form in text: {snip:SnippetName}. ",
    "Example row: Name = SupportNote, HTML = <p>Questions? Write to "
    "<b>support@example.com</b>.</p>. ",
    "On export, every {snip:SupportNote} token is replaced with that HTML. ",
    "Snippet HTML may also contain {var:ProductName}, {snip:OtherSnippet}, or "
    "{begincond:ProEdition}...{endcond}.",
};
const std::vector<const char*> kConditionsHelp = {
    "Conditions are ON/OFF switches for normal editor text. ",
    "Put {begincond:ConditionName} before the content and {endcond} after it. ",
    "Example row: Name = ProEdition, Enabled = false.",
    "And we write in editor: {begincond:ProEdition}This paragraph appears only in Pro builds. "
    "{endcond}",
    "If value in second column (Enabled) is true, yes, 1, or on, the content between the "
    "tokens is exported. ",
    "If value in second column (Enabled) is false, no, 0, off, or empty, that content is "
    "removed.",
};

std::vector<TContentRow> GridRows(const QTableWidget* grid) {
    std::vector<TContentRow> rows;
    const auto text = [grid](int r, int c) {
        const QTableWidgetItem* item = grid->item(r, c);
        return item != nullptr ? item->text().toStdString() : std::string();
    };
    for (int r = 0; r < grid->rowCount(); ++r)
        rows.push_back({text(r, 0), text(r, 1)});
    return rows;
}

} // namespace

TfrmReusableContent::TfrmReusableContent(const TContentRows& rows, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmReusableContent"));
    setWindowTitle(T("Variables, snippets and conditions"));
    setSizeGripEnabled(true);

    Pages = new QTabWidget;
    Pages->setObjectName(QStringLiteral("Pages"));
    FVars = AddTab("gridVariables", "Variables", "Value", true, kVariablesHelp, rows.Variables);
    FSnips = AddTab("gridSnippets", "Snippets", "HTML", false, kSnippetsHelp, rows.Snippets);
    FConds =
        AddTab("gridConditions", "Conditions", "Enabled", true, kConditionsHelp, rows.Conditions);
    Pages->setCurrentIndex(0);

    auto button = [this](const char* name, const char* caption, int result) {
        auto* b = new QPushButton(T(caption));
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        if (result != 0)
            connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    BtnInsVar = button("btnInsertVariable", "Insert variable", rrInsertVariable);
    BtnInsSnip = button("btnInsertSnippet", "Insert snippet", rrInsertSnippet);
    BtnInsCondBegin =
        button("btnInsertBeginCondition", "Insert begin condition", rrInsertBeginCondition);
    BtnInsCondEnd = button("btnInsertEndCondition", "Insert end condition", rrInsertEndCondition);
    QPushButton* save = button("btnSave", "Save", 0);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* cancel = button("btnCancel", "Cancel", 0);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    for (QPushButton* b : {save, cancel})
        b->setMinimumWidth(96);

    auto* inserts = new QHBoxLayout;
    for (QPushButton* b : {BtnInsVar, BtnInsSnip, BtnInsCondBegin, BtnInsCondEnd})
        inserts->addWidget(b);
    inserts->addStretch(1);
    auto* closers = new QHBoxLayout;
    closers->addStretch(1);
    closers->addWidget(save);
    closers->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages, 1);
    layout->addLayout(inserts);
    layout->addLayout(closers);

    connect(Pages, &QTabWidget::currentChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();

    QSize size(1100, 760);
    if (const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        size = QSize(std::min(std::max(1100, area.width() * 55 / 100), area.width()),
                     std::min(std::max(760, area.height() * 3 / 4), area.height()));
    }
    setMinimumSize(std::min(820, size.width()), std::min(560, size.height()));
    resize(size);
}

QTableWidget* TfrmReusableContent::AddTab(const char* name, const char* caption,
                                          const char* valueHeader, bool translateValueHeader,
                                          const std::vector<const char*>& help,
                                          const std::vector<TContentRow>& rows) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    QStringList lines;
    for (const char* line : help)
        lines << T(line);
    auto* label = new QLabel(lines.join(QStringLiteral("\n")));
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Help"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);

    auto* grid = new QTableWidget(ReusableGridRowCount(rows.size()) - 1, 2);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setHorizontalHeaderLabels(
        {T("Name"), translateValueHeader ? T(valueHeader) : QString::fromLatin1(valueHeader)});
    grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setTabKeyNavigation(true);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(std::max(26, grid->fontMetrics().height() + 10));
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->setColumnWidth(0, 190);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)].Name)));
        grid->setItem(r, 1, new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)].Value)));
    }
    layout->addWidget(grid, 1);
    Pages->addTab(page, T(caption));
    return grid;
}

void TfrmReusableContent::UpdateButtons() {
    const int page = Pages->currentIndex();
    BtnInsVar->setEnabled(page == 0);
    BtnInsSnip->setEnabled(page == 1);
    BtnInsCondBegin->setEnabled(page == 2);
    BtnInsCondEnd->setEnabled(page == 2);
}

TContentRows TfrmReusableContent::Rows() const {
    return {GridRows(FVars), GridRows(FSnips), GridRows(FConds)};
}

std::string TfrmReusableContent::NameForInsert(int result) const {
    const QTableWidget* grid = result == rrInsertVariable  ? FVars
                               : result == rrInsertSnippet ? FSnips
                                                           : FConds;
    const int row = std::max(grid->currentRow(), 0);
    const QTableWidgetItem* item = grid->item(row, 0);
    return item != nullptr ? TrimCtl(item->text().toStdString()) : std::string();
}

} // namespace qm::app
