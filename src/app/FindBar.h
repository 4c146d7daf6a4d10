#pragma once
// The bar above the editor that finds (Ctrl+F) and replaces (Ctrl+H) in the
// open topic. The page does the finding and highlighting; the bar sends the
// search as "find", "findNext", "findPrevious", "replace", "replaceAll" and
// "findClear" commands and shows the count the page reports.
#include <QWidget>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace qm::app {

class TFindBar final : public QWidget {
    Q_OBJECT
public:
    // exec sends one command with its argument to the page.
    explicit TFindBar(std::function<void(const std::string&, const std::string&)> exec,
                      QWidget* parent = nullptr);

    // Shows the bar with the find field focused (and the replace row).
    void Open(bool replace, const QString& initial = {});
    void Close();
    void ApplyCaptions();
    // The page's answer.
    void ShowResult(int count, int current, int replaced);

    [[nodiscard]] QLineEdit* FindField() const { return FFind; }
    [[nodiscard]] QLineEdit* ReplaceField() const { return FReplace; }
    [[nodiscard]] QCheckBox* MatchCase() const { return FMatchCase; }
    [[nodiscard]] QCheckBox* WholeWord() const { return FWholeWord; }
    [[nodiscard]] QString ResultText() const;
    void FindNext() { Send("findNext"); }
    void FindPrevious() { Send("findPrevious"); }
    void ReplaceOne() { Send("replace"); }
    void ReplaceAll() { Send("replaceAll"); }

signals:
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Send(const std::string& cmd);
    [[nodiscard]] std::string Arg() const;

    std::function<void(const std::string&, const std::string&)> FExec;
    QLineEdit* FFind;
    QLineEdit* FReplace;
    QCheckBox* FMatchCase;
    QCheckBox* FWholeWord;
    QToolButton* FPrev;
    QToolButton* FNext;
    QPushButton* FReplaceOne;
    QPushButton* FReplaceAll;
    QToolButton* FClose;
    QLabel* FResult;
    QWidget* FReplaceRow;
    int FCount = -1, FCurrent = 0, FReplaced = -1;
};

} // namespace qm::app
