// What a run counted with: the six slots as they were defined when it started (captions, kinds,
// whether a slot counts into the total, whether it is switched off) and the profile thresholds it
// read. Every row a run writes keeps its run's snapshot, so that what is shown, saved, exported and
// charted for it names and counts its engines as they were when the counts were fetched, whatever
// engines.ini or the thresholds say later.
#pragma once

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/settings/user_settings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace tally {

struct EngineSlotSnapshot {
    QString key;     // its key in section "Engines" of settings.ini
    QString caption; // results column, saved-search section, exports
    QString rowText; // its page among the pages behind a scanned URL
    EngineKind kind = EngineKind::Markers;
    QString countMeaning; // what a count means where the caption does not say it; may be empty
    QString source;       // where its counts come from (EngineDefinition::sourceName)
    QString metric;       // what it counts (EngineDefinition::metricName)
    QString release;      // a link index's web graph release; else empty
    QString problem;      // why its definition cannot work ("engine definition: ..."); else empty
    // A score column when false: shown, saved, exported and charted, never summed into a total
    // or a profile; its value may have decimals.
    bool countsIntoTotal = true;
    // The slot asks nothing: its column says so, and it is in no total, profile, save or export.
    bool switchedOff = false;
};

struct EngineSnapshot {
    std::array<EngineSlotSnapshot, EngineCount> slot;
    // The profile thresholds: a total below low is a low profile, from medium up a high one.
    qint64 low = UserSettings::DefaultLowThreshold;
    qint64 medium = UserSettings::DefaultMediumThreshold;

    // The snapshot of a set of definitions, with the given thresholds.
    static EngineSnapshot of(const EngineSet& engines,
                             qint64 low = UserSettings::DefaultLowThreshold,
                             qint64 medium = UserSettings::DefaultMediumThreshold);
    // The six built-in engines with the default thresholds.
    static std::shared_ptr<const EngineSnapshot> builtIn();

    QStringList captions() const;
    // Whether slot's counts are summed into totals and profiles: a slot that counts into the total
    // and is not switched off.
    bool summed(int slot) const;

    // A row's total: its summed slots' counts added up (each rounded as addRoundedHalfEven
    // does); nothing when none of them gave a count (a row without a count has no total, never
    // 0), or when they add up to more than 64 bits hold (tooLarge; never capped). Over counts
    // already read (a slot without a count: nothing), or over the outcomes as reported.
    struct RowSum {
        std::optional<qint64> total;
        bool tooLarge = false;
    };
    using Counts = std::array<std::optional<qint64>, EngineCount>;
    RowSum sum(const Counts& counts) const;
    RowSum sumOf(const std::array<const EngineOutcome*, EngineCount>& outcomes) const;
    // The profile of a total: 1 low, 2 medium, 3 high; 0 for no total.
    int profile(std::optional<qint64> total) const;
};

// The profile of a total by two thresholds: 1 below low, 3 from medium up, 2 between.
int profileOf(qint64 total, qint64 low, qint64 medium);

} // namespace tally
