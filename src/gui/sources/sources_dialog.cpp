#include "gui/sources/sources_dialog.h"

#include "core/net/network_page_fetcher.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_presets.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "core/sources/source_probe.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/prompts.h"
#include "gui/kit/skin.h"
#include "gui/kit/windows.h"
#include "gui/sources/common_crawl_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tally {

namespace {

// The choices' data in the combo boxes.
const QString BuiltInData = QStringLiteral("builtin");
const QString OffData = QStringLiteral("off");
const QString CustomData = QStringLiteral("custom");
const QString PresetPrefix = QStringLiteral("preset:");
// The local link index of a web graph, by the name users know it by.
const QString CommonCrawlPreset = QStringLiteral("commoncrawl");

QString presetSection(const QString& preset) {
    return QStringLiteral("Preset=") + preset;
}

} // namespace

// Each shipped preset as the choices show it, read once for all six rows.
struct SourcesDialog::PresetChoice {
    QString preset, text, about;
};

SourcesDialog::SourcesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSources"));
    setWindowTitle(tr("Sources"));
    setAttribute(Qt::WA_DeleteOnClose);

    enginesIni_ = enginesIniBeside(ProgramFolder::settingsIni());
    file_ = EnginesIniEdit::load(enginesIni_);
    const EngineSet engines = programEngines();
    const QStringList presets = presetNames();
    const QList<PresetChoice> choices = presetChoices(presets);

    auto* intro = new QLabel(
        tr("Each column of the results asks one source. The built-in search engines no longer "
           "report link counts: pick a backlink API for a column, give its key and press Test."),
        this);
    intro->setObjectName(QStringLiteral("lblSourcesIntro"));
    intro->setWordWrap(true);

    QGroupBox* columns = makeColumnsFrame(engines, presets, choices);
    showNow(engines);
    QGroupBox* test = makeTestFrame();
    QHBoxLayout* buttons = makeButtons();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(columns);
    layout->addWidget(test, 1);
    layout->addLayout(buttons);

    // Row by row, then the URL, the details and the buttons.
    QList<QWidget*> order;
    for (const Row& row : rows_) {
        order << row.choice;
        for (QLineEdit* key : row.keys)
            order << key;
        order << row.test;
    }
    order << testUrl_ << testResult_ << commonCrawlButton_ << okButton_ << cancelButton_;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Enter in the URL field tests (the column tested last, else the first that asks a source):
    // it never presses Ok, which would close the window having tested nothing.
    testUrl_->installEventFilter(this);

    fetcher_ = new NetworkPageFetcher(this);
    probe_ = new SourceProbe(fetcher_, this);
    connect(probe_, &SourceProbe::finished, this, &SourcesDialog::showReport);

    skin::skinWindow(this);
    sizeToContents(this, QSize(900, 680));
    rows_[0].choice->setFocus();
}

// Each shipped preset as the choices show it; the source each preset asks noted.
QList<SourcesDialog::PresetChoice> SourcesDialog::presetChoices(const QStringList& presets) {
    QList<PresetChoice> choices;
    QHash<QString, int> captionUses;
    QList<EngineDefinition> definitions;
    for (const QString& preset : presets) {
        definitions.append(
            definitionFromSection(0, presetSection(preset), ProgramFolder::path(), {}));
        ++captionUses[definitions.last().caption];
        presetSources_.insert(preset, definitions.last().caption);
    }
    for (qsizetype i = 0; i < presets.size(); ++i) {
        const EngineDefinition& d = definitions.at(i);
        // One source asked in two ways (Moz's token or its legacy pair): told apart by the keys.
        const QString text = presets.at(i) == CommonCrawlPreset ? tr("Common Crawl (free, no key)")
                             : captionUses.value(d.caption) > 1
                                 ? tr("%1 (%2)").arg(d.caption, d.keyNames().join(tr(", ")))
                                 : d.caption;
        choices.append({presets.at(i), text, d.about});
    }
    return choices;
}

