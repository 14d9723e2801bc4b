#include "gui/results/load_search_dialog.h"

#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "gui/results/backfill_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

QList<SavedSearchEntry> fillSavedSearchList(QComboBox* combo, QWidget* messageParent) {
    const QList<SavedSearchEntry> entries = listSavedSearches();
    combo->clear();
    if (entries.isEmpty()) {
        Prompts::message(messageParent,
                         LoadSearchDialog::tr("You currently do not have any saved searches"),
                         LoadSearchDialog::tr("Information"), QMessageBox::Information);
        return entries;
    }
    for (const SavedSearchEntry& entry : entries)
        combo->addItem(entry.name, entry.fileName);
    combo->setCurrentIndex(-1); // nothing is chosen until the user picks
    return entries;
}

LoadSearchDialog::LoadSearchDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("Load Saved Search"));
    setModal(true);

    auto* frame = new QGroupBox(tr("Select saved search to load"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    searchList_ = new QComboBox(frame);
    searchList_->setObjectName(QStringLiteral("Combo1"));
    searchList_->setAccessibleName(tr("Select saved search to load"));
    searchList_->setMinimumWidth(260);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(searchList_);
    // Other sites to chart beside it, one source at a time.
    auto* compareLabel =
        new QLabel(tr("Side by side &with (one source, oldest date first):"), frame);
    compareList_ = new QListWidget(frame);
    compareList_->setObjectName(QStringLiteral("lstCompareSearches"));
    compareList_->setAccessibleName(tr("Side by side with"));
    compareList_->setMaximumHeight(120);
    compareLabel->setBuddy(compareList_);
    frameLayout->addWidget(compareLabel);
    frameLayout->addWidget(compareList_);

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    // The chosen saved search's past, from the sources that keep one.
    auto* backfill = new QPushButton(tr("Fill in the &past..."), this);
    backfill->setObjectName(QStringLiteral("cmdBackfill"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(backfill, QDialogButtonBox::ActionRole);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);

    connect(ok, &QPushButton::clicked, this, &LoadSearchDialog::openChosenSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(backfill, &QPushButton::clicked, this, &LoadSearchDialog::fillInPast);

    entries_ = fillSavedSearchList(searchList_, owner);
    for (const SavedSearchEntry& entry : std::as_const(entries_)) {
        auto* item = new QListWidgetItem(entry.name, compareList_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    compareLabel->setHidden(entries_.size() < 2);
    compareList_->setHidden(entries_.size() < 2);
    skin::skinWindow(this);
    searchList_->setFocus();
}

void LoadSearchDialog::fillInPast() {
    const int index = searchList_->currentIndex();
    if (index < 0 || index >= entries_.size()) {
        Prompts::message(this, tr("Please choose a saved file in the dropdown box above"),
                         tr("Select A Saved Search"), QMessageBox::Information);
        return;
    }
    BackfillDialog dialog(savedSearchPath(entries_.at(index).fileName), this);
    dialog.exec();
}

void LoadSearchDialog::openChosenSearch() {
    const int index = searchList_->currentIndex();
    if (index < 0 || index >= entries_.size()) {
        Prompts::message(this, tr("Please choose a saved file in the dropdown box above"),
                         tr("Select A Saved Search"), QMessageBox::Information);
        return;
    }
    const QString fileName = entries_.at(index).fileName;
    const QString path = savedSearchPath(fileName);
    if (const FileOutcome outcome = checkSavedSearchReadable(path); !outcome) {
        Prompts::fileProblem(this, tr("The saved search could not be read from"), path,
                             outcome.reason());
        return;
    }
    QStringList sites{fileName};
    for (int i = 0; i < compareList_->count(); ++i)
        if (compareList_->item(i)->checkState() == Qt::Checked && i != index)
            sites << entries_.at(i).fileName;
    for (const QString& site : sites.mid(1))
        if (const FileOutcome outcome = checkSavedSearchReadable(savedSearchPath(site)); !outcome) {
            Prompts::fileProblem(this, tr("The saved search could not be read from"),
                                 savedSearchPath(site), outcome.reason());
            return;
        }
    if (sites.size() > 1)
        Q_EMIT sitesChosen(sites);
    else
        Q_EMIT savedSearchChosen(fileName);
    accept();
}

} // namespace tally
