#pragma once
// The contents as a Qt model over the project: one small node per topic,
// titles read from the project when a row is painted. A contents of ten
// thousand topics costs a walk and a vector, not ten thousand items.
#include <QAbstractItemModel>

#include <string>
#include <unordered_map>
#include <vector>

namespace qm {
class TDocProject;
}

namespace qm::app {

class TContentsModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int kIdRole = Qt::UserRole + 1;

    explicit TContentsModel(QObject* parent = nullptr);

    // Rebuilds the nodes from the project's contents; ids that name no topic
    // are skipped, a topic listed twice (or in a cycle) shows at its first place.
    void Rebuild(const TDocProject& project);
    [[nodiscard]] QModelIndex IndexOf(const std::string& id) const;
    [[nodiscard]] static std::string IdOf(const QModelIndex& index);
    // The topic's title changed in the project: repaint its row.
    void TitleChanged(const std::string& id);

    [[nodiscard]] QModelIndex index(int row, int column,
                                    const QModelIndex& parent = {}) const override;
    [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    [[nodiscard]] Qt::DropActions supportedDropActions() const override;

signals:
    // The author typed a new title into a row; the project is not changed here.
    void TitleEdited(const std::string& id, const std::string& title);

private:
    struct TNode {
        std::string Id;
        int Parent = -1; // node number, -1 at the top
        int Row = 0;
        std::vector<int> Children;
    };
    [[nodiscard]] const std::vector<int>& ChildrenOf(const QModelIndex& parent) const;
    [[nodiscard]] const TNode* NodeOf(const QModelIndex& index) const;

    const TDocProject* FProject = nullptr;
    std::vector<TNode> FNodes;
    std::vector<int> FRoots;
    std::unordered_map<std::string, int> FById;
};

} // namespace qm::app