// One row per engine column: its source, its keys and its Test button.
QGroupBox* SourcesDialog::makeColumnsFrame(const EngineSet& engines, const QStringList& presets,
                                           const QList<PresetChoice>& choices) {
    auto* columns = new QGroupBox(tr("Engine columns"), this);
    columns->setObjectName(QStringLiteral("fraSlots"));
    auto* grid = new QGridLayout(columns);
    grid->setColumnStretch(1, 1);
    for (int slot = 0; slot < EngineCount; ++slot) {
        Row& row = rows_[slot];
        const EngineDefinition& d = engines.definitions[slot];
        row.caption = d.caption;
        row.sectionText = file_.sectionText(d.key);
        row.original = file_.sectionCount(d.key) > 1
                           ? SlotChoice{SlotChoice::Kind::Custom, {}, {}, {}}
                           : slotChoiceOf(row.sectionText, presets);
        if (!file_.ok())
            row.original.kind = SlotChoice::Kind::Custom;
        buildRow(slot, grid);
        fillChoices(slot, choices);
    }

    return columns;
}

// Test: one request of a column for a URL.
QGroupBox* SourcesDialog::makeTestFrame() {
    auto* test = new QGroupBox(tr("Test"), this);
    test->setObjectName(QStringLiteral("fraTest"));
    auto* urlLabel = new QLabel(tr("&URL to test with:"), test);
    testUrl_ = new QLineEdit(test);
    testUrl_->setObjectName(QStringLiteral("txtTestUrl"));
    testUrl_->setAccessibleName(tr("URL to test with"));
    testUrl_->setPlaceholderText(QStringLiteral("https://www.example.com/"));
    urlLabel->setBuddy(testUrl_);
    testSummary_ = new QLabel(tr("Press Test beside a column to ask its source once."), test);
    testSummary_->setObjectName(QStringLiteral("lblTestSummary"));
    testSummary_->setAccessibleDescription(tr("Test result"));
    testSummary_->setWordWrap(true);
    testSummary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    testResult_ = new QPlainTextEdit(test);
    testResult_->setObjectName(QStringLiteral("txtTestResult"));
    testResult_->setAccessibleName(tr("Test details"));
    testResult_->setReadOnly(true);
    testResult_->setTabChangesFocus(true);
    testResult_->setMinimumHeight(150);
    auto* urlRow = new QHBoxLayout;
    urlRow->addWidget(urlLabel);
    urlRow->addWidget(testUrl_, 1);
    auto* testColumn = new QVBoxLayout(test);
    testColumn->addLayout(urlRow);
    testColumn->addWidget(testSummary_);
    testColumn->addWidget(testResult_, 1);
    return test;
}

