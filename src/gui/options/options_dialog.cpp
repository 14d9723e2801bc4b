#include "gui/options/options_dialog.h"

#include "core/files/safe_file.h"
#include "core/options/threshold_rule.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/kit/contrast.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

namespace {

// The labels of the threshold boxes by index (the high row is drawn on top).
constexpr const char* ProfileCaptions[3] = {
    QT_TRANSLATE_NOOP("tally::OptionsDialog", "Low Profile if total is less than:"),
    QT_TRANSLATE_NOOP("tally::OptionsDialog", "Medium Profile if total is less than: "),
    QT_TRANSLATE_NOOP("tally::OptionsDialog", "High Profile if total is greater than: "),
};

// The texts the threshold boxes hold before anything is loaded into them: the defaults.
QString designedThresholdText(int index) {
    constexpr qint64 defaults[3] = {UserSettings::DefaultLowThreshold,
                                    UserSettings::DefaultMediumThreshold,
                                    UserSettings::DefaultHighThreshold};
    return QString::number(defaults[index]);
}

// The label of a slot's prefix box: the built-in engines' own labels, or the caption engines.ini
// gives the slot, with a colon.
QString prefixLabel(const EngineDefinition& engine) {
    static constexpr const char* BuiltInLabels[EngineCount] = {
        "Google:", "Altavista:", "Yahoo!:", "Ask:", "MSN:", "AllTheWeb:"};
    if (engine.captionChanged || engine.slot < 0 || engine.slot >= EngineCount)
        return engine.caption + QLatin1Char(':');
    return QLatin1String(BuiltInLabels[engine.slot]);
}

// A control's accessible name from its label: the caption without the closing colon.
QString nameFromCaption(const QString& caption) {
    QString name = caption.trimmed();
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

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Options"));
    setAccessibleName(tr("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(false);

    // Made from top to bottom, the order the dialog's children are found in.
    QGroupBox* engines = makeEnginesFrame();
    QGroupBox* ranks = makeRanksFrame();
    QGroupBox* data = makeDataFrame();
    makeLookBox();
    QHBoxLayout* buttons = makeButtons();
    auto* lower = new QHBoxLayout;
    lower->addWidget(ranks, 3);
    lower->addWidget(data, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(engines);
    layout->addLayout(lower);
    layout->addWidget(desktopLookBox_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab order follows the frames from top to bottom.
    QWidget* order[] = {prefixBoxes_[0],    prefixBoxes_[1],     prefixBoxes_[2],
                        prefixBoxes_[3],    prefixBoxes_[4],     prefixBoxes_[5],
                        sourcesButton_,     checkEnginesButton_, thresholdBoxes_[2],
                        thresholdBoxes_[1], thresholdBoxes_[0],  clearResultsBox_,
                        autoSortBox_,       desktopLookBox_,     okButton_,
                        cancelButton_,      resetButton_};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    load();
}

// "Edit Search Engine URLs": one labelled box per engine, what is wrong in engines.ini and
// the buttons to the engines' check and the Sources window.
QGroupBox* OptionsDialog::makeEnginesFrame() {
    auto* frame1 = new QGroupBox(tr("Edit Search Engine URLs"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* grid1 = new QGridLayout(frame1);
    grid1->setColumnStretch(1, 1);
    for (int i = 0; i < EngineCount; ++i) {
        // The labels follow the slots' captions (engines.ini), set by load().
        const QString caption = prefixLabel(builtInEngines().definitions[i]);
        auto* label = new QLabel(caption, frame1);
        label->setObjectName(QStringLiteral("lblEngine%1").arg(i + 1));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(frame1);
        box->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        box->setAccessibleName(nameFromCaption(caption));
        box->setMinimumWidth(380);
        label->setBuddy(box);
        connect(box, &QLineEdit::textChanged, box, [box] { keepFirstLine(box); });
        grid1->addWidget(label, i, 0);
        grid1->addWidget(box, i, 1);
        prefixLabels_[i] = label;
        prefixBoxes_[i] = box;
    }
    // What is wrong in engines.ini, if anything, and the command that lists every slot.
    engineProblems_ = new QLabel(frame1);
    engineProblems_->setObjectName(QStringLiteral("lblEngineProblems"));
    engineProblems_->setWordWrap(true);
    engineProblems_->setTextFormat(Qt::PlainText);
    skin::setControlKind(engineProblems_, QStringLiteral("Warning")); // its own colour
    engineProblems_->hide();
    checkEnginesButton_ = new QPushButton(tr("Check engines..."), frame1);
    checkEnginesButton_->setObjectName(QStringLiteral("cmdCheckEngines"));
    checkEnginesButton_->setToolTip(
        tr("What each engine column asks, as engines.ini defines it, and whether it "
           "works"));
    connect(checkEnginesButton_, &QPushButton::clicked, this, &OptionsDialog::checkEngines);
    sourcesButton_ = new QPushButton(tr("Sources..."), frame1);
    sourcesButton_->setObjectName(QStringLiteral("cmdSources"));
    sourcesButton_->setToolTip(tr("Pick the source each engine column asks, with its API keys"));
    connect(sourcesButton_, &QPushButton::clicked, this, &OptionsDialog::sourcesRequested);
    auto* checkRow = new QHBoxLayout;
    checkRow->addWidget(engineProblems_, 1);
    checkRow->addStretch(0);
    checkRow->addWidget(sourcesButton_, 0, Qt::AlignRight | Qt::AlignTop);
    checkRow->addWidget(checkEnginesButton_, 0, Qt::AlignRight | Qt::AlignTop);
    grid1->addLayout(checkRow, EngineCount, 0, 1, 2);
    return frame1;
}

// "Define Popularity Ranks": the txtProfile array, index 2 on top and 0 at the bottom.
QGroupBox* OptionsDialog::makeRanksFrame() {
    auto* frame2 = new QGroupBox(tr("Define Popularity Ranks"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* grid2 = new QGridLayout(frame2);
    for (int index = 0; index < 3; ++index) {
        auto* label = new QLabel(tr(ProfileCaptions[index]), frame2);
        label->setObjectName(QStringLiteral("lblProfile%1").arg(index));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* box = new QLineEdit(designedThresholdText(index), frame2);
        box->setObjectName(QStringLiteral("txtProfile%1").arg(index));
        box->setProperty("Index", index);
        box->setAccessibleName(nameFromCaption(tr(ProfileCaptions[index])));
        box->setFixedWidth(90);
        label->setBuddy(box);
        const int row = 2 - index;
        grid2->addWidget(label, row, 0);
        grid2->addWidget(box, row, 1);
        thresholdBoxes_[index] = box;
        connect(box, &QLineEdit::textChanged, this, [this, index] { applyThresholdRule(index); });
    }
    return frame2;
}

// "Data Options".
QGroupBox* OptionsDialog::makeDataFrame() {
    auto* frame3 = new QGroupBox(tr("Data Options"), this);
    frame3->setObjectName(QStringLiteral("Frame3"));
    auto* box3 = new QVBoxLayout(frame3);
    clearResultsBox_ = new QCheckBox(tr("Clear results after each search"), frame3);
    clearResultsBox_->setObjectName(QStringLiteral("chkClear"));
    autoSortBox_ = new QCheckBox(tr("Auto-sort data by popularity"), frame3);
    autoSortBox_->setObjectName(QStringLiteral("chkAuto"));
    box3->addWidget(clearResultsBox_);
    box3->addWidget(autoSortBox_);
    box3->addStretch(1);
    return frame3;
}

// The look: stored and applied at once, as the View menu's item does.
void OptionsDialog::makeLookBox() {
    desktopLookBox_ = new QCheckBox(tr("Use the &desktop's colours and fonts"), this);
    desktopLookBox_->setObjectName(QStringLiteral("chkDesktopLook"));
    desktopLookBox_->setToolTip(tr("The desktop's colour scheme (dark ones too), style and font "
                                   "instead of the program's own light look"));
    desktopLookBox_->setChecked(skin::desktopLook());
    connect(desktopLookBox_, &QCheckBox::toggled, this,
            [this](bool on) { skin::chooseDesktopLook(this, on); });
    connect(skin::notifier(), &skin::LookNotifier::changed, desktopLookBox_, [this](bool on) {
        const QSignalBlocker quiet(desktopLookBox_);
        desktopLookBox_->setChecked(on);
    });
}

// Ok, Cancel and Reset.
QHBoxLayout* OptionsDialog::makeButtons() {
    okButton_ = new QPushButton(tr("Ok"), this);
    okButton_->setObjectName(QStringLiteral("Command1"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("Command2"));
    resetButton_ = new QPushButton(tr("Reset"), this);
    resetButton_->setObjectName(QStringLiteral("Command3"));
    resetButton_->setShortcut(QKeySequence(QStringLiteral("Alt+R")));
    resetButton_->setToolTip(tr("Restore the default engine addresses and ranks (Alt+R)"));
    for (QPushButton* button : {okButton_, cancelButton_, resetButton_})
        button->setMinimumWidth(90);
    connect(okButton_, &QPushButton::clicked, this, &OptionsDialog::saveAndClose);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(resetButton_, &QPushButton::clicked, this, &OptionsDialog::resetToDefaults);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(resetButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    return buttons;
}

void OptionsDialog::load() {
    const QString settingsIni = ProgramFolder::settingsIni();
    // A file that cannot be read shows its defaults; Ok would then fail to write it, so say so now.
    const std::pair<QString, qint64> files[] = {{settingsIni, SettingsFileLimit},
                                                {userSettingsFile(), SettingsFileLimit}};
    for (const auto& [file, limit] : files) {
        const FileContents contents = readFileBounded(file, limit);
        if (contents.status == FileContents::Status::Refused)
            Prompts::fileProblem(parentWidget(), tr("The options could not be read from"), file,
                                 contents.reason);
    }
    // settings.ini read once for the six boxes.
    const modINI::IniDocument settings = modINI::IniDocument::load(settingsIni);
    for (int i = 0; i < EngineCount; ++i)
        prefixBoxes_[i]->setText(settings.value(QLatin1String(EnginesSection),
                                                QLatin1String(engineTable()[i].key), QString()));
    reloadEngines();

    // One box after the other, each assignment running the change rule: the boxes start from their
    // designed texts, so the stored high threshold is what medium and high show in the end.
    thresholdBoxes_[0]->setText(UserSettings::lowThresholdText());
    thresholdBoxes_[1]->setText(UserSettings::mediumThresholdText());
    thresholdBoxes_[2]->setText(UserSettings::highThresholdText());

    autoSortBox_->setChecked(UserSettings::autoSortByTotal());
    clearResultsBox_->setChecked(UserSettings::clearResultsBeforeScan());

    skin::skinWindow(this);
    colourProblems();
}

void OptionsDialog::reloadEngines() {
    // The slots as engines.ini defines them: their labels, and what is wrong with any of them.
    const EngineSet engines = programEngines();
    QStringList problems;
    for (int i = 0; i < EngineCount; ++i) {
        const EngineDefinition& engine = engines.definitions[i];
        // A caption of the user's own: an "&" in it is shown, not taken as a shortcut mark.
        const QString label = prefixLabel(engine);
        prefixLabels_[i]->setText(QString(label).replace(QLatin1Char('&'), QStringLiteral("&&")));
        prefixBoxes_[i]->setAccessibleName(nameFromCaption(label));
        if (!engine.usable())
            problems << engine.caption + QStringLiteral(": ") + engine.failureReason();
    }
    for (const QString& problem : engines.fileProblems)
        problems << QLatin1String(EnginesIniName) + QStringLiteral(": ") + problem;
    engineProblems_->setText(problems.join(QLatin1Char('\n')));
    engineProblems_->setVisible(!problems.isEmpty());
}

void OptionsDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        colourProblems();
}

void OptionsDialog::colourProblems() {
    QPalette colours = engineProblems_->palette();
    const QColor red = readableOn(QColor(0xa0, 0x00, 0x00), palette().color(QPalette::Window));
    if (colours.color(QPalette::WindowText) == red)
        return;
    colours.setColor(QPalette::Active, QPalette::WindowText, red);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, red);
    engineProblems_->setPalette(colours);
}

void OptionsDialog::applyThresholdRule(int index) {
    // The boxes written below run this again; their changes are already part of the chain.
    if (applyingRule_)
        return;
    ProfileTexts texts;
    for (int i = 0; i < 3; ++i)
        texts[i] = thresholdBoxes_[i]->text();
    if (!thresholdChangeRule(texts, index))
        return;
    applyingRule_ = true;
    for (int i = 0; i < 3; ++i)
        if (thresholdBoxes_[i]->text() != texts[i])
            thresholdBoxes_[i]->setText(texts[i]);
    applyingRule_ = false;
}

void OptionsDialog::setThresholdTexts(const QString& low, const QString& medium,
                                      const QString& high) {
    // Consistent texts set together: run through the rule one by one they would be emptied again
    // whenever another box happened to be empty.
    applyingRule_ = true;
    thresholdBoxes_[0]->setText(low);
    thresholdBoxes_[1]->setText(medium);
    thresholdBoxes_[2]->setText(high);
    applyingRule_ = false;
}

void OptionsDialog::saveAndClose() {
    // All six prefixes in one replacement of settings.ini, then the store values in one of the
    // store's file; the dialog stays open on a failure, so that nothing typed is lost.
    const QString settingsIni = ProgramFolder::settingsIni();
    modINI::IniFileEdit edit(settingsIni);
    for (int i = 0; i < EngineCount; ++i)
        edit.writePrivateProfileString(QLatin1String(EnginesSection),
                                       QLatin1String(engineTable()[i].key),
                                       prefixBoxes_[i]->text());
    if (const FileOutcome outcome = edit.save(); !outcome) {
        reportWriteFailure(tr("The engine addresses could not be saved to"), settingsIni, outcome);
        return;
    }

    UserSettings::StoredOptions options;
    options.lowThreshold = thresholdBoxes_[0]->text();
    options.mediumThreshold = thresholdBoxes_[1]->text();
    options.highThreshold = thresholdBoxes_[2]->text();
    options.autoSortByTotal = autoSortBox_->isChecked();
    options.clearResultsBeforeScan = clearResultsBox_->isChecked();
    if (const FileOutcome outcome = UserSettings::saveOptions(options); !outcome) {
        reportWriteFailure(tr("The profile ranks and data options could not be saved to"),
                           userSettingsFile(), outcome);
        return;
    }
    accept();
}

void OptionsDialog::resetToDefaults() {
    if (Prompts::askYesNo(this, tr("This will reset all engines, Continue?"), tr("Warning"),
                          QMessageBox::Warning)) {
        const QString settingsIni = ProgramFolder::settingsIni();
        modINI::IniFileEdit edit(settingsIni);
        for (int i = 0; i < EngineCount; ++i) {
            const QString prefix = QString::fromLatin1(engineTable()[i].defaultPrefix);
            prefixBoxes_[i]->setText(prefix);
            edit.writePrivateProfileString(QLatin1String(EnginesSection),
                                           QLatin1String(engineTable()[i].key), prefix);
        }
        if (const FileOutcome outcome = edit.save(); !outcome)
            reportWriteFailure(tr("The default engine addresses could not be saved to"),
                               settingsIni, outcome);
    }
    setThresholdTexts(designedThresholdText(0), designedThresholdText(1), designedThresholdText(2));
}

void OptionsDialog::checkEngines() {
    const EngineSet engines = programEngines();
    bool allWork = engines.fileProblems.isEmpty();
    for (const EngineDefinition& engine : engines.definitions)
        allWork = allWork && engine.usable();
    Prompts::message(this, engines.describe().join(QLatin1Char('\n')), tr("Check engines"),
                     allWork ? QMessageBox::Information : QMessageBox::Warning);
}

void OptionsDialog::reportWriteFailure(const QString& what, const QString& file,
                                       const FileOutcome& outcome) {
    Prompts::fileProblem(this, what, file, outcome.reason());
}

} // namespace tally
