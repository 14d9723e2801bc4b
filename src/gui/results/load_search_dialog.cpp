#include "gui/results/load_search_dialog.h"

#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
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

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(buttons);

    connect(ok, &QPushButton::clicked, this, &LoadSearchDialog::openChosenSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    entries_ = fillSavedSearchList(searchList_, owner);
    skin::skinWindow(this);
    searchList_->setFocus();
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
    Q_EMIT savedSearchChosen(fileName);
    accept();
}

} // namespace tally
