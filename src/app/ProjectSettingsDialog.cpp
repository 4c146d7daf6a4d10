#include "ProjectSettingsDialog.h"

#include "ColorBox.h"
#include "Spelling.h"

#include "base/Error.h"
#include "i18n/Translation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
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

void SelectText(QComboBox* box, const std::string& text) {
    box->setCurrentIndex(box->findText(Q(text), Qt::MatchFixedString));
}

QLineEdit* Edit(const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

TColorBox* ColorBox(const char* name) {
    auto* c = new TColorBox;
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QComboBox* List(const char* name, const std::vector<std::string>& words) {
    auto* c = new QComboBox;
    c->setObjectName(QString::fromLatin1(name));
    for (const std::string& w : words)
        c->addItem(Q(w)); // CSS words: the same in every language
    return c;
}

} // namespace

TfrmProjectSettings::TfrmProjectSettings(const TProjectSettings& settings, QWidget* parent)
    : QDialog(parent), FSettings(settings) {
    setObjectName(QStringLiteral("frmProjectSettings"));
    setWindowTitle(T("Project Settings"));
    setSizeGripEnabled(true);

    auto* content = new QWidget;
    FGrid = new QGridLayout(content);
    FGrid->setContentsMargins(12, 12, 12, 20);
    FGrid->setHorizontalSpacing(18);
    FGrid->setColumnMinimumWidth(0, 300);
    FGrid->setColumnStretch(2, 1);

    Section("Project Title");
    edProjTitle = Edit("edProjTitle");
    Row("Title:", edProjTitle, 260);

    Section("Default Font");
    cmbFontName = new QComboBox;
    cmbFontName->setObjectName(QStringLiteral("cmbFontName"));
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    cmbFontName->addItems(families);
    Row("Font title:", cmbFontName, 260);
    cmbBodyFontSize = new QComboBox;
    cmbBodyFontSize->setObjectName(QStringLiteral("cmbBodyFontSize"));
    cmbBodyFontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 32, 36, 40, 48, 60, 72})
        cmbBodyFontSize->addItem(QString::number(size));
    Row("Font size:", cmbBodyFontSize, 90);
    cbTextColor = ColorBox("cbTextColor");
    Row("Font Color:", cbTextColor, 220);
    edLineSpacing = Edit("edLineSpacing");
    Row("Default line interval (e.g. 1.5):", edLineSpacing, 90);

    Section("Background Colors (WebHelp, CHM)");
    cbPageBg = ColorBox("cbPageBg");
    Row("Page background color:", cbPageBg, 220);
    cbHeaderBg = ColorBox("cbHeaderBg");
    Row("Header background color:", cbHeaderBg, 220);

    Section("Content tree appearance");
    cbTocTextColor = ColorBox("cbTocTextColor");
    Row("Tree text color:", cbTocTextColor, 220);
    edTocTextSize = Edit("edTocTextSize");
    Row("Tree text size:", edTocTextSize, 90);

    Section("WebHelp footer");
    chkCopyright = new QCheckBox(T("Enable copyright footer"));
    chkCopyright->setObjectName(QStringLiteral("chkCopyright"));
    FGrid->addWidget(chkCopyright, FRow++, 0, 1, 2);
    edCopyrightText = Edit("edCopyrightText");
    Row("Footer text:", edCopyrightText, 260);

    Section("Link style");
    cbLinkColor = ColorBox("cbLinkColor");
    Row("Link color:", cbLinkColor, 220);
    cmbLinkStyle = List("cmbLinkStyle", LinkStyleWords());
    Row("Link style:", cmbLinkStyle, 140);

    Section("Table style");
    cmbTableBorderStyle = List("cmbTableBorderStyle", TableBorderStyleWords());
    Row("Border style:", cmbTableBorderStyle, 140);
    edTableBorderWidth = Edit("edTableBorderWidth");
    Row("Border width (px):", edTableBorderWidth, 90);
    cbTableBorderColor = ColorBox("cbTableBorderColor");
    Row("Border color:", cbTableBorderColor, 220);

    Section("Spelling");
    cmbSpellingLanguage = new QComboBox;
    cmbSpellingLanguage->setObjectName(QStringLiteral("cmbSpellingLanguage"));
    cmbSpellingLanguage->addItem(T("Language of the Program"), QString());
    for (const QString& language : TSpelling::Languages())
        cmbSpellingLanguage->addItem(TSpelling::DisplayName(language), language);
    Row("Spelling language:", cmbSpellingLanguage, 220);
    FGrid->setRowStretch(FRow, 1);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);

    btnOk = new QPushButton(T("OK"));
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(T("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {btnOk, btnCancel})
        b->setMinimumWidth(90);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 10, 12, 12);
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    Fill(SettingsFormFrom(settings));

    // Tall enough for every row on an ordinary screen, never beyond it.
    const int width = std::max(660, content->sizeHint().width() + 24);
    int height = std::max(560, content->sizeHint().height() + 70);
    if (const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())
        height = std::min(height, screen->availableGeometry().height() * 9 / 10);
    setMinimumSize(660, std::min(560, height));
    resize(width, height);
}

