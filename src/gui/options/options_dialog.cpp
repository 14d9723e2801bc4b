#include "gui/options/options_dialog.h"

#include "core/scan/engine_table.h"
#include "core/options/threshold_rule.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/product/app_state.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

namespace {

// One dialog at a time: the open one, whoever opened it.
QPointer<OptionsDialog>& openDialog() {
    static QPointer<OptionsDialog> dialog;
    return dialog;
}

// Keeps track of a new dialog until it closes; a closed dialog is on its way to deletion and is
// never brought back.
void track(OptionsDialog* dialog) {
    openDialog() = dialog;
    QObject::connect(dialog, &QDialog::finished, [] { openDialog() = nullptr; });
}

void bringForward(OptionsDialog* dialog) {
    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// The labels of the prefix boxes, in engine-table order.
constexpr const char* PrefixCaptions[EngineCount] = {
    "Google:", "Altavista:", "Yahoo!:", "Ask:", "MSN:", "AllTheWeb:"};

// The labels of the threshold boxes by index (the high row is drawn on top).
constexpr const char* ProfileCaptions[3] = {
    "Low Profile if total is less than:",
    "Medium Profile if total is less than: ",
    "High Profile if total is greater than: ",
};

// The texts the threshold boxes hold before anything is loaded into them.
constexpr const char* DesignedProfileTexts[3] = {"500", "1000", "1000"};

// A control's accessible name from its label: the caption without the closing colon.
QString nameFromCaption(const char* caption) {
    QString name = QString::fromLatin1(caption).trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

// A prefix is one line of settings.ini: like a single-line box of the platform, a box keeps what
// comes before the first line break of a pasted text.
void keepFirstLine(QLineEdit* box) {
    const QString text = box->text();
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QLatin1Char('\r') || text[i] == QLatin1Char('\n') || text[i].isNull()) {
            box->setText(text.left(i));
            return;
        }
}

QString checkValue(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

// A stored check-box value: ticked when it reads as the whole number 1, as the scan reads it.
bool readCheck(const QString& value) {
    return readThreshold(value) == 1;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Options"));
    setAccessibleName(QStringLiteral("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(false);

    // "Edit Search Engine URLs": one labelled box per engine.
    auto* frame1 = new QGroupBox(QStringLiteral("Edit Search Engine URLs"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid1 = new QGridLayout(frame1);
    grid1->setColumnStretch(1, 1);
    for (int i = 0; i < EngineCount; ++i) {
        auto* label = new QLabel(QString::fromLatin1(PrefixCaptions[i]), frame1);
        label->setObjectName(QStringLiteral("lblEngine%1").arg(i + 1));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(frame1);
        box->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        box->setAccessibleName(nameFromCaption(PrefixCaptions[i]));
        box->setMinimumWidth(380);
        label->setBuddy(box);
        connect(box, &QLineEdit::textChanged, box, [box] { keepFirstLine(box); });
        grid1->addWidget(label, i, 0);
        grid1->addWidget(box, i, 1);
        prefix_[i] = box;
    }

    // "Define Popularity Ranks": the txtProfile array, index 2 on top and 0 at the bottom.
    auto* frame2 = new QGroupBox(QStringLiteral("Define Popularity Ranks"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid2 = new QGridLayout(frame2);
    for (int index = 0; index < 3; ++index) {
        auto* label = new QLabel(QString::fromLatin1(ProfileCaptions[index]), frame2);
        label->setObjectName(QStringLiteral("lblProfile%1").arg(index));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(QString::fromLatin1(DesignedProfileTexts[index]), frame2);
        box->setObjectName(QStringLiteral("txtProfile%1").arg(index));
        box->setProperty("Index", index);
        box->setAccessibleName(nameFromCaption(ProfileCaptions[index]));
        box->setFixedWidth(90);
        label->setBuddy(box);
        const int row = 2 - index;
        grid2->addWidget(label, row, 0);
        grid2->addWidget(box, row, 1);
        txtProfile_[index] = box;
        connect(box, &QLineEdit::textChanged, this, [this, index] { txtProfile_Change(index); });
    }

    // "Data Options".
    auto* frame3 = new QGroupBox(QStringLiteral("Data Options"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* box3 = new QVBoxLayout(frame3);
    chkClear_ = new QCheckBox(QStringLiteral("Clear results after each search"), frame3);
    chkClear_->setObjectName(QStringLiteral("chkClear"));
    chkAuto_ = new QCheckBox(QStringLiteral("Auto-sort data by popularity"), frame3);
    chkAuto_->setObjectName(QStringLiteral("chkAuto"));
    box3->addWidget(chkClear_);
    box3->addWidget(chkAuto_);
    box3->addStretch(1);

    Command1_ = new QPushButton(QStringLiteral("Ok"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    Command1_->setDefault(true);
    Command2_ = new QPushButton(QStringLiteral("Cancel"), this);
    Command2_->setObjectName(QStringLiteral("Command2"));
    Command3_ = new QPushButton(QStringLiteral("Reset"), this);
    Command3_->setObjectName(QStringLiteral("Command3"));
    Command3_->setShortcut(QKeySequence(QStringLiteral("Alt+R")));
    Command3_->setToolTip(QStringLiteral("Restore the default engine addresses and ranks (Alt+R)"));
    for (QPushButton* button : {Command1_, Command2_, Command3_})
        button->setMinimumWidth(90);
    connect(Command1_, &QPushButton::clicked, this, &OptionsDialog::Command1_Click);
    connect(Command2_, &QPushButton::clicked, this, &OptionsDialog::Command2_Click);
    connect(Command3_, &QPushButton::clicked, this, &OptionsDialog::Command3_Click);

    auto* lower = new QHBoxLayout;
    lower->addWidget(frame2, 3);
    lower->addWidget(frame3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3_);
    buttons->addStretch(1);
    buttons->addWidget(Command1_);
    buttons->addWidget(Command2_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addLayout(lower);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order follows the frames from top to bottom.
    QWidget* order[] = {prefix_[0], prefix_[1],     prefix_[2],     prefix_[3],     prefix_[4],
                        prefix_[5], txtProfile_[2], txtProfile_[1], txtProfile_[0], chkClear_,
                        chkAuto_,   Command1_,      Command2_,      Command3_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    Form_Load();
}

void OptionsDialog::Form_Load() {
    const QString settingsIni = ProgramFolder::settingsIni();
    for (int i = 0; i < EngineCount; ++i)
        prefix_[i]->setText(modINI::ReadIniValue(QLatin1String(EnginesSection),
                                                 QLatin1String(engineTable()[i].key), QString(),
                                                 settingsIni));

    // One box after the other, each assignment running the change rule: the boxes start from their
    // designed texts, so the stored high threshold is what medium and high show in the end.
    txtProfile_[0]->setText(readSetting(QLatin1String(settingkeys::LowThreshold)));
    txtProfile_[1]->setText(readSetting(QLatin1String(settingkeys::MediumThreshold)));
    txtProfile_[2]->setText(readSetting(QLatin1String(settingkeys::HighThreshold)));

    chkAuto_->setChecked(readCheck(readSetting(QLatin1String(settingkeys::AutoSort))));
    chkClear_->setChecked(readCheck(readSetting(QLatin1String(settingkeys::ClearResults))));

    if (appState().SkinningOn)
        modSkin::ApplySkin(this);
}

void OptionsDialog::txtProfile_Change(int Index) {
    // The boxes written below run this again; their changes are already part of the chain.
    if (applyingRule_)
        return;
    ProfileTexts texts;
    for (int i = 0; i < 3; ++i)
        texts[i] = txtProfile_[i]->text();
    if (!txtProfileChangeRule(texts, Index))
        return;
    applyingRule_ = true;
    for (int i = 0; i < 3; ++i)
        if (txtProfile_[i]->text() != texts[i])
            txtProfile_[i]->setText(texts[i]);
    applyingRule_ = false;
}

void OptionsDialog::setThresholdTexts(const QString& low, const QString& medium, const QString& high) {
    // Consistent texts set together: run through the rule one by one they would be emptied again
    // whenever another box happened to be empty.
    applyingRule_ = true;
    txtProfile_[0]->setText(low);
    txtProfile_[1]->setText(medium);
    txtProfile_[2]->setText(high);
    applyingRule_ = false;
}

void OptionsDialog::Command1_Click() {
    const QString settingsIni = ProgramFolder::settingsIni();
    for (int i = 0; i < EngineCount; ++i)
        modINI::WritePrivateProfileStringA(QLatin1String(EnginesSection),
                                           QLatin1String(engineTable()[i].key), prefix_[i]->text(),
                                           settingsIni);

    writeSetting(QLatin1String(settingkeys::LowThreshold), txtProfile_[0]->text());
    writeSetting(QLatin1String(settingkeys::MediumThreshold), txtProfile_[1]->text());
    writeSetting(QLatin1String(settingkeys::HighThreshold), txtProfile_[2]->text());
    writeSetting(QLatin1String(settingkeys::AutoSort), checkValue(chkAuto_));
    writeSetting(QLatin1String(settingkeys::ClearResults), checkValue(chkClear_));
    accept();
}

void OptionsDialog::Command2_Click() {
    reject();
}

void OptionsDialog::Command3_Click() {
    if (Prompts::askYesNo(this, QStringLiteral("This will reset all engines, Continue?"),
                          QStringLiteral("Warning"), QMessageBox::Warning)) {
        const QString settingsIni = ProgramFolder::settingsIni();
        for (int i = 0; i < EngineCount; ++i) {
            const QString prefix = QString::fromLatin1(engineTable()[i].defaultPrefix);
            prefix_[i]->setText(prefix);
            modINI::WritePrivateProfileStringA(QLatin1String(EnginesSection),
                                               QLatin1String(engineTable()[i].key), prefix,
                                               settingsIni);
        }
    }
    setThresholdTexts(QString::fromLatin1(DesignedProfileTexts[0]),
                      QString::fromLatin1(DesignedProfileTexts[1]),
                      QString::fromLatin1(DesignedProfileTexts[2]));
}

OptionsDialog* optionsDialog() {
    return openDialog().data();
}

void showOptionsModal(QWidget* owner) {
    if (OptionsDialog* open = openDialog()) {
        bringForward(open);
        return;
    }
    auto* dialog = new OptionsDialog(owner);
    track(dialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void showOptionsModeless() {
    if (OptionsDialog* open = openDialog()) {
        bringForward(open);
        return;
    }
    auto* dialog = new OptionsDialog(nullptr);
    track(dialog);
    dialog->setWindowModality(Qt::NonModal);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void unloadOptionsDialog() {
    if (OptionsDialog* open = openDialog()) {
        openDialog() = nullptr;
        open->hide();
        delete open;
    }
}

} // namespace tally
