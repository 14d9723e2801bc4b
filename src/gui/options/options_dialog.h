// The Options dialog (OptionsDialog): engine query prefixes, profile thresholds and data options.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tally {

// Opens the dialog modally, owned by `owner` ("View Options"): input to the program's other windows
// is blocked until the dialog closes. The call returns at once. When the dialog is already open,
// brings that one forward instead.
void showOptionsModal(QWidget* owner);
// Opens the dialog without blocking and without an owner (the "Options" button), or brings the
// open one forward.
void showOptionsModeless();
// Closes the dialog if it is open (the main window's shut-down).
void unloadOptionsDialog();

class OptionsDialog;
// The open Options dialog, or nullptr.
OptionsDialog* optionsDialog();

// The prefixes live in settings.ini (section "Engines"), the thresholds and data options in the
// per-user store. Nothing is kept outside the controls until Ok writes them; Reset writes the
// default prefixes at once.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // Threshold box Index: 0 low (bottom row), 1 medium, 2 high (top row).
    QLineEdit* txtProfile(int Index) const { return txtProfile_[Index]; }
    // The prefix box of engine i (0..5, engine-table order): Text1..Text6.
    QLineEdit* prefixBox(int i) const { return prefix_[i]; }

public slots:
    // The change rule of the threshold boxes; runs on every change of a box's text.
    void txtProfile_Change(int Index);
    void Command1_Click(); // Ok
    void Command2_Click(); // Cancel
    void Command3_Click(); // Reset

private:
    void Form_Load();
    void setThresholdTexts(const QString& low, const QString& medium, const QString& high);

    std::array<QLineEdit*, 6> prefix_{};
    std::array<QLineEdit*, 3> txtProfile_{};
    QCheckBox* chkClear_ = nullptr;
    QCheckBox* chkAuto_ = nullptr;
    QPushButton* Command1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QPushButton* Command3_ = nullptr;
    bool applyingRule_ = false;
};

} // namespace tally