// Common Crawl's download, Ok and Cancel.
QHBoxLayout* SourcesDialog::makeButtons() {
    okButton_ = new QPushButton(tr("&Ok"), this);
    okButton_->setObjectName(QStringLiteral("cmdOk"));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(tr("Ca&ncel"), this);
    cancelButton_->setObjectName(QStringLiteral("cmdCancel"));
    connect(okButton_, &QPushButton::clicked, this, &SourcesDialog::saveAndClose);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    commonCrawlButton_ = new QPushButton(tr("Download &Common Crawl..."), this);
    commonCrawlButton_->setObjectName(QStringLiteral("cmdCommonCrawl"));
    commonCrawlButton_->setToolTip(
        tr("Fetch the free Common Crawl web graph and make the link index its columns read"));
    connect(commonCrawlButton_, &QPushButton::clicked, this, &SourcesDialog::showCommonCrawl);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(commonCrawlButton_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    return buttons;
}

SourcesDialog::~SourcesDialog() = default;

bool SourcesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == testUrl_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            int slot = testedSlot_;
            for (int s = 0; s < EngineCount && slot < 0; ++s)
                if (rows_[s].choice->currentData().toString().startsWith(PresetPrefix))
                    slot = s;
            testSlot(slot < 0 ? 0 : slot);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SourcesDialog::buildRow(int slot, QGridLayout* grid) {
    Row& row = rows_[slot];
    const int line = slot * 2;
    row.name = new QLabel(QStringLiteral("&%1 %2:").arg(slot + 1).arg(
                              QString(row.caption).replace(QLatin1Char('&'), QStringLiteral("&&"))),
                          grid->parentWidget());
    row.name->setObjectName(QStringLiteral("lblSlot%1").arg(slot + 1));
    row.choice = new QComboBox(grid->parentWidget());
    row.choice->setObjectName(QStringLiteral("cmbSource%1").arg(slot + 1));
    row.choice->setAccessibleName(tr("Source of column %1").arg(row.caption));
    row.name->setBuddy(row.choice);
    connect(row.choice, &QComboBox::currentIndexChanged, this, [this, slot] {
        if (refuseTwice(slot))
            return;
        rows_[slot].shown = rows_[slot].choice->currentIndex();
        choiceChanged(slot);
    });
    row.now = new QLabel(grid->parentWidget());
    row.now->setObjectName(QStringLiteral("lblNow%1").arg(slot + 1));
    row.now->setWordWrap(true);
    row.now->setEnabled(true);
    QFont small = row.now->font();
    small.setItalic(true);
    row.now->setFont(small);
    grid->addWidget(row.name, line, 0);
    grid->addWidget(row.choice, line, 1);
    for (int k = 0; k < KeyFields; ++k) {
        row.keyLabels[k] = new QLabel(grid->parentWidget());
        row.keyLabels[k]->setObjectName(QStringLiteral("lblKey%1_%2").arg(slot + 1).arg(k + 1));
        row.keys[k] = new QLineEdit(grid->parentWidget());
        row.keys[k]->setObjectName(QStringLiteral("txtKey%1_%2").arg(slot + 1).arg(k + 1));
        row.keys[k]->setEchoMode(QLineEdit::Password);
        row.keys[k]->setMinimumWidth(130);
        row.keyLabels[k]->setBuddy(row.keys[k]);
        grid->addWidget(row.keyLabels[k], line, 2 + 2 * k);
        grid->addWidget(row.keys[k], line, 3 + 2 * k);
        connect(row.keys[k], &QLineEdit::textEdited, this, [this, slot, k](const QString& text) {
            const QString name = rows_[slot].keyNames.value(k);
            typedKeys_.insert(name, text);
            // The same key in another row shows the same value.
            for (int other = 0; other < EngineCount; ++other)
                for (int j = 0; j < KeyFields; ++j)
                    if ((other != slot || j != k) && rows_[other].keyNames.value(j) == name)
                        rows_[other].keys[j]->setText(text);
        });
    }
    row.test = new QPushButton(tr("&Test"), grid->parentWidget());
    row.test->setObjectName(QStringLiteral("cmdTest%1").arg(slot + 1));
    row.test->setAccessibleName(tr("Test column %1").arg(row.caption));
    row.test->setToolTip(tr("Ask this column's source once for the URL below"));
    connect(row.test, &QPushButton::clicked, this, [this, slot] { testSlot(slot); });
    grid->addWidget(row.test, line, 6);
    grid->addWidget(row.now, line + 1, 1, 1, 6);
}

// A preset counts in one column only: two columns of one provider would share its key and
// quota, and engines.ini could not tell their captions apart. A second pick is refused, saying
// which column has it.
bool SourcesDialog::refuseTwice(int slot) {
    Row& row = rows_[slot];
    const QString data = row.choice->currentData().toString();
    if (!data.startsWith(PresetPrefix))
        return false;
    // The same source however it is asked (a preset, or another preset of the same source).
    auto sourceOf = [this](const QString& choiceData) {
        return presetSources_.value(choiceData.mid(PresetPrefix.size()), choiceData);
    };
    for (int other = 0; other < EngineCount; ++other) {
        const QString otherData = rows_[other].choice->currentData().toString();
        if (other == slot || !otherData.startsWith(PresetPrefix) ||
            sourceOf(otherData) != sourceOf(data))
            continue;
        const QString source = row.choice->currentText();
        {
            const QSignalBlocker block(row.choice);
            row.choice->setCurrentIndex(row.shown);
        }
        accessibility::announce(testSummary_,
                                tr("%1 counts in column %2 (%3) already; a source can count in one "
                                   "column only.")
                                    .arg(source)
                                    .arg(other + 1)
                                    .arg(rows_[other].caption));
        return true;
    }
    return false;
}

void SourcesDialog::fillChoices(int slot, const QList<PresetChoice>& choices) {
    Row& row = rows_[slot];
    QComboBox* box = row.choice;
    const QSignalBlocker block(box);
    box->clear();
    box->addItem(
        tr("Built-in engine %1 (no longer reports link counts)").arg(engineTable()[slot].caption),
        BuiltInData);
    for (const PresetChoice& choice : choices) {
        box->addItem(choice.text, PresetPrefix + choice.preset);
        box->setItemData(box->count() - 1, choice.about, Qt::ToolTipRole);
    }
    box->addItem(tr("Off (asks nothing)"), OffData);
    if (row.original.kind == SlotChoice::Kind::Custom)
        box->addItem(tr("Custom definition in engines.ini (left as it is)"), CustomData);
    QString data;
    switch (row.original.kind) {
    case SlotChoice::Kind::BuiltIn:
        data = BuiltInData;
        break;
    case SlotChoice::Kind::Preset:
        data = PresetPrefix + row.original.preset;
        break;
    case SlotChoice::Kind::Off:
        data = OffData;
        break;
    case SlotChoice::Kind::Custom:
        data = CustomData;
        break;
    }
    box->setCurrentIndex(box->findData(data));
    row.shown = box->currentIndex();
    choiceChanged(slot);
}

SlotChoice SourcesDialog::currentChoice(int slot) const {
    const Row& row = rows_[slot];
    const QString data = row.choice->currentData().toString();
    SlotChoice picked;
    if (data == CustomData)
        return row.original;
    if (data == OffData)
        picked.kind = SlotChoice::Kind::Off;
    else if (data.startsWith(PresetPrefix)) {
        picked.kind = SlotChoice::Kind::Preset;
        picked.preset = data.mid(PresetPrefix.size());
    }
    return choiceAfterPick(row.original, picked);
}

QString SourcesDialog::currentSection(int slot) const {
    const SlotChoice choice = currentChoice(slot);
    if (choice.kind == SlotChoice::Kind::Custom)
        return rows_[slot].sectionText;
    return sectionLinesOf(choice).join(QStringLiteral("\r\n"));
}

void SourcesDialog::choiceChanged(int slot) {
    Row& row = rows_[slot];
    const EngineDefinition d =
        definitionFromSection(slot, currentSection(slot), ProgramFolder::path(), typedKeys_);
    row.keyNames = d.keyNames();
    for (int k = 0; k < KeyFields; ++k) {
        const bool shown = k < row.keyNames.size();
        row.keys[k]->setVisible(shown);
        row.keyLabels[k]->setVisible(shown);
        if (!shown)
            continue;
        const QString name = row.keyNames[k];
        if (!typedKeys_.contains(name))
            typedKeys_.insert(name, UserSettings::apiKey(name));
        row.keyLabels[k]->setText(tr("Key %1:").arg(name));
        row.keys[k]->setAccessibleName(tr("Key %1 of column %2").arg(name, row.caption));
        row.keys[k]->setText(typedKeys_.value(name));
    }
}

void SourcesDialog::testSlot(int slot) {
    // An empty field tests the example it shows.
    QString url = testUrl_->text().trimmed();
    if (url.isEmpty())
        url = testUrl_->placeholderText();
    testedSlot_ = slot;
    const EngineDefinition d =
        definitionFromSection(slot, currentSection(slot), ProgramFolder::path(), typedKeys_);
    const QString prefix = modINI::IniDocument::load(ProgramFolder::settingsIni())
                               .value(QLatin1String(EnginesSection),
                                      QLatin1String(engineTable()[slot].key), QString());
    testResult_->clear();
    accessibility::announce(
        testSummary_, tr("Testing %1 with %2...").arg(rows_[slot].choice->currentText(), url));
    probe_->start(d, prefix, url, typedKeys_);
}

void SourcesDialog::showReport(const ProbeReport& report) {
    const QString source = testedSlot_ >= 0 ? rows_[testedSlot_].choice->currentText() : QString();
    const QString value = report.outcome.isCount()
                              ? tr("%1: value %2").arg(source, report.outcome.count)
                              : tr("%1: no value. %2").arg(source, report.outcome.reason);
    accessibility::announce(testSummary_, value);
    QStringList lines;
    if (report.requested) {
        lines << tr("Address: %1").arg(report.address);
        lines << (report.status ? tr("Status: %1 %2").arg(report.status).arg(report.statusText)
                                : tr("Status: no reply"));
    } else {
        lines << tr("No request: %1")
                     .arg(report.outcome.isCount() ? report.outcome.note : report.outcome.reason);
    }
    lines << (report.outcome.isCount() ? tr("Value read: %1").arg(report.outcome.count)
                                       : tr("Value read: none"));
    lines << tr("Reason: %1")
                 .arg(report.outcome.isCount()
                          ? (report.outcome.note.isEmpty() ? tr("a count") : report.outcome.note)
                          : report.outcome.reason);
    if (report.requested) {
        lines << QString() << tr("Answer (first 2 KB):");
        lines << report.excerpt;
    }
    testResult_->setPlainText(lines.join(QLatin1Char('\n')));
}

// What each slot is now, in words, with what keeps it from counting.
void SourcesDialog::showNow(const EngineSet& engines) {
    for (int slot = 0; slot < EngineCount; ++slot) {
        const Row& row = rows_[slot];
        const EngineDefinition& d = engines.definitions[slot];
        QString now;
        switch (row.original.kind) {
        case SlotChoice::Kind::BuiltIn:
            now = tr("Now: the built-in engine %1, which no longer reports link counts")
                      .arg(d.caption);
            break;
        case SlotChoice::Kind::Preset:
            now = tr("Now: %1 (preset %2)").arg(d.caption, d.preset);
            break;
        case SlotChoice::Kind::Off:
            now = tr("Now: off (it asks nothing)");
            break;
        case SlotChoice::Kind::Custom:
            now = d.kind == EngineKind::Graph
                      ? tr("Now: a link index of your own (%1), left as engines.ini defines it")
                            .arg(d.caption)
                      : tr("Now: a custom definition (%1), left as engines.ini defines it")
                            .arg(d.caption);
            break;
        }
        if (!d.usable() && !d.switchedOff)
            now += QStringLiteral("; ") + d.failureReason();
        row.now->setText(now);
    }
}

void SourcesDialog::showCommonCrawl() {
    auto* window = new CommonCrawlDialog(this);
    window->setWindowModality(Qt::WindowModal);
    commonCrawl_ = window;
    connect(window, &CommonCrawlDialog::indexReady, this, &SourcesDialog::commonCrawlReady);
    // A download may have made the index a column was waiting for: said as the window closes.
    connect(window, &QDialog::finished, this, [this] { showNow(programEngines()); });
    window->show();
}

void SourcesDialog::commonCrawlReady() {
    // A column already on Common Crawl reads the new index at the next scan; otherwise the first
    // column still on its built-in engine is offered it (Ok keeps the choice, Cancel does not).
    const QString data = PresetPrefix + CommonCrawlPreset;
    for (const Row& row : rows_)
        if (row.choice->currentData().toString().startsWith(data))
            return;
    for (int slot = 0; slot < EngineCount; ++slot) {
        QComboBox* box = rows_[slot].choice;
        const int index = box->findData(data);
        if (box->currentData().toString() != BuiltInData || index < 0)
            continue;
        box->setCurrentIndex(index);
        accessibility::announce(
            testSummary_,
            tr("Column %1 now counts with Common Crawl; Ok keeps it.").arg(rows_[slot].caption));
        return;
    }
}

void SourcesDialog::saveAndClose() {
    // engines.ini as it is now: what another program wrote there while the window was open is
    // kept, and only the columns changed here are written over it.
    EnginesIniEdit file = EnginesIniEdit::load(enginesIni_);
    for (int slot = 0; slot < EngineCount; ++slot) {
        const SlotChoice choice = currentChoice(slot);
        if (choice.kind == SlotChoice::Kind::Custom || choice == rows_[slot].original)
            continue;
        file.setSection(engineTable()[slot].key, sectionLinesOf(choice));
    }
    const bool enginesChanged = file.changed();
    if (const FileOutcome outcome = file.save(); !outcome) {
        Prompts::fileProblem(this, tr("The sources could not be saved to"), enginesIni_,
                             outcome.reason());
        return;
    }
    // The keys the chosen sources use, where they differ from the stored ones.
    QList<QPair<QString, QString>> keys;
    QStringList seen;
    for (const Row& row : rows_)
        for (const QString& name : row.keyNames) {
            if (seen.contains(name))
                continue;
            seen << name;
            const QString typed = typedKeys_.value(name);
            if (typed != UserSettings::apiKey(name))
                keys.append({name, typed});
        }
    if (const FileOutcome outcome = UserSettings::setApiKeys(keys); !outcome) {
        Prompts::fileProblem(this, tr("The API keys could not be saved to"), userSettingsFile(),
                             outcome.reason());
        return;
    }
    if (enginesChanged)
        Q_EMIT this->enginesChanged();
    accept();
}

} // namespace tally