void TfrmProjectSettings::Section(const char* caption) {
    auto* label = new QLabel(T(caption));
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    if (FRow > 0)
        FGrid->setRowMinimumHeight(FRow++, 8);
    FGrid->addWidget(label, FRow++, 0, 1, 3);
}

void TfrmProjectSettings::Row(const char* caption, QWidget* control, int width) {
    auto* label = new QLabel(T(caption));
    label->setBuddy(control);
    control->setFixedWidth(width);
    FGrid->addWidget(label, FRow, 0);
    FGrid->addWidget(control, FRow, 1, Qt::AlignLeft);
    ++FRow;
}

void TfrmProjectSettings::Fill(const TSettingsForm& f) {
    edProjTitle->setText(Q(f.Title));
    SelectText(cmbFontName, f.FontName);
    cmbBodyFontSize->setCurrentIndex(cmbBodyFontSize->findText(Q(f.BodySize)));
    cmbBodyFontSize->setCurrentText(Q(f.BodySize));
    cbTextColor->SetColor(f.TextColor);
    edLineSpacing->setText(Q(f.LineSpacing));
    cbPageBg->SetColor(f.PageBgColor);
    cbHeaderBg->SetColor(f.HeaderBgColor);
    cbTocTextColor->SetColor(f.TocTextColor);
    edTocTextSize->setText(Q(f.TocTextSize));
    chkCopyright->setChecked(f.CopyrightEnabled);
    edCopyrightText->setText(Q(f.CopyrightText));
    cbLinkColor->SetColor(f.LinkColor);
    SelectText(cmbLinkStyle, f.LinkStyle);
    SelectText(cmbTableBorderStyle, f.TableBorderStyle);
    edTableBorderWidth->setText(Q(f.TableBorderWidth));
    cbTableBorderColor->SetColor(f.TableBorderColor);
    // A language without a dictionary here stays in the list, so saving the
    // dialog on this machine keeps the project's choice.
    const QString language = Q(f.SpellingLanguage);
    if (!language.isEmpty() && cmbSpellingLanguage->findData(language) < 0)
        cmbSpellingLanguage->addItem(language, language);
    cmbSpellingLanguage->setCurrentIndex(std::max(0, cmbSpellingLanguage->findData(language)));
}

TSettingsForm TfrmProjectSettings::Form() const {
    TSettingsForm f;
    f.Title = edProjTitle->text().toStdString();
    f.FontName = cmbFontName->currentIndex() >= 0 ? cmbFontName->currentText().toStdString() : "";
    f.BodySize = cmbBodyFontSize->currentText().toStdString();
    f.TextColor = cbTextColor->Color();
    f.LineSpacing = edLineSpacing->text().toStdString();
    f.PageBgColor = cbPageBg->Color();
    f.HeaderBgColor = cbHeaderBg->Color();
    f.TocTextColor = cbTocTextColor->Color();
    f.TocTextSize = edTocTextSize->text().toStdString();
    f.CopyrightEnabled = chkCopyright->isChecked();
    f.CopyrightText = edCopyrightText->text().toStdString();
    f.LinkColor = cbLinkColor->Color();
    f.LinkStyle = cmbLinkStyle->currentText().toStdString();
    f.TableBorderStyle = cmbTableBorderStyle->currentText().toStdString();
    f.TableBorderWidth = edTableBorderWidth->text().toStdString();
    f.TableBorderColor = cbTableBorderColor->Color();
    f.SpellingLanguage = cmbSpellingLanguage->currentData().toString().toStdString();
    return f;
}

TProjectSettings TfrmProjectSettings::ReadSettings() const {
    return SettingsFromForm(FSettings, Form());
}

bool TfrmProjectSettings::Execute(QWidget* owner, TProjectSettings& settings) {
    TfrmProjectSettings dialog(settings, owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    try {
        settings = dialog.ReadSettings();
        return true;
    } catch (const EConvertError&) {
        QMessageBox::critical(owner, QApplication::applicationName(),
                              T("Some values are invalid. Please fix them."));
        return false;
    }
}

} // namespace qm::app
