// The six engine slots, always all six and always in this order (slots 0..5): the order of the
// requests for each URL, of the saved-search sections of a new saved search, of the engines in
// the exports and of the pages behind a scanned URL.
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
    const char* caption;       // the engine's name: its results column, its saved-search section
    const char* webRowText;    // the name of its result page among the pages behind a URL
    const char* statusSuffix;  // appended to "Scanning " + URL
    const char* querySuffix;   // appended after the URL in the query
    const char* defaultPrefix; // the shipped query prefix (settings.ini, Options' Reset)
};

inline constexpr int EngineCount = 6;

// The section of settings.ini that holds the query prefixes.
inline constexpr const char* EnginesSection = "Engines";

const std::array<EngineInfo, EngineCount>& engineTable();
// Whether `key` is a built-in engine's key (exactly, as settings.ini writes it).
bool isBuiltInEngineKey(const QString& key);

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
