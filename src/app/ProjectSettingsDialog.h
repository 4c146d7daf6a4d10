#pragma once
// The project settings dialog: the appearance settings of the open project
// in fields grouped by what they affect. Reading the fields back is the
// core's (SettingsFromForm); the dialog only moves texts and choices.
#include "settings/ProjectSettings.h"
#include "settings/SettingsForm.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace qm::app {

class TColorBox;

class TfrmProjectSettings final : public QDialog {
    Q_OBJECT
public:
    TfrmProjectSettings(const TProjectSettings& settings, QWidget* parent);

    // The settings as the fields say; raises EConvertError for a field
    // that does not convert.
    [[nodiscard]] TProjectSettings ReadSettings() const;

    // Shows the dialog on settings. True when the author confirmed it and
    // every value was valid: the values are then in settings. Otherwise
    // settings are as they were (an invalid value is reported first).
    static bool Execute(QWidget* owner, TProjectSettings& settings);

private:
    void Fill(const TSettingsForm& form);
    [[nodiscard]] TSettingsForm Form() const;
    void Section(const char* caption);
    void Row(const char* caption, QWidget* control, int width);

    TProjectSettings FSettings;
    QGridLayout* FGrid = nullptr;
    int FRow = 0;

    QLineEdit* edProjTitle = nullptr;
    QComboBox* cmbFontName = nullptr;
    QComboBox* cmbBodyFontSize = nullptr;
    TColorBox* cbTextColor = nullptr;
    QLineEdit* edLineSpacing = nullptr;
    TColorBox* cbPageBg = nullptr;
    TColorBox* cbHeaderBg = nullptr;
    TColorBox* cbTocTextColor = nullptr;
    QLineEdit* edTocTextSize = nullptr;
    QCheckBox* chkCopyright = nullptr;
    QLineEdit* edCopyrightText = nullptr;
    TColorBox* cbLinkColor = nullptr;
    QComboBox* cmbLinkStyle = nullptr;
    QComboBox* cmbTableBorderStyle = nullptr;
    QComboBox* cmbSpellingLanguage = nullptr;
    QLineEdit* edTableBorderWidth = nullptr;
    TColorBox* cbTableBorderColor = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace qm::app
