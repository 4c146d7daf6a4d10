#include "ContentsModel.h"

#include "model/ContentsWalk.h"
#include "model/DocModel.h"

namespace qm::app {

TContentsModel::TContentsModel(QObject* parent) : QAbstractItemModel(parent) {}

void TContentsModel::Rebuild(const TDocProject& project) {
    beginResetModel();
    FProject = &project;
    FNodes.clear();
    FRoots.clear();
    FById.clear();
    const TContentsWalk walk = WalkContents(project);
    FNodes.reserve(walk.Entries.size());
    FById.reserve(walk.Entries.size());
    // The node last made at each depth: the parent of the next one deeper.
    std::vector<int> lastAt;
    for (const TContentsEntry& e : walk.Entries) {
        const auto depth = static_cast<size_t>(e.Depth);
        lastAt.resize(depth + 1);
        const int number = static_cast<int>(FNodes.size());
        TNode node;
        node.Id = e.Topic->ID;
        node.Parent = depth == 0 ? -1 : lastAt[depth - 1];
        std::vector<int>& siblings = node.Parent < 0 ? FRoots : FNodes[node.Parent].Children;
        node.Row = static_cast<int>(siblings.size());
        siblings.push_back(number);
        FById.emplace(node.Id, number);
        FNodes.push_back(std::move(node));
        lastAt[depth] = number;
    }
    endResetModel();
}

QModelIndex TContentsModel::IndexOf(const std::string& id) const {
    const auto it = FById.find(id);
    if (it == FById.end())
        return {};
    return createIndex(FNodes[it->second].Row, 0, static_cast<quintptr>(it->second));
}

std::string TContentsModel::IdOf(const QModelIndex& index) {
    return index.isValid() ? index.data(kIdRole).toString().toStdString() : std::string();
}

void TContentsModel::TitleChanged(const std::string& id) {
    const QModelIndex index = IndexOf(id);
    if (index.isValid())
        emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
}

const TContentsModel::TNode* TContentsModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    const auto number = static_cast<size_t>(index.internalId());
    return number < FNodes.size() ? &FNodes[number] : nullptr;
}

const std::vector<int>& TContentsModel::ChildrenOf(const QModelIndex& parent) const {
    const TNode* node = NodeOf(parent);
    return node != nullptr ? node->Children : FRoots;
}

QModelIndex TContentsModel::index(int row, int column, const QModelIndex& parent) const {
    const std::vector<int>& children = ChildrenOf(parent);
    if (column != 0 || row < 0 || static_cast<size_t>(row) >= children.size())
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<size_t>(row)]));
}

QModelIndex TContentsModel::parent(const QModelIndex& child) const {
    const TNode* node = NodeOf(child);
    if (node == nullptr || node->Parent < 0)
        return {};
    return createIndex(FNodes[static_cast<size_t>(node->Parent)].Row, 0,
                       static_cast<quintptr>(node->Parent));
}

int TContentsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return static_cast<int>(ChildrenOf(parent).size());
}

int TContentsModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant TContentsModel::data(const QModelIndex& index, int role) const {
    const TNode* node = NodeOf(index);
    if (node == nullptr)
        return {};
    if (role == kIdRole)
        return QString::fromStdString(node->Id);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        // Between a topic's removal and the rebuild that follows it the node
        // may outlive its topic: it shows nothing rather than a stale title.
        const TTopic* topic = FProject != nullptr ? FProject->Topics.Find(node->Id) : nullptr;
        return topic != nullptr ? QString::fromStdString(topic->Title) : QString();
    }
    return {};
}

Qt::ItemFlags TContentsModel::flags(const QModelIndex& index) const {
    if (NodeOf(index) == nullptr)
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDragEnabled |
           Qt::ItemIsDropEnabled;
}

bool TContentsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const TNode* node = NodeOf(index);
    if (node == nullptr || role != Qt::EditRole)
        return false;
    // The window renames the topic in the project; the row reads it back.
    emit TitleEdited(node->Id, value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::DropActions TContentsModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

} // namespace qm::app
