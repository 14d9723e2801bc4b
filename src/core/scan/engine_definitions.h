// What each of the six engine slots is: the engine table's built-in engines, with whatever
// engines.ini (beside settings.ini) changes about them.
//
// engines.ini has one section per slot, named by the slot's key in section "Engines" of
// settings.ini ("Google", "Altavista", "Yahoo", "Ask", "MSN", "ATW"). Every key is optional; a
// missing file, section or key leaves the built-in value. The query prefix stays in settings.ini.
//
//   Caption      the slot's name everywhere: results column, saved-search section, Options label,
//                web-results row, status text (" on <caption>")
//   Kind         markers (a count read out of a page), json (a number in a JSON reply) or graph
//                (a count from a local link index, no request)
//   Suffix       appended after the URL in the request
//   Target       what goes between prefix and suffix: url (as listed), encoded-url, host, domain
//   markers:     CountBefore, CountAfter, OtherCountBefore, OtherCountAfter, Remove1..RemoveN,
//                MaxLength, SpacesToZeros, SingleQuotes, NoResultsBefore, NoResultsAfter,
//                NoResultsPhrase, NoResultsJoinLines (MarkerRule); a RemoveN key replaces the
//                whole built-in list
//   json:        Pointer (the count's place, a JSON pointer), Header1..HeaderN ("Name: value",
//                "{key}" in a value is the slot's key from the per-user section "Keys"), KeyName
//                (that key's name there; the slot's key by default)
//   graph:       Index (the link index file; relative to the program folder), Release (the name
//                shown instead of the index's own), Measure (linking-domains, the default;
//                harmonic-rank or pagerank-rank: positions, 1 the best, from an index made with
//                the release's ranks)
// A value in double quotes is taken between them, with \n, \r, \t, \" and \\ read as the
// characters they stand for: so a marker may begin or end with a space. Yes/no keys take yes, no,
// 1 or 0. Lines starting with ";" or "#" are comments.
//
// A definition that cannot work (an unknown kind or key, a bad JSON pointer, a header that is not
// one, a missing API key or index file, a caption that would clash) does not stop anything: that
// slot's cells fail with "engine definition: <what is wrong>" and the Options dialog shows it.
#pragma once

#include "core/linkgraph/link_index.h"
#include "core/scan/engine_parser.h"
#include "core/scan/engine_table.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

namespace tally {

enum class EngineKind { Markers, Json, Graph };

// What is put between the query prefix and the suffix.
enum class QueryTarget { Url, EncodedUrl, Host, Domain };

struct EngineDefinition {
    int slot = 0;         // 0..5, the engine table's order
    QString key;          // the key of its prefix in section "Engines" of settings.ini
    QString caption;      // results column, saved-search section
    QString rowText;      // its rows in the web-results list
    QString statusSuffix; // appended to "Scanning " + URL
    QString optionsLabel; // the label of its prefix box
    bool captionChanged = false;

    EngineKind kind = EngineKind::Markers;
    QString querySuffix;
    QueryTarget target = QueryTarget::Url;
    MarkerRule markers;
    // json
    QString pointer;
    QList<QPair<QByteArray, QString>> headers; // as written, "{key}" not yet filled in
    QString keyName;
    // graph
    QString indexPath;
    QString release;
    GraphMeasure measure = GraphMeasure::LinkingDomains;
    std::shared_ptr<const LinkIndex> index;

    // What is wrong with the definition ("unknown kind "jsn""), empty when nothing is.
    QString problem;

    bool usable() const { return problem.isEmpty(); }
    // The failure reason of its cells while it has a problem.
    QString failureReason() const;
    // What the count means, for a graph engine: "linking domains in <release>" ("harmonic
    // centrality rank in <release>"...).
    QString countMeaning() const;
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

// The file name, beside settings.ini.
inline constexpr const char* EnginesIniName = "engines.ini";
// engines.ini in the folder of a settings.ini.
QString enginesIniBeside(const QString& settingsIni);

// The six built-in engines, exactly as the engine table has them.
const EngineSet& builtInEngines();
// The engines as enginesIni defines them (the built-in set when the file is missing). Graph
// indexes are opened and API keys looked up now.
EngineSet loadEngines(const QString& enginesIni);
// The engines of the program folder's engines.ini.
EngineSet programEngines();

} // namespace tally
