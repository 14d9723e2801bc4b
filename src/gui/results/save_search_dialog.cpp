#include "gui/results/save_search_dialog.h"

#include "core/product/product.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "gui/results/load_search_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

SaveSearchDialog::SaveSearchDialog(const QList<RowCell>& cells, QWidget* owner)
    : QDialog(owner), cells_(cells) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Save Search Results"));
    setModal(true);

    auto* frame2 = new QGroupBox(tr("Create New Save File"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* label2 = new QLabel(tr("Please choose a name for this search:"), frame2);
    label2->setObjectName(QStringLiteral("Label2"));
    nameBox_ = new QLineEdit(frame2);
    nameBox_->setObjectName(QStringLiteral("Text1"));
    nameBox_->setAccessibleName(label2->text());
    label2->setBuddy(nameBox_);
    auto* save = new QPushButton(tr("Save"), frame2);
    save->setObjectName(QStringLiteral("Command3"));
    save->setAutoDefault(false);
    auto* newLayout = new QGridLayout(frame2);
    newLayout->addWidget(label2, 0, 0, 1, 2);
    newLayout->addWidget(nameBox_, 1, 0);
    newLayout->addWidget(save, 1, 1);

    auto* frame1 = new QGroupBox(tr("Save Into An Old Search Result"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* label1 = new QLabel(tr("Append new results to this previous search:"), frame1);
    label1->setObjectName(QStringLiteral("Label1"));
    searchList_ = new QComboBox(frame1);
    searchList_->setObjectName(QStringLiteral("Combo1"));
    searchList_->setAccessibleName(label1->text());
    searchList_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label1->setBuddy(searchList_);
    auto* ok = new QPushButton(tr("Ok"), frame1);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setAutoDefault(false);
    auto* oldLayout = new QGridLayout(frame1);
    oldLayout->addWidget(label1, 0, 0, 1, 2);
    oldLayout->addWidget(searchList_, 1, 0);
    oldLayout->addWidget(ok, 1, 1);

    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame2);
    layout->addWidget(frame1);
    layout->addLayout(bottom);
    setMinimumWidth(380);

    connect(save, &QPushButton::clicked, this, &SaveSearchDialog::saveAsNewSearch);
    connect(nameBox_, &QLineEdit::returnPressed, this, &SaveSearchDialog::saveAsNewSearch);
    connect(ok, &QPushButton::clicked, this, &SaveSearchDialog::appendToChosenSearch);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    entries_ = fillSavedSearchList(searchList_, owner);
    skin::skinWindow(this);
    nameBox_->setFocus();
}

void SaveSearchDialog::saveAsNewSearch() {
    const QString name = searchNameOfTyped(nameBox_->text());
    switch (checkSearchName(name)) {
    case SearchNameProblem::Empty:
        Prompts::message(this, tr("Please type a name for this search."), tr("Information"),
                         QMessageBox::Information);
        nameBox_->setFocus();
        return;
    case SearchNameProblem::BadCharacter:
        Prompts::message(this,
                         tr("A search name cannot hold \"/\" or control characters. "
                            "Please choose another name."),
                         tr("Information"), QMessageBox::Information);
        nameBox_->setFocus();
        return;
    case SearchNameProblem::TooLong:
        Prompts::message(this,
                         tr("This name is too long for a file name. Please choose a "
                            "shorter name."),
                         tr("Information"), QMessageBox::Information);
        nameBox_->setFocus();
        return;
    case SearchNameProblem::None:
        break;
    }
    bool exists = false;
    const QString file = savedSearchFileFor(name, &exists);
    if (exists) {
        const auto answer = Prompts::instance().msgBox(
            this,
            tr("A saved search named \"%1\" already exists.\n\nSaving under this "
               "name starts its history afresh for every engine saved now. Replace it?")
                .arg(name),
            tr("Save Search Results"), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            nameBox_->setFocus();
            return;
        }
    }
    save(file, SaveMode::NewSearch);
}

void SaveSearchDialog::appendToChosenSearch() {
    const int index = searchList_->currentIndex();
    if (index < 0 || index >= entries_.size()) {
        Prompts::message(this, tr("Please choose a saved file in the dropdown box above"),
                         tr("Select A Saved Search"), QMessageBox::Information);
        searchList_->setFocus();
        return;
    }
    save(savedSearchPath(entries_.at(index).fileName), SaveMode::Append);
}

void SaveSearchDialog::save(const QString& file, SaveMode mode) {
    QString reason;
    const SaveResult result = saveSearchRow(cells_, file, mode, historyToday(), &reason);
    if (result == SaveResult::Refused) {
        Prompts::message(this,
                         tr("This row holds a value that is not a count, so it "
                            "was not saved."),
                         product().name, QMessageBox::Warning);
        return;
    }
    if (result == SaveResult::Failed) {
        Prompts::fileProblem(this, tr("The search results could not be saved to"), file, reason);
        return;
    }
    accept();
}

} // namespace tally
