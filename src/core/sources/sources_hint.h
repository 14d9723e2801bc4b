// When the main window offers the Sources window in its hint bar: on a fresh start (no engines.ini
// and nothing saved yet), or after a scan in which every request to a built-in engine's own
// address failed. Once the user closed the bar or followed it, it stays away
// (UserSettings::sourcesHintDone).
#pragma once

#include "core/results/results_model.h"
#include "core/scan/engine_definitions.h"

#include <array>

namespace tally {

// The slots that ask a built-in engine at its own address: the built-in definition, and a
// settings.ini prefix on the engine's own host (not a mirror the user set).
std::array<bool, EngineCount> slotsAskingBuiltInEngines(const EngineSet& engines,
                                                        const QString& settingsIni);

// Whether the rows hold at least one request of those slots and every one of them failed
// (stopped requests and unfinished rows left aside).
bool builtInEnginesAllFailed(const std::array<bool, EngineCount>& builtIn,
                             const ResultRecords& rows);

// A fresh start: the program folder has no engines.ini and no saved search.
bool isFreshStart(const QString& programFolder);

// Whether the hint is due now: not yet closed or followed, and one of the two reasons holds.
bool sourcesHintDue(bool freshStartOrAllFailed);

} // namespace tally
