#include "gui/schedule/schedule_dialog.h"

#include "core/schedule/run_record.h"
#include "core/schedule/schedule.h"
#include "core/schedule/user_units.h"
#include "core/settings/program_folder.h"
#include "core/urllist/url_list_file.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/skin.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tally {

namespace {

QTreeWidget* table(QWidget* parent, const char* objectName, const QStringList& headings,
                   const QString& accessibleName) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QLatin1String(objectName));
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setHeaderLabels(headings);
    tree->setAccessibleName(accessibleName);
    tree->header()->setStretchLastSection(true);
    return tree;
}

} // namespace

ScheduleDialog::ScheduleDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSchedule"));
    setWindowTitle(tr("Schedule"));
    setAttribute(Qt::WA_DeleteOnClose);

    QGroupBox* make = makeNewScheduleFrame();

    auto* kept = new QGroupBox(tr("Schedules"), this);
    auto* keptLayout = new QVBoxLayout(kept);
    schedules_ = table(kept, "lstSchedules", {tr("Name"), tr("When"), tr("List"), tr("Next run")},
                       tr("Schedules"));
    remove_ = new QPushButton(tr("Re&move"), kept);
    remove_->setObjectName(QStringLiteral("cmdRemoveSchedule"));
    keptLayout->addWidget(schedules_);
    keptLayout->addWidget(remove_, 0, Qt::AlignRight);

    auto* recent = new QGroupBox(tr("Recent runs"), this);
    auto* recentLayout = new QVBoxLayout(recent);
    runs_ = table(recent, "lstRecentRuns",
                  {tr("When"), tr("Schedule"), tr("Counted"), tr("Failed"), tr("Exit"),
                   tr("Sources that failed")},
                  tr("Recent runs"));
    recentLayout->addWidget(runs_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblScheduleStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(make);
    layout->addWidget(kept, 1);
    layout->addWidget(recent, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    connect(every_, &QComboBox::currentIndexChanged, this, &ScheduleDialog::everyChanged);
    connect(list_, &QComboBox::activated, this, &ScheduleDialog::listChosen);
    connect(add_, &QPushButton::clicked, this, &ScheduleDialog::addSchedule);
    connect(remove_, &QPushButton::clicked, this, &ScheduleDialog::removeSchedule);
    connect(schedules_, &QTreeWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!schedules_->selectedItems().isEmpty()); });

    fillLists();
    everyChanged();
    refresh();
    skin::skinWindow(this);
    resize(760, 620);
    name_->setFocus();
}

// "New schedule": its name, list, times and what it tells.
QGroupBox* ScheduleDialog::makeNewScheduleFrame() {
    auto* make = new QGroupBox(tr("New schedule"), this);
    make->setObjectName(QStringLiteral("fraNewSchedule"));
    auto* form = new QFormLayout(make);
    name_ = new QLineEdit(QStringLiteral("nightly"), make);
    name_->setObjectName(QStringLiteral("txtScheduleName"));
    name_->setMaxLength(40);
    form->addRow(tr("&Name:"), name_);
    list_ = new QComboBox(make);
    list_->setObjectName(QStringLiteral("cmbScheduleList"));
    form->addRow(tr("&List:"), list_);

    QHBoxLayout* when = makeWhen(make);
    form->addRow(whenLabel(make), when);

    drop_ = new QSpinBox(make);
    drop_->setObjectName(QStringLiteral("spnNotifyDrop"));
    drop_->setRange(0, 100);
    drop_->setValue(10);
    drop_->setSuffix(tr(" %"));
    drop_->setSpecialValueText(tr("never"));
    form->addRow(tr("Tell me when a count &drops by more than:"), drop_);
    broken_ =
        new QCheckBox(tr("Tell me when a source &refuses (a key refused, a quota spent)"), make);
    broken_->setObjectName(QStringLiteral("chkNotifyBroken"));
    broken_->setChecked(true);
    form->addRow(broken_);
    add_ = new QPushButton(tr("&Add"), make);
    add_->setObjectName(QStringLiteral("cmdAddSchedule"));
    auto* addRow = new QHBoxLayout;
    addRow->addStretch(1);
    addRow->addWidget(add_);
    form->addRow(addRow);
    return make;
}

// How often and when: the boxes that do not apply to the choice are hidden (everyChanged).
QHBoxLayout* ScheduleDialog::makeWhen(QWidget* make) {
    auto* when = new QHBoxLayout;
    every_ = new QComboBox(make);
    every_->setObjectName(QStringLiteral("cmbEvery"));
    every_->addItems({tr("Daily"), tr("Weekly"), tr("Every few hours")});
    hours_ = new QSpinBox(make);
    hours_->setObjectName(QStringLiteral("spnHours"));
    hours_->setRange(1, 23);
    hours_->setValue(6);
    hours_->setPrefix(tr("every "));
    hours_->setSuffix(tr(" h"));
    hours_->setAccessibleName(tr("Hours between runs"));
    day_ = new QComboBox(make);
    day_->setObjectName(QStringLiteral("cmbDay"));
    for (int d = 1; d <= 7; ++d)
        day_->addItem(QLocale().dayName(d));
    day_->setAccessibleName(tr("Day of the week"));
    at_ = new QTimeEdit(QTime(3, 0), make);
    at_->setObjectName(QStringLiteral("tmeAt"));
    at_->setDisplayFormat(QStringLiteral("HH:mm"));
    at_->setAccessibleName(tr("Time of day"));
    when->addWidget(every_);
    when->addWidget(hours_);
    when->addWidget(day_);
    when->addWidget(new QLabel(tr("at"), make));
    when->addWidget(at_, 1);
    return when;
}

