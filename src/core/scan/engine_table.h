// The six search engines, always all six and always in this order: the order of the requests for
// each URL, of the engine columns of the results table and of the rows of the web-results list.
#pragma once

#include <QString>

#include <array>

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
};

inline constexpr int EngineCount = 6;

// The section of settings.ini that holds the query prefixes.
inline constexpr const char* EnginesSection = "Engines";

const std::array<EngineInfo, EngineCount>& engineTable();

// settings.ini as shipped: section "Engines" with the six default prefixes, CR LF line ends.
QByteArray defaultSettingsIni();

} // namespace tally
