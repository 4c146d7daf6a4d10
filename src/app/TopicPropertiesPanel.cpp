#include "TopicPropertiesPanel.h"

#include "i18n/Translation.h"
#include "model/DocModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qm::app {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
QString T(const char* s) {
    return Q(Translate(s));
}

template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

TTopicPropertiesPanel::TTopicPropertiesPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlTopicProperties"));
    lbKeywords = new QLabel;
    memKeywords = Named(new QPlainTextEdit, "memKeywords");
    lbIndex = new QLabel;
    memIndex = Named(new QPlainTextEdit, "memIndex");
    for (QPlainTextEdit* m : {memKeywords, memIndex})
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lbKeywords->setBuddy(memKeywords);
    lbIndex->setBuddy(memIndex);
    chkExcludeWeb = Named(new QCheckBox, "chkExcludeWeb");
    chkExcludeChm = Named(new QCheckBox, "chkExcludeChm");
    chkExcludePdf = Named(new QCheckBox, "chkExcludePdf");
    btnApplyProps = Named(new QPushButton, "btnApplyProps");
    lbStyle = new QLabel;
    cbStyle = Named(new QComboBox, "cbStyle");
    lbStyle->setBuddy(cbStyle);
    lbTopicId = new QLabel;
    edTopicId = Named(new QLineEdit, "edTopicId");
    lbPageFile = new QLabel;
    edPageFile = Named(new QLineEdit, "edPageFile");
    // Shown to be copied into links written by hand, never edited here.
    for (QLineEdit* e : {edTopicId, edPageFile})
        e->setReadOnly(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbKeywords);
    layout->addWidget(memKeywords, 1);
    layout->addWidget(lbIndex);
    layout->addWidget(memIndex, 1);
    layout->addWidget(chkExcludeWeb);
    layout->addWidget(chkExcludeChm);
    layout->addWidget(chkExcludePdf);
    layout->addWidget(btnApplyProps, 0, Qt::AlignRight);
    layout->addSpacing(8);
    layout->addWidget(lbStyle);
    layout->addWidget(cbStyle);
    layout->addSpacing(8);
    layout->addWidget(lbTopicId);
    layout->addWidget(edTopicId);
    layout->addWidget(lbPageFile);
    layout->addWidget(edPageFile);

    connect(btnApplyProps, &QPushButton::clicked, this, &TTopicPropertiesPanel::ApplyRequested);
    connect(cbStyle, &QComboBox::activated, this,
            [this](int) { emit StyleProfileChosen(cbStyle->currentText().toStdString()); });
    ApplyCaptions();
}

void TTopicPropertiesPanel::ApplyCaptions() {
    lbKeywords->setText(T("Keywords (one per line)"));
    lbIndex->setText(T("Index entries (one per line)"));
    chkExcludeWeb->setText(T("Exclude from WebHelp"));
    chkExcludeChm->setText(T("Exclude from CHM"));
    chkExcludePdf->setText(T("Exclude from PDF"));
    btnApplyProps->setText(T("Apply"));
    lbStyle->setText(T("Style profile"));
    lbTopicId->setText(T("Topic ID:"));
    lbPageFile->setText(T("Page file:"));
}

void TTopicPropertiesPanel::ShowTopic(const TDocProject& project, const std::string& id) {
    const TTopic* topic = id.empty() ? nullptr : project.Topics.Find(id);
    const TTopicProperties p = topic != nullptr ? PropertiesOf(*topic) : TTopicProperties();
    memKeywords->setPlainText(Q(p.KeywordLines));
    memIndex->setPlainText(Q(p.IndexLines));
    chkExcludeWeb->setChecked(p.ExcludeWeb);
    chkExcludeChm->setChecked(p.ExcludeChm);
    chkExcludePdf->setChecked(p.ExcludePdf);
    edTopicId->setText(topic != nullptr ? Q(topic->ID) : QString());
    edPageFile->setText(topic != nullptr ? Q(project.TopicHtmlPath(topic->ID)) : QString());
    for (QLineEdit* e : {edTopicId, edPageFile}) {
        // A long path shows its start; the whole of it is in the tip.
        e->setCursorPosition(0);
        e->setToolTip(e->text());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{memKeywords, memIndex, chkExcludeWeb,
                                                      chkExcludeChm, chkExcludePdf})
        w->setEnabled(topic != nullptr);
}

void TTopicPropertiesPanel::ShowStyleProfiles(const std::vector<std::string>& names,
                                              const std::string& current) {
    const QSignalBlocker block(cbStyle);
    cbStyle->clear();
    for (const std::string& n : names)
        cbStyle->addItem(Q(n));
    const int at = cbStyle->findText(Q(current), Qt::MatchFixedString);
    cbStyle->setCurrentIndex(at >= 0 ? at : 0);
}

TTopicProperties TTopicPropertiesPanel::Properties() const {
    return {memKeywords->toPlainText().toStdString(), memIndex->toPlainText().toStdString(),
            chkExcludeWeb->isChecked(), chkExcludeChm->isChecked(), chkExcludePdf->isChecked()};
}

} // namespace qm::app
