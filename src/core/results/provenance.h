// Where each saved point came from: the source, the metric, the web graph's release and vertex
// and the URL a saved search's counts were scanned for, kept per section and date in a file of
// its own in a hidden folder beside the saved search (".provenance/<name>.vqz.json"), so that the
// saved search and its folder stay as other programs read them. A saved search without that file
// (older ones, files from elsewhere) has no provenance and charts as it always did.
#pragma once

#include "core/files/safe_file.h"

#include <QDate>
#include <QHash>
#include <QMap>
#include <QString>

namespace tally {

struct PointSource {
    QString source;         // a preset's name ("majestic"), a built-in engine's key, or "custom"
    QString metric;         // what the source counts ("referring domains"); may be empty
    QString release;        // the web graph's release a link index was made from; else empty
    QString vertex;         // the graph vertex the count belongs to ("com.example"); else empty
    QString url;            // the URL the row was scanned for
    QString backfilledFrom; // where a point filled in afterwards came from; empty when scanned

    bool isKnown() const { return !source.isEmpty(); }
    // "Majestic, referring domains", "Common Crawl, linking domains, cc-main-2025-26"
    QString description() const;
    // What changed from `older` to this one, for a chart's mark: "source changed: Majestic →
    // Semrush" or "release cc-main-… → cc-main-…"; empty when both are the same or either is
    // unknown.
    QString changeFrom(const PointSource& older) const;
};

// A source as people read it: a preset by its caption ("Majestic" for "majestic"), anything else
// as it is.
QString sourceLabel(const QString& source);

class Provenance {
public:
    inline static constexpr int Version = 1;

    // The file that holds a saved search's provenance.
    static QString fileOf(const QString& savedSearchFile);
    // The provenance of a saved search: nothing for a missing file; nothing, with *problem, for
    // one that is damaged or written by a newer version (*newer then says so: it is never
    // overwritten).
    static Provenance read(const QString& savedSearchFile, QString* problem = nullptr,
                           bool* newer = nullptr);

    bool isEmpty() const { return points_.isEmpty(); }
    PointSource at(const QString& section, const QDate& date) const;
    // The URL its newest point was scanned for; empty when no point names one.
    QString anyUrl() const;
    void set(const QString& section, const QDate& date, const PointSource& source);
    void clearSection(const QString& section);
    FileOutcome write(const QString& savedSearchFile) const;

private:
    QHash<QString, QMap<QDate, PointSource>> points_;
};

} // namespace tally
