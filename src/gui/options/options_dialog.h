// The Options dialog (object name "Form2"): the engines' query prefixes, the profile thresholds,
// the data options and the choice of the desktop's look.
#pragma once

#include "core/files/safe_file.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tally {

// The prefixes live in settings.ini (section "Engines"), the thresholds and data options in the
// per-user store. Nothing is kept outside the controls until Ok writes them; Reset writes the
// default prefixes at once. "Use the desktop's colours and fonts" is stored and applied the moment
// it is checked, like the View menu's item. The main window decides whether the dialog is modal and
// keeps it one at a time.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    // Threshold box index: 0 low (bottom row), 1 medium, 2 high (top row).
    QLineEdit* thresholdBox(int index) const { return thresholdBoxes_[index]; }
    // The prefix box of engine i (0..5, engine-table order).
    QLineEdit* prefixBox(int i) const { return prefixBoxes_[i]; }
    // The line under the prefixes that names what is wrong in engines.ini (hidden when nothing).
    QLabel* engineProblemsLabel() const { return engineProblems_; }

public Q_SLOTS:
    // Keeps the three thresholds consistent; runs on every change of a threshold box's text.
    void applyThresholdRule(int index);
    // Ok: writes the prefixes and the store values, and closes; a failed write is reported, naming
    // the file, and the dialog stays open.
    void saveAndClose();
    // Reset: after a question, writes the default prefixes (a failed write is reported); the
    // thresholds go back to theirs.
    void resetToDefaults();
    // "Check engines": what each of the six slots is (engines.ini) and whether it works.
    void checkEngines();
    // The engines' labels and problems read again from engines.ini (after the Sources window).
    void reloadEngines();

Q_SIGNALS:
    // "Sources...": the main window opens the Sources window over this dialog.
    void sourcesRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    QGroupBox* makeEnginesFrame();
    QGroupBox* makeRanksFrame();
    QGroupBox* makeDataFrame();
    void makeLookBox();
    QHBoxLayout* makeButtons();
    void load();
    // The engines.ini problems in a red that reads on the dialog's background.
    void colourProblems();
    void setThresholdTexts(const QString& low, const QString& medium, const QString& high);
    void reportWriteFailure(const QString& what, const QString& file, const FileOutcome& outcome);

    std::array<QLabel*, 6> prefixLabels_{};
    std::array<QLineEdit*, 6> prefixBoxes_{};
    QLabel* engineProblems_ = nullptr;
    QPushButton* checkEnginesButton_ = nullptr;
    QPushButton* sourcesButton_ = nullptr;
    std::array<QLineEdit*, 3> thresholdBoxes_{};
    QCheckBox* clearResultsBox_ = nullptr;
    QCheckBox* autoSortBox_ = nullptr;
    QCheckBox* desktopLookBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    bool applyingRule_ = false;
};

} // namespace tally
