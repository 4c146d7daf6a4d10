#pragma once
// The "Find in Project" panel: a search field and the topics that match,
// each with its place in the contents and the text around the match.
// Activating a hit asks the window to open the topic at the match.
#include "workspace/ProjectSearch.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;

namespace qm::app {

class TProjectSearchPanel final : public QWidget {
    Q_OBJECT
public:
    using TSearch = std::function<std::vector<TProjectSearchHit>(const std::string& query)>;
    explicit TProjectSearchPanel(TSearch search, QWidget* parent = nullptr);

    void Focus();
    void ApplyCaptions();
    // Searches at once (the field also searches a moment after typing stops).
    void Run();
    [[nodiscard]] QLineEdit* Field() const { return FField; }
    [[nodiscard]] QTreeWidget* Results() const { return FResults; }
    [[nodiscard]] QString Summary() const;

signals:
    void TopicChosen(const std::string& topicId, const QString& query);

private:
    TSearch FSearch;
    QLineEdit* FField;
    QLabel* FSummary;
    QTreeWidget* FResults;
    QTimer* FDelay;
    int FLastCount = -1;
    qint64 FLastMs = 0;
};

} // namespace qm::app
