// What each of the six engine slots is: the engine table's built-in engines, with whatever
// engines.ini (beside settings.ini) changes about them.
//
// engines.ini has one section per slot, named by the slot's key in section "Engines" of
// settings.ini ("Google", "Altavista", "Yahoo", "Ask", "MSN", "ATW"). Every key is optional; a
// missing file or section leaves the built-in engine. The README ("Engines as data") lists every
// key; in short:
//
//   Caption      the slot's name everywhere: results column, saved-search section, Options label,
//                web-results row, status text (" on <caption>")
//   Preset       a shipped definition (engine_presets.h) the section starts from; its other keys
//                override the preset's. A preset's Alternative names the preset asked instead
//                when this one's API keys are not stored and the alternative's are (Moz's legacy
//                key pair)
//   Kind         markers (a count read out of a page), json (a number in a JSON answer), table (a
//                column of a delimited text answer), graph (a count from a local link index, no
//                request) or off (no request, no count, no failure)
//   InTotal      no: a score or rank, shown, saved and charted but never summed into the total
//   the request  Address (the whole address; else the settings.ini prefix + Target + Suffix),
//                Suffix, Target, Method, Body, ContentType, Header1..N, KeyName, BasicAuth,
//                Server, with placeholders ({url}, {encoded-url}, {host}, {domain}, {key},
//                {key:NAME}, {date:FORMAT}, {today}, {yesterday}, {page}; engine_request.h)
//   markers:     CountBefore, CountAfter, OtherCountBefore, OtherCountAfter, Remove1..RemoveN,
//                MaxLength, SpacesToZeros, SingleQuotes, NoResultsBefore, NoResultsAfter,
//                NoResultsPhrase, NoResultsJoinLines (MarkerRule); a RemoveN key replaces the
//                whole built-in list
//   json:        Pointer (the count's place), ErrorPointer/ErrorPointer2.. (the provider's
//                message), OkPointer/OkValue (and OkPointer2/OkValue2..: what a good answer holds),
//                Sum (a member summed over the array at Pointer), Pages (where the answer says
//                how many pages it has; {page} counts them from 0), CodePointer/CodePointer2..
//                (the provider's own status code) with RateLimitCodes, QuotaCodes, KeyCodes and
//                SiteCodes (what its codes mean; several separated by "|")
//   history:     HistoryAddress and HistoryBody (the provider's history endpoint, asked with the
//                slot's method, headers and keys; {since} is the first day asked for),
//                HistoryItems (the pointer of the array of dated points), HistoryDate and
//                HistoryCount (the members of each point holding its date and the count)
//   table:       Column (the count's column by its heading), Separator (";" by default)
//   graph:       Index (the link index file; relative to the program folder), Release (the name
//                shown instead of the index's own), Measure (linking-domains, the default;
//                harmonic-rank or pagerank-rank: positions, 1 the best, from an index made with
//                the release's ranks)
//
// A slot that names another Kind than markers, or a Preset, starts from nothing but what its
// section (and preset) names: no built-in suffix, markers or other field of the engine it
// replaces comes along.
//
// A value in double quotes is taken between them, with \n, \r, \t, \" and \\ read as the
// characters they stand for: so a marker may begin or end with a space. Yes/no keys take yes, no,
// 1 or 0. Lines starting with ";" or "#" are comments.
//
// A definition that cannot work (an unknown kind, key, preset or placeholder, a bad JSON pointer,
// a header that is not one, a missing API key or index file, a caption that would clash, a section
// written twice) does not stop anything: that slot's cells fail with "engine definition: <what is
// wrong>" and the Options dialog shows it.
#pragma once

#include "core/linkgraph/link_index.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_parser.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace tally {

enum class EngineKind { Markers, Json, Table, Graph, Off };

// What is put between the query prefix and the suffix.
enum class QueryTarget { Url, EncodedUrl, Host, Domain };

// One check of a good answer: the text at a JSON pointer is one of the accepted values.
struct AnswerCheck {
    QString pointer;
    QStringList accepted; // OkValue, split at "|"
};

