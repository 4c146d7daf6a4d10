#include "PickTopicDialog.h"

#include "i18n/Translation.h"
#include "model/ContentsWalk.h"
#include "model/DocModel.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qm::app {

namespace {
constexpr int kIdRole = Qt::UserRole + 1;
}

TfrmPickTopic::TfrmPickTopic(QWidget* parent, const TDocProject& project) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPickTopic"));
    setWindowTitle(QString::fromStdString(Translate("Select Topic")));
    resize(414, 411);
    auto* layout = new QVBoxLayout(this);
    tvPick = new QTreeWidget;
    tvPick->setObjectName(QStringLiteral("tvPick"));
    tvPick->setHeaderHidden(true);
    tvPick->setIndentation(19);
    layout->addWidget(tvPick, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromStdString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromStdString(Translate("Cancel")));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmPickTopic::btnOKClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Unlike a contents tree, a double click here means "this one".
    connect(tvPick, &QTreeWidget::itemActivated, this, [this] { btnOKClick(); });
    FillTree(project);
}

void TfrmPickTopic::FillTree(const TDocProject& project) {
    tvPick->clear();
    std::vector<QTreeWidgetItem*> lastAt;
    for (const TContentsEntry& e : WalkContents(project).Entries) {
        const auto depth = static_cast<size_t>(e.Depth);
        lastAt.resize(depth + 1);
        auto* item =
            depth == 0 ? new QTreeWidgetItem(tvPick) : new QTreeWidgetItem(lastAt[depth - 1]);
        item->setText(0, QString::fromStdString(e.Topic->Title));
        item->setData(0, kIdRole, QString::fromStdString(e.Topic->ID));
        lastAt[depth] = item;
    }
    tvPick->expandAll();
    if (tvPick->topLevelItemCount() > 0) {
        tvPick->setCurrentItem(tvPick->topLevelItem(0));
        tvPick->scrollToItem(tvPick->topLevelItem(0));
    }
}

void TfrmPickTopic::btnOKClick() {
    FSelectedID.clear();
    if (const QTreeWidgetItem* item = tvPick->currentItem())
        FSelectedID = item->data(0, kIdRole).toString().toStdString();
    if (FSelectedID.empty())
        reject();
    else
        accept();
}

std::optional<std::string> TfrmPickTopic::Execute(QWidget* parent, const TDocProject& project) {
    TfrmPickTopic dlg(parent, project);
    if (dlg.exec() != QDialog::Accepted || dlg.SelectedID().empty())
        return std::nullopt;
    return dlg.SelectedID();
}

} // namespace qm::app
