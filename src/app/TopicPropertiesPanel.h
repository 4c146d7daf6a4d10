#pragma once
// The publishing properties of the topic selected in the contents, in a
// panel beside the editor: keywords, index entries, the exclusions, the
// project's style profile, and the topic's id and page file for writing
// links by hand. Edits count only once "Apply" is pressed.
#include "model/TopicProperties.h"

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qm {
class TDocProject;
}

namespace qm::app {

class TTopicPropertiesPanel final : public QWidget {
    Q_OBJECT
public:
    explicit TTopicPropertiesPanel(QWidget* parent = nullptr);

    // The topic's properties replace whatever the fields hold; "" empties
    // the panel.
    void ShowTopic(const TDocProject& project, const std::string& id);
    void ShowStyleProfiles(const std::vector<std::string>& names, const std::string& current);
    [[nodiscard]] TTopicProperties Properties() const;
    void ApplyCaptions();

signals:
    void ApplyRequested();
    void StyleProfileChosen(const std::string& name);

private:
    QLabel* lbKeywords = nullptr;
    QPlainTextEdit* memKeywords = nullptr;
    QLabel* lbIndex = nullptr;
    QPlainTextEdit* memIndex = nullptr;
    QCheckBox* chkExcludeWeb = nullptr;
    QCheckBox* chkExcludeChm = nullptr;
    QCheckBox* chkExcludePdf = nullptr;
    QPushButton* btnApplyProps = nullptr;
    QLabel* lbStyle = nullptr;
    QComboBox* cbStyle = nullptr;
    QLabel* lbTopicId = nullptr;
    QLineEdit* edTopicId = nullptr;
    QLabel* lbPageFile = nullptr;
    QLineEdit* edPageFile = nullptr;
};

} // namespace qm::app
