#pragma once
// The dialog "Variables, snippets and conditions": one tab and grid per
// kind of reusable content. How it closes says what to do next: save only,
// or save and insert one token (the result codes below). The rows are
// turned into content by the core (ContentFromRows).
#include "content/ReusableRows.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTableWidget;

namespace qm::app {

enum TReusableResult : int {
    rrInsertVariable = 101,
    rrInsertSnippet = 102,
    rrInsertBeginCondition = 103,
    rrInsertEndCondition = 104,
};

class TfrmReusableContent final : public QDialog {
    Q_OBJECT
public:
    TfrmReusableContent(const TContentRows& rows, QWidget* parent);

    [[nodiscard]] TContentRows Rows() const;
    // The trimmed name in the current row of the grid an insert result
    // belongs to (its first row when no cell is current).
    [[nodiscard]] std::string NameForInsert(int result) const;

private:
    QTableWidget* AddTab(const char* name, const char* caption, const char* valueHeader,
                         bool translateValueHeader, const std::vector<const char*>& help,
                         const std::vector<TContentRow>& rows);
    // Only the insert buttons of the visible tab can be pressed.
    void UpdateButtons();

    QTabWidget* Pages = nullptr;
    QTableWidget* FVars = nullptr;
    QTableWidget* FSnips = nullptr;
    QTableWidget* FConds = nullptr;
    QPushButton* BtnInsVar = nullptr;
    QPushButton* BtnInsSnip = nullptr;
    QPushButton* BtnInsCondBegin = nullptr;
    QPushButton* BtnInsCondEnd = nullptr;
};

} // namespace qm::app
