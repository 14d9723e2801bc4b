#include "core/results/site_histories.h"

#include "core/numbers/numbers.h"
#include "core/results/saved_search.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(SiteHistories)
};

QString signedNumber(double value, int decimals) {
    const QString digits = QLocale::c().toString(std::abs(value), 'f', decimals);
    return (value > 0   ? QStringLiteral("+")
            : value < 0 ? QStringLiteral("\u2212")
                        : QString()) +
           digits;
}

} // namespace

QString CountChange::text() const {
    if (delta == 0)
        return QStringLiteral("\u00b10");
    QString text = signedNumber(double(delta), 0);
    if (percent)
        text += QStringLiteral(" (%1 %)").arg(signedNumber(*percent, 1));
    return text;
}

SiteHistories SiteHistories::read(const QString& savedFolder) {
    SiteHistories histories;
    // The folder Provenance::fileOf puts every saved search's provenance in.
    const QString folder =
        QFileInfo(Provenance::fileOf(QDir(savedFolder).filePath(QStringLiteral("x"))))
            .absolutePath();
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.json")}, QDir::Files);
    for (const QFileInfo& file : files) {
        const QString savedSearch =
            QDir(savedFolder).filePath(file.fileName().chopped(int(qstrlen(".json"))));
        Provenance sources = Provenance::read(savedSearch);
        const QString url = sources.anyUrl();
        if (url.isEmpty())
            continue;
        histories.fileOfUrl_.insert(url, savedSearch);
        histories.provenance_.insert(savedSearch, std::move(sources));
    }
    return histories;
}

std::optional<CountChange> SiteHistories::change(const QString& url, const QString& caption,
                                                 const PointSource& source, qint64 count,
                                                 const QDate& today) const {
    const auto found = fileOfUrl_.constFind(url);
    if (found == fileOfUrl_.constEnd() || !source.isKnown())
        return std::nullopt;
    const Provenance& sources = provenance_[*found];
    // The newest point before today; the file holds them newest first, but a file from elsewhere
    // need not.
    std::optional<QDate> newest;
    qint64 earlier = 0;
    for (const HistoryLine& line : readEngineHistoryLines(caption, *found)) {
        const std::optional<QDate> date = historyKeyDate(line.label);
        const std::optional<qint64> value = readWholeNumber(line.value);
        if (date && value && *date < today && (!newest || *date > *newest)) {
            newest = date;
            earlier = *value;
        }
    }
    if (!newest)
        return std::nullopt;
    const PointSource before = sources.at(caption, *newest);
    if (before.source != source.source || before.release != source.release)
        return std::nullopt;
    CountChange change;
    change.delta = count - earlier;
    change.since = *newest;
    if (earlier != 0)
        change.percent = 100.0 * double(change.delta) / double(earlier);
    return change;
}

} // namespace tally
