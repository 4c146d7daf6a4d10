#include "ProjectSearchPanel.h"

#include "SearchHitDelegate.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm::app {

namespace {
QString T(const char* s) {
    return QString::fromStdString(Translate(s));
}
// Long enough that a search does not run for every letter typed.
constexpr int kTypingPauseMs = 300;
} // namespace

TProjectSearchPanel::TProjectSearchPanel(TSearch search, QWidget* parent)
    : QWidget(parent), FSearch(std::move(search)), FField(new QLineEdit), FSummary(new QLabel),
      FResults(new QTreeWidget), FDelay(new QTimer(this)) {
    setObjectName(QStringLiteral("ProjectSearch"));
    FField->setObjectName(QStringLiteral("edProjectSearch"));
    FField->setClearButtonEnabled(true);
    FResults->setObjectName(QStringLiteral("lvProjectSearchHits"));
    FResults->setColumnCount(2);
    FResults->setRootIsDecorated(false);
    FResults->setUniformRowHeights(true);
    FResults->setAlternatingRowColors(true);
    FResults->header()->setStretchLastSection(true);
    FResults->setColumnWidth(0, 260);
    FResults->setItemDelegateForColumn(1, new TSearchHitDelegate(FResults));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(FField);
    layout->addWidget(FSummary);
    layout->addWidget(FResults, 1);

    FDelay->setSingleShot(true);
    FDelay->setInterval(kTypingPauseMs);
    connect(FDelay, &QTimer::timeout, this, [this] { Run(); });
    connect(FField, &QLineEdit::textEdited, this, [this] { FDelay->start(); });
    connect(FField, &QLineEdit::returnPressed, this, [this] { Run(); });
    connect(FResults, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        emit TopicChosen(item->data(0, Qt::UserRole).toString().toStdString(), FField->text());
    });
    ApplyCaptions();
}

void TProjectSearchPanel::Focus() {
    FField->setFocus();
    FField->selectAll();
}

void TProjectSearchPanel::ApplyCaptions() {
    FField->setPlaceholderText(T("Find in all topics"));
    FResults->setHeaderLabels({T("Topic"), T("Text")});
    if (FLastCount == 1)
        FSummary->setText(T("1 topic found"));
    else if (FLastCount >= 0)
        FSummary->setText(QString::fromStdString(
            FormatS(Translate("%s topics found"), std::to_string(FLastCount))));
}

QString TProjectSearchPanel::Summary() const {
    return FSummary->text();
}

void TProjectSearchPanel::Run() {
    FDelay->stop();
    FResults->clear();
    const std::string query = FField->text().toStdString();
    if (TrimCtl(query).empty()) {
        FLastCount = -1;
        FSummary->clear();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const std::vector<TProjectSearchHit> hits = FSearch(query);
    FLastMs = clock.elapsed();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(hits.size()));
    for (const TProjectSearchHit& hit : hits) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(hit.ContentsPath));
        item->setToolTip(0, QString::fromStdString(hit.ContentsPath));
        item->setData(0, Qt::UserRole, QString::fromStdString(hit.TopicID));
        item->setText(1, QString::fromStdString(hit.Snippet));
        item->setToolTip(1, QString::fromStdString(hit.Snippet));
        if (hit.SnippetMatchLength > 0 &&
            hit.SnippetMatchStart + hit.SnippetMatchLength <= hit.Snippet.size()) {
            const std::string_view snippet(hit.Snippet);
            const auto units = [&](size_t bytes) {
                return static_cast<int>(
                    QString::fromUtf8(snippet.data(), static_cast<qsizetype>(bytes)).size());
            };
            const int start = units(hit.SnippetMatchStart);
            item->setData(1, TSearchHitDelegate::kMatchStartRole, start);
            item->setData(1, TSearchHitDelegate::kMatchLengthRole,
                          units(hit.SnippetMatchStart + hit.SnippetMatchLength) - start);
        }
        items.push_back(item);
    }
    FResults->addTopLevelItems(items);
    FLastCount = static_cast<int>(hits.size());
    ApplyCaptions();
    if (hits.empty())
        FSummary->setText(T("No topic contains this text"));
}

} // namespace qm::app
