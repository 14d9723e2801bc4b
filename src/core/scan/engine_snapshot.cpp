#include "core/scan/engine_snapshot.h"

#include "core/numbers/numbers.h"

namespace tally {

EngineSnapshot EngineSnapshot::of(const EngineSet& engines, qint64 low, qint64 medium) {
    EngineSnapshot snapshot;
    snapshot.low = low;
    snapshot.medium = medium;
    for (int s = 0; s < EngineCount; ++s) {
        const EngineDefinition& d = engines.definitions[s];
        EngineSlotSnapshot& engine = snapshot.slot[s];
        engine.key = d.key;
        engine.caption = d.caption;
        engine.rowText = d.rowText;
        engine.kind = d.kind;
        engine.countMeaning = d.countMeaning();
        engine.source = d.sourceName();
        engine.metric = d.metricName();
        engine.release = d.kind == EngineKind::Graph ? d.release : QString();
        engine.problem = d.usable() ? QString() : d.failureReason();
        engine.countsIntoTotal = d.countsIntoTotal;
        engine.switchedOff = d.switchedOff;
    }
    return snapshot;
}

std::shared_ptr<const EngineSnapshot> EngineSnapshot::builtIn() {
    static const std::shared_ptr<const EngineSnapshot> snapshot =
        std::make_shared<const EngineSnapshot>(of(builtInEngines()));
    return snapshot;
}

QStringList EngineSnapshot::captions() const {
    QStringList list;
    for (const EngineSlotSnapshot& s : slot)
        list << s.caption;
    return list;
}

bool EngineSnapshot::summed(int s) const {
    return s >= 0 && s < EngineCount && slot[s].countsIntoTotal && !slot[s].switchedOff;
}

namespace {

EngineSnapshot::Counts countsOf(const std::array<const EngineOutcome*, EngineCount>& outcomes) {
    EngineSnapshot::Counts counts;
    for (int s = 0; s < EngineCount; ++s)
        if (outcomes[s] && outcomes[s]->isCount())
            counts[s] = readRoundedNumber(outcomes[s]->count);
    return counts;
}

} // namespace

EngineSnapshot::RowSum
EngineSnapshot::sumOf(const std::array<const EngineOutcome*, EngineCount>& outcomes) const {
    return sum(countsOf(outcomes));
}

EngineSnapshot::RowSum EngineSnapshot::sum(const Counts& counts) const {
    RowSum sum;
    qint64 running = 0;
    bool any = false;
    for (int s = 0; s < EngineCount; ++s) {
        if (!summed(s) || !counts[s])
            continue;
        any = true;
        if (__builtin_add_overflow(running, *counts[s], &running)) {
            sum.tooLarge = true;
            return sum;
        }
    }
    if (any)
        sum.total = running;
    return sum;
}

int EngineSnapshot::profile(std::optional<qint64> total) const {
    return total ? profileOf(*total, low, medium) : 0;
}

int profileOf(qint64 total, qint64 low, qint64 medium) {
    if (total < low)
        return 1;
    return total >= medium ? 3 : 2;
}

} // namespace tally