struct EngineDefinition {
    int slot = 0;                // 0..5, the engine table's order
    QString key;                 // the key of its prefix in section "Engines" of settings.ini
    QString caption;             // results column, saved-search section
    QString rowText;             // its rows in the web-results list
    QString statusSuffix;        // appended to "Scanning " + URL
    bool captionChanged = false; // engines.ini gave it a caption of its own

    EngineKind kind = EngineKind::Markers;
    // Still the engine the program shipped with: engines.ini changed nothing but the caption.
    bool builtInEngine = true;
    // The preset the slot was made from ("moz"), empty for none; what the preset says it reads.
    QString preset;
    QString about;
    QString metric; // Metric: what the source counts, as the preset names it ("referring domains")
    // Kind=off: the slot sends nothing and counts nothing, and is no failure.
    bool switchedOff = false;
    // InTotal=no: a score or rank (it may hold a decimal), never summed into a total or profile.
    bool countsIntoTotal = true;

    // The request. Address, when given, is the whole address; otherwise it is the prefix of
    // settings.ini, the target and the suffix.
    QString querySuffix;
    QueryTarget target = QueryTarget::Url;
    QString address;
    QByteArray method = "GET";
    QString body;           // a template, placeholders not yet filled in
    QByteArray contentType; // of the body; application/json when a body names none
    QList<QPair<QByteArray, QString>> headers; // as written, placeholders not yet filled in
    QString keyName;                           // what "{key}" stands for in section Keys
    QString basicAuthUser;                     // BasicAuth: the names of two keys in section Keys
    QString basicAuthSecret;
    QString server; // scheme://host[:port] put in place of the address's own

    MarkerRule markers;
    // json
    QString pointer;
    QStringList errorPointers;
    QList<AnswerCheck> okChecks;
    // The provider's own status codes, for answers of any HTTP status: where an answer holds its
    // code (CodePointer, CodePointer2..), and the codes that mean a rate limit (asked again after
    // a wait, as a 429), a spent quota, a refused key, or a site the account does not hold.
    QStringList codePointers;
    QStringList rateLimitCodes;
    QStringList quotaCodes;
    QStringList keyCodes;
    QStringList siteCodes;
    QString sumOf;        // Sum: the count is the sum of this member over the array at pointer
    QString pagesPointer; // Pages: the answer's page count; the pages are asked for one by one
    // A look back: the provider's history endpoint and where its answer holds the dated points.
    QString historyAddress;
    QString historyBody;
    QString historyItems;
    QString historyDate;
    QString historyCount;
    // table
    QString column;
    QChar separator = QLatin1Char(';');
    // graph
    QString indexPath;
    QString release;
    GraphMeasure measure = GraphMeasure::LinkingDomains;
    std::shared_ptr<const LinkIndex> index;

    // What is wrong with the definition ("unknown kind "jsn""), empty when nothing is.
    QString problem;

    bool usable() const { return problem.isEmpty(); }
    // Where its counts come from, as a saved point's provenance names it: the preset's name, the
    // built-in engine's key, or "custom".
    QString sourceName() const;
    // What it counts: Metric, a link index's measure, "linking pages" for a built-in engine.
    QString metricName() const;
    // An API's answer (json or table) rather than a web page or no request at all.
    bool isApi() const { return kind == EngineKind::Json || kind == EngineKind::Table; }
    // Whether the slot asks anything over the network.
    bool makesRequests() const {
        return kind == EngineKind::Markers || kind == EngineKind::Json || kind == EngineKind::Table;
    }
    bool isPaged() const { return !pagesPointer.isEmpty(); }
    // Whether the provider's past can be asked (a json slot with a history endpoint).
    bool looksBack() const { return kind == EngineKind::Json && !historyAddress.isEmpty(); }
    // The slot as its history request is made and its answer read: the history address and body
    // in place of the everyday ones, the points' array at pointer, one page.
    EngineDefinition historyDefinition() const;
    // The failure reason of its cells while it has a problem, at most MaxReasonLength long.
    static constexpr qsizetype MaxReasonLength = 300;
    QString failureReason() const;
    // What the count means, for a graph engine: "linking domains in <release>" ("harmonic
    // centrality rank in <release>"...).
    QString countMeaning() const;
    // The names in section Keys that its request uses ({key}, {key:NAME}, BasicAuth), in order.
    QStringList keyNames() const;
    // Those keys' values from the per-user store.
    QHash<QString, QString> storedKeys() const;
    // The stored keys as they were when the definition was read (once per run: every request
    // of a run uses these); unset for a definition made by hand, which reads the store.
    std::optional<QHash<QString, QString>> loadedKeys;
    // Reads the stored keys now and keeps them as loadedKeys.
    void rememberKeys(const QHash<QString, QString>* given = nullptr);
    // text with every key value of the definition (as stored, and as a request would carry it)
    // shown as "…". For any address, reason or excerpt of an answer shown to the user.
    QString maskKeys(const QString& text) const;

