// Scan › Schedule...: the scans the user's systemd runs on a schedule (core/schedule), made,
// listed with their next run and last result, and removed; and the recent runs, scheduled and
// run by hand, from the record of runs.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;
class QTreeWidget;

namespace tally {

class ScheduleDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScheduleDialog(QWidget* parent = nullptr);

    // The schedules and the recent runs read again.
    void refresh();

private:
    QGroupBox* makeNewScheduleFrame();
    QHBoxLayout* makeWhen(QWidget* make);
    QLabel* whenLabel(QWidget* make);
    void listChosen(int index);
    void fillLists();
    void everyChanged();
    void addSchedule();
    void removeSchedule();
    void say(const QString& text);

    QLineEdit* name_;
    QComboBox* list_;
    QComboBox* every_;
    QSpinBox* hours_;
    QComboBox* day_;
    QTimeEdit* at_;
    QSpinBox* drop_;
    QCheckBox* broken_;
    QPushButton* add_;
    QTreeWidget* schedules_;
    QPushButton* remove_;
    QTreeWidget* runs_;
    QLabel* status_;
};

} // namespace tally
