// The Sources window (object name "frmSources"): what each of the six engine columns asks, a
// choice to change it (the built-in engine, a shipped preset by its source's name, off; a custom
// definition of engines.ini left as it is), the API keys the choice needs, and Test: one request
// for a typed URL, shown as the scan would read it. Ok writes engines.ini (one slot's section at a
// time, everything else in the file kept) and the keys into the per-user store's section Keys;
// Cancel changes nothing.
#pragma once

#include "core/scan/engine_definitions.h"
#include "core/sources/engines_ini_edit.h"
#include "gui/sources/common_crawl_dialog.h"

#include <QDialog>
#include <QHash>
#include <QPointer>

#include <array>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tally {

class PageFetcher;
class SourceProbe;
struct ProbeReport;

class SourcesDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog asks through its own network fetcher.
    explicit SourcesDialog(QWidget* parent = nullptr);
    ~SourcesDialog() override;

    CommonCrawlDialog* commonCrawlDialog() const { return commonCrawl_; }

public Q_SLOTS:
    // Ok: writes what changed and closes; a failed write is reported and the dialog stays open.
    void saveAndClose();
    // Test of a slot (0..5) for the URL typed.
    void testSlot(int slot);
    // The Common Crawl window, over this one.
    void showCommonCrawl();

Q_SIGNALS:
    // engines.ini was written: the engine columns may have changed.
    void enginesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int KeyFields = 2;
    struct Row {
        QLabel* name = nullptr;
        QLabel* now = nullptr;
        QComboBox* choice = nullptr;
        std::array<QLabel*, KeyFields> keyLabels{};
        std::array<QLineEdit*, KeyFields> keys{};
        QPushButton* test = nullptr;
        QString caption;      // the slot's caption now
        QString sectionText;  // its section as the file holds it
        SlotChoice original;  // what the section says
        QStringList keyNames; // the keys the current choice asks for
        int shown = -1;       // the choice's index while it stands
    };

    void buildRow(int slot, QGridLayout* grid);
    void showNow(const EngineSet& engines);
    bool refuseTwice(int slot);
    struct PresetChoice;
    void fillChoices(int slot, const QList<PresetChoice>& choices);
    QList<PresetChoice> presetChoices(const QStringList& presets);
    QGroupBox* makeColumnsFrame(const EngineSet& engines, const QStringList& presets,
                                const QList<PresetChoice>& choices);
    QGroupBox* makeTestFrame();
    QHBoxLayout* makeButtons();
    SlotChoice currentChoice(int slot) const;
    // The section text the current choice stands for.
    QString currentSection(int slot) const;
    void choiceChanged(int slot);
    void showReport(const ProbeReport& report);
    void commonCrawlReady();

    EnginesIniEdit file_;
    QString enginesIni_;
    QHash<QString, QString> presetSources_; // the source (its caption) of each preset
    std::array<Row, 6> rows_;
    QHash<QString, QString> typedKeys_; // by key name, as typed (the stored ones to begin with)
    QLineEdit* testUrl_ = nullptr;
    QLabel* testSummary_ = nullptr;
    QPlainTextEdit* testResult_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* commonCrawlButton_ = nullptr;
    QPointer<CommonCrawlDialog> commonCrawl_;
    PageFetcher* fetcher_ = nullptr;
    SourceProbe* probe_ = nullptr;
    int testedSlot_ = -1;
};

} // namespace tally
