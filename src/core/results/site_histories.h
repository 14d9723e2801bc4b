// What changed since a site was last saved: a saved search's provenance names the URL its counts
// were scanned for, which is how a results row finds its history. The change of a count is taken
// from the newest point of the same section before the day asked about, and only when that point
// came from the same source (and, for the web graph, the same release): a change of source is no
// change of the site's links.
#pragma once

#include "core/results/provenance.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

namespace tally {

struct CountChange {
    qint64 delta = 0;
    std::optional<double> percent; // none when the earlier count was 0
    QDate since;                   // the day of the earlier point
    // "+12 (+0.3 %)", "−40 (−2.5 %)", "±0"
    QString text() const;
};

class SiteHistories {
public:
    // The saved searches of the folder whose provenance names a URL, by that URL (the newest
    // point's when several are named).
    static SiteHistories read(const QString& savedFolder);

    bool isEmpty() const { return fileOfUrl_.isEmpty(); }
    // The change of `count` since the site's previous saved point of section `caption` (before
    // `today`), or nothing: no saved search for the URL, no earlier point, another source.
    std::optional<CountChange> change(const QString& url, const QString& caption,
                                      const PointSource& source, qint64 count,
                                      const QDate& today) const;

private:
    QHash<QString, QString> fileOfUrl_;
    mutable QHash<QString, Provenance> provenance_; // read on first use, by file
};

} // namespace tally