    // The request as prefix + target + suffix with "{key}" headers, for a definition that needs
    // nothing more; a definition that does (a preset, an address, POST, a body, BasicAuth, a
    // server, other placeholders) is built with buildEngineRequest only, and these two then give
    // nothing.
    bool plainRequest = true;
    // The same for one vertex: "linking domains to com.example in <release>".
    QString countMeaningOf(const QByteArray& vertex) const;
    // The request headers with "{key}" filled in from the per-user store.
    QList<QPair<QByteArray, QByteArray>> requestHeaders() const;
    // The text put after the prefix for a URL; nothing when the URL has no host to put there.
    std::optional<QString> queryTarget(const QString& url) const;
};

struct EngineSet {
    std::array<EngineDefinition, EngineCount> definitions;
    QString file; // the engines.ini read ("" for the built-in set)
    // What is wrong in the file beyond any one slot (a section that is no slot's).
    QStringList fileProblems;

    QStringList captions() const;
    // One line per slot saying what it is and whether it works, then the file's own problems.
    QStringList describe() const;
    // Slot by caption (exactly), or -1.
    int slotOfCaption(const QString& caption) const;
    int slotOfRowText(const QString& rowText) const;
};

// What a target puts after the prefix for a URL; nothing when the URL has no host to put there.
std::optional<QString> queryTargetOf(QueryTarget target, const QString& url);

// The file name, beside settings.ini.
inline constexpr const char* EnginesIniName = "engines.ini";
// engines.ini in the folder of a settings.ini.
QString enginesIniBeside(const QString& settingsIni);

// The six built-in engines, exactly as the engine table has them.
const EngineSet& builtInEngines();

// Why engines.ini cannot be used at all (it cannot be read, or it is no engines.ini: text none of
// whose sections is a column's); empty when it can. A file of nothing but comments is fine.
QString enginesIniProblem(const QString& enginesIni);

// The "key=value" lines of an engines.ini section's text as every reader of the file takes them:
// comments and blank lines left out, the key trimmed, the value trimmed with one pair of quotes
// around it taken off ("\n", "\t", "\"" and "\\" inside them read as such). A line without "="
// has the whole line as its key and no value.
struct EngineIniLine {
    QString key;
    QString value;
    bool hasValue = true;
};
QList<EngineIniLine> engineIniLines(const QString& sectionText);
// The engines as enginesIni defines them (the built-in set when the file is missing). Presets
// are read from presetsFolder(), graph indexes opened and API keys looked up now.
EngineSet loadEngines(const QString& enginesIni);
// The engines of the program folder's engines.ini.
EngineSet programEngines();
// One slot defined by the text of its section alone (CR LF between lines), with the API keys
// given rather than the stored ones: what a slot would be before it is written (a graph's Index
// is taken relative to folder). Its caption is checked on its own, not against the other slots'.
EngineDefinition definitionFromSection(int slot, const QString& sectionText, const QString& folder,
                                       const QHash<QString, QString>& keys);

} // namespace tally
