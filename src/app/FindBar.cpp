#include "FindBar.h"

#include "base/Json.h"
#include "base/StringUtil.h"
#include "i18n/Translation.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace qm::app {

namespace {
QString T(const char* s) {
    return QString::fromStdString(Translate(s));
}
} // namespace

TFindBar::TFindBar(std::function<void(const std::string&, const std::string&)> exec,
                   QWidget* parent)
    : QWidget(parent), FExec(std::move(exec)), FFind(new QLineEdit), FReplace(new QLineEdit),
      FMatchCase(new QCheckBox), FWholeWord(new QCheckBox), FPrev(new QToolButton),
      FNext(new QToolButton), FReplaceOne(new QPushButton), FReplaceAll(new QPushButton),
      FClose(new QToolButton), FResult(new QLabel), FReplaceRow(new QWidget) {
    setObjectName(QStringLiteral("FindBar"));
    FFind->setObjectName(QStringLiteral("edFind"));
    FReplace->setObjectName(QStringLiteral("edReplace"));
    FFind->setClearButtonEnabled(true);
    FFind->setMinimumWidth(220);
    FReplace->setMinimumWidth(220);
    FPrev->setArrowType(Qt::UpArrow);
    FNext->setArrowType(Qt::DownArrow);
    FPrev->setAutoRaise(true);
    FNext->setAutoRaise(true);
    FClose->setAutoRaise(true);
    FClose->setText(QStringLiteral("\u2715"));
    FResult->setMinimumWidth(110);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    grid->addWidget(FFind, 0, 0);
    grid->addWidget(FPrev, 0, 1);
    grid->addWidget(FNext, 0, 2);
    grid->addWidget(FResult, 0, 3);
    grid->addWidget(FMatchCase, 0, 4);
    grid->addWidget(FWholeWord, 0, 5);
    grid->setColumnStretch(6, 1);
    grid->addWidget(FClose, 0, 7);
    auto* row = new QHBoxLayout(FReplaceRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(FReplace);
    row->addWidget(FReplaceOne);
    row->addWidget(FReplaceAll);
    row->addStretch(1);
    grid->addWidget(FReplaceRow, 1, 0, 1, 8);

    connect(FFind, &QLineEdit::textChanged, this, [this] { Send("find"); });
    connect(FMatchCase, &QCheckBox::toggled, this, [this] { Send("find"); });
    connect(FWholeWord, &QCheckBox::toggled, this, [this] { Send("find"); });
    connect(FNext, &QToolButton::clicked, this, [this] { FindNext(); });
    connect(FPrev, &QToolButton::clicked, this, [this] { FindPrevious(); });
    connect(FReplaceOne, &QPushButton::clicked, this, [this] { ReplaceOne(); });
    connect(FReplaceAll, &QPushButton::clicked, this, [this] { ReplaceAll(); });
    connect(FClose, &QToolButton::clicked, this, [this] { Close(); });
    FFind->installEventFilter(this);
    FReplace->installEventFilter(this);
    ApplyCaptions();
    hide();
}

void TFindBar::ApplyCaptions() {
    FFind->setPlaceholderText(T("Find"));
    FReplace->setPlaceholderText(T("Replace with"));
    FMatchCase->setText(T("Match case"));
    FWholeWord->setText(T("Whole word"));
    FPrev->setToolTip(T("Previous match (Shift+Enter)"));
    FNext->setToolTip(T("Next match (Enter)"));
    FReplaceOne->setText(T("Replace"));
    FReplaceAll->setText(T("Replace All"));
    FClose->setToolTip(T("Close (Esc)"));
    ShowResult(FCount, FCurrent, FReplaced);
}

void TFindBar::Open(bool replace, const QString& initial) {
    FReplaceRow->setVisible(replace);
    show();
    if (!initial.isEmpty() && !initial.contains(QLatin1Char('\n')))
        FFind->setText(initial);
    FFind->setFocus();
    FFind->selectAll();
    if (!FFind->text().isEmpty())
        Send("find");
}

void TFindBar::Close() {
    hide();
    FExec("findClear", "");
    emit Closed();
}

QString TFindBar::ResultText() const {
    return FResult->text();
}

void TFindBar::ShowResult(int count, int current, int replaced) {
    FCount = count;
    FCurrent = current;
    FReplaced = replaced;
    QString text;
    if (replaced > 0 && count == 0)
        text = QString::fromStdString(FormatS(Translate("%s replaced"), std::to_string(replaced)));
    else if (count == 0 && !FFind->text().isEmpty())
        text = T("No matches");
    else if (count > 0)
        text = QString::fromStdString(FormatS(
            FormatS(Translate("%s of %s"), std::to_string(current)), std::to_string(count)));
    FResult->setText(text);
    QPalette p = FFind->palette();
    p.setColor(QPalette::Base, count == 0 && !FFind->text().isEmpty() && replaced <= 0
                                   ? QColor(0xFD, 0xE8, 0xE8)
                                   : palette().color(QPalette::Base));
    FFind->setPalette(p);
}

std::string TFindBar::Arg() const {
    Json arg = Json::object();
    arg["text"] = FFind->text().toStdString();
    arg["matchCase"] = FMatchCase->isChecked();
    arg["wholeWord"] = FWholeWord->isChecked();
    arg["replacement"] = FReplace->text().toStdString();
    return JsonWrite(arg);
}

void TFindBar::Send(const std::string& cmd) {
    FReplaced = -1;
    FExec(cmd, Arg());
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == FReplace)
                ReplaceOne();
            else if (key->modifiers().testFlag(Qt::ShiftModifier))
                FindPrevious();
            else
                FindNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qm::app