QLabel* ScheduleDialog::whenLabel(QWidget* make) {
    auto* label = new QLabel(tr("&When:"), make);
    label->setBuddy(every_);
    return label;
}

// A list picked from the choices; "Another list file..." asks for one, then keeps it among them.
void ScheduleDialog::listChosen(int index) {
    if (list_->itemData(index).isValid())
        return;
    const QString file =
        QFileDialog::getOpenFileName(this, tr("Choose a URL list"), ProgramFolder::listsFolder(),
                                     tr("URL lists (*.txt);;All files (*)"));
    if (file.isEmpty()) {
        list_->setCurrentIndex(0);
        return;
    }
    list_->insertItem(index, QDir::toNativeSeparators(file), file);
    list_->setCurrentIndex(index);
}

void ScheduleDialog::fillLists() {
    list_->clear();
    // The window's list: the file the window keeps it in, in step with every change.
    list_->addItem(tr("The window's URL list (kept in step)"), ProgramFolder::sessionUrlList());
    for (const QFileInfo& file :
         QDir(ProgramFolder::listsFolder())
             .entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        list_->addItem(file.fileName(), file.absoluteFilePath());
    list_->addItem(tr("Another list file..."));
}

void ScheduleDialog::everyChanged() {
    hours_->setVisible(every_->currentIndex() == 2);
    day_->setVisible(every_->currentIndex() == 1);
}

void ScheduleDialog::refresh() {
    schedules_->clear();
    for (const QString& name : scheduleNames()) {
        QString problem;
        const std::optional<Schedule> s = readSchedule(name, &problem);
        const QDateTime next = s ? nextScheduledRun(name) : QDateTime();
        auto* row = new QTreeWidgetItem(
            schedules_,
            {name, s ? s->describe() : problem,
             s ? QDir::toNativeSeparators(s->listFile) : QString(),
             next.isValid() ? QLocale().toString(next.toLocalTime(), QLocale::ShortFormat)
                            : tr("not known")});
        row->setData(0, Qt::UserRole, name);
    }
    remove_->setEnabled(!schedules_->selectedItems().isEmpty());
    runs_->clear();
    for (const RunRecord& r : recentRuns()) {
        auto* row = new QTreeWidgetItem(
            runs_, {QLocale().toString(r.when, QLocale::ShortFormat),
                    !r.schedule.isEmpty() ? r.schedule
                    : r.window            ? tr("in the window")
                                          : tr("by hand"),
                    QString::number(r.counted), QString::number(r.failed),
                    QString::number(r.exitCode), r.sources.join(QStringLiteral("; "))});
        row->setToolTip(5, r.sources.join(QLatin1Char('\n')));
    }
    for (QTreeWidget* tree : {schedules_, runs_})
        for (int c = 0; c + 1 < tree->columnCount(); ++c)
            tree->resizeColumnToContents(c);
}

void ScheduleDialog::say(const QString& text) {
    status_->setText(text);
    accessibility::announce(status_, text);
}

void ScheduleDialog::addSchedule() {
    Schedule s;
    s.name = name_->text().trimmed();
    s.listFile = list_->currentData().toString();
    s.every = every_->currentIndex() == 1   ? Schedule::Every::Weekly
              : every_->currentIndex() == 2 ? Schedule::Every::Hours
                                            : Schedule::Every::Daily;
    s.hours = hours_->value();
    s.weekday = day_->currentIndex() + 1;
    s.at = at_->time();
    s.notifyDropPercent = drop_->value();
    s.notifyBroken = broken_->isChecked();
    if (const QString problem = scheduleProblem(s); !problem.isEmpty())
        return say(tr("The schedule was not made: %1.").arg(problem));
    QStringList urls;
    QString why;
    // The window keeps no file for an empty list.
    const bool windowListEmpty =
        s.listFile == ProgramFolder::sessionUrlList() && !QFileInfo::exists(s.listFile);
    if (!windowListEmpty && !readUrlListFile(s.listFile, &urls, &why))
        return say(tr("The schedule was not made: the list %1 cannot be read (%2).")
                       .arg(QDir::toNativeSeparators(s.listFile), why));
    if (urls.isEmpty())
        return say(tr("The schedule was not made: the list %1 holds no URLs.")
                       .arg(QDir::toNativeSeparators(s.listFile)));
    const QString program = QCoreApplication::applicationFilePath();
    if (!userSystemdRuns(&why)) {
        // No units: the schedule is kept for the crontab line that runs it instead.
        if (const FileOutcome kept = writeSchedule(s); !kept)
            return say(tr("The schedule was not made: %1").arg(kept.reason()));
        refresh();
        return say(tr("No user systemd instance answers (%1), so nothing was scheduled. The same "
                      "schedule as a line for your crontab (crontab -e):\n%2")
                       .arg(why, crontabLine(s, program)));
    }
    if (const FileOutcome installed = installSchedule(s, program); !installed) {
        tally::removeSchedule(s.name);
        return say(tr("The schedule was not made: %1").arg(installed.reason()));
    }
    refresh();
    say(tr("Scheduled \"%1\": %2.").arg(s.name, s.describe()));
}

void ScheduleDialog::removeSchedule() {
    const QList<QTreeWidgetItem*> selected = schedules_->selectedItems();
    if (selected.isEmpty())
        return;
    const QString name = selected.first()->data(0, Qt::UserRole).toString();
    if (const FileOutcome removed = tally::removeSchedule(name); !removed)
        return say(tr("The schedule \"%1\" could not be removed: %2").arg(name, removed.reason()));
    refresh();
    say(tr("The schedule \"%1\" was removed.").arg(name));
}

} // namespace tally
