// The six engine slots, always all six and always in this order: the order of the requests for
// each URL, of the engine columns of the results table and of the rows of the web-results list.
// This table holds the six search engines the program ships with; engines.ini may redefine any
// slot (engine_definitions.h), and what the program uses is that definition.
#pragma once

#include <QString>

#include <array>
#include <span>

namespace tally {

struct EngineInfo {
    int intEngine;             // 1..6, the selector of ParseEngineData
    const char* key;           // key of the query prefix in section "Engines" of settings.ini
    int resultsColumn;         // 1-based results-table column that receives the count
    const char* columnHeader;  // that column's caption
    const char* webRowText;    // text of the engine's row in the web-results list
    const char* statusSuffix;  // appended to "Scanning " + URL
    const char* querySuffix;   // appended after the URL in the query
    const char* defaultPrefix; // the shipped query prefix (settings.ini, Options' Reset)
    const char* optionsLabel;  // the label of its prefix box in the Options dialog
};

inline constexpr int EngineCount = 6;

// The section of settings.ini that holds the query prefixes.
inline constexpr const char* EnginesSection = "Engines";

const std::array<EngineInfo, EngineCount>& engineTable();

// The section of settings.ini that holds each engine's pacing: the least time in milliseconds
// between two requests to it, by the engine's key. A missing or unreadable value means none.
inline constexpr const char* PacingSection = "Pacing";

// Phrases of the pages an engine sends instead of results when it refuses to answer: a captcha,
// an "unusual traffic" notice, a consent wall. Looked for without regard to letter case, only in
// pages that carry no count. `what` names the page in the reason shown to the user.
struct BlockedPagePhrase {
    const char* phrase;
    const char* what;
};
std::span<const BlockedPagePhrase> blockedPagePhrases();

// settings.ini as shipped: section "Engines" with the six default prefixes, CR LF line ends.
QByteArray defaultSettingsIni();

} // namespace tally
