#pragma once
// A small modal dialog showing the project's contents; returns the topic the
// author picks (the target of a topic link).
#include <QDialog>

#include <optional>
#include <string>

class QTreeWidget;

namespace qm {
class TDocProject;
}

namespace qm::app {

class TfrmPickTopic final : public QDialog {
    Q_OBJECT
public:
    TfrmPickTopic(QWidget* parent, const TDocProject& project);

    // The picked topic's id; nothing when cancelled or when nothing is picked.
    [[nodiscard]] static std::optional<std::string> Execute(QWidget* parent,
                                                            const TDocProject& project);
    [[nodiscard]] QTreeWidget* Tree() const { return tvPick; }
    [[nodiscard]] const std::string& SelectedID() const { return FSelectedID; }
    void btnOKClick();

private:
    void FillTree(const TDocProject& project);

    QTreeWidget* tvPick = nullptr;
    std::string FSelectedID;
};

} // namespace qm::app
