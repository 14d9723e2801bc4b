#include "core/results/provenance.h"

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_presets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Provenance)
};

// Far beyond what years of daily points of six sections take.
constexpr qint64 ProvenanceFileLimit = 64 * 1024 * 1024;
const QLatin1String FormatName("tallyscope-provenance");

const QLatin1String SourceKey("source"), MetricKey("metric"), ReleaseKey("release"),
    VertexKey("vertex"), UrlKey("url"), BackfilledKey("backfilled-from");

} // namespace

QString PointSource::description() const {
    QStringList parts{sourceLabel(source)};
    for (const QString& part : {metric, release})
        if (!part.isEmpty())
            parts << part;
    QString text = parts.join(QStringLiteral(", "));
    if (!backfilledFrom.isEmpty())
        text += Text::tr(" (backfilled from %1)").arg(backfilledFrom);
    return text;
}

QString PointSource::changeFrom(const PointSource& older) const {
    if (!isKnown() || !older.isKnown())
        return QString();
    if (sourceLabel(source) != sourceLabel(older.source))
        return Text::tr("source changed: %1 → %2")
            .arg(sourceLabel(older.source), sourceLabel(source));
    if (release != older.release)
        return Text::tr("release %1 → %2")
            .arg(older.release.isEmpty() ? Text::tr("none") : older.release,
                 release.isEmpty() ? Text::tr("none") : release);
    return QString();
}

QString sourceLabel(const QString& source) {
    static QHash<QString, QString> labels;
    if (const auto known = labels.constFind(source); known != labels.constEnd())
        return *known;
    QString label = source;
    if (const std::optional<QString> preset = presetSectionText(source))
        for (const EngineIniLine& line : engineIniLines(*preset))
            if (line.key.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0 &&
                !line.value.isEmpty())
                label = line.value;
    labels.insert(source, label);
    return label;
}

QString Provenance::fileOf(const QString& savedSearchFile) {
    const QFileInfo file(savedSearchFile);
    return file.absolutePath() + QStringLiteral("/.provenance/") + file.fileName() +
           QStringLiteral(".json");
}

Provenance Provenance::read(const QString& savedSearchFile, QString* problem, bool* newer) {
    Provenance p;
    if (newer)
        *newer = false;
    const FileContents read = readFileBounded(fileOf(savedSearchFile), ProvenanceFileLimit);
    if (read.status == FileContents::Status::Missing)
        return p;
    auto fail = [&](const QString& why) {
        if (problem)
            *problem = Text::tr("The sources of its points in %1 were left aside: %2")
                           .arg(QDir::toNativeSeparators(fileOf(savedSearchFile)), why);
        return Provenance();
    };
    if (!read.isRead())
        return fail(read.reason);
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(read.bytes, &error).object();
    if (error.error != QJsonParseError::NoError ||
        root.value(QLatin1String("format")) != FormatName)
        return fail(Text::tr("it is not a provenance file of this program"));
    if (const int version = root.value(QLatin1String("version")).toInt(); version > Version) {
        if (newer)
            *newer = true;
        return fail(Text::tr("a newer version of the program wrote it (version %1)").arg(version));
    }
    const QJsonObject sections = root.value(QLatin1String("sections")).toObject();
    for (auto section = sections.begin(); section != sections.end(); ++section) {
        const QJsonObject dates = section.value().toObject();
        for (auto day = dates.begin(); day != dates.end(); ++day) {
            const QDate date = QDate::fromString(day.key(), Qt::ISODate);
            const QJsonObject o = day.value().toObject();
            PointSource s{o.value(SourceKey).toString(),  o.value(MetricKey).toString(),
                          o.value(ReleaseKey).toString(), o.value(VertexKey).toString(),
                          o.value(UrlKey).toString(),     o.value(BackfilledKey).toString()};
            if (date.isValid() && s.isKnown())
                p.points_[section.key()].insert(date, s);
        }
    }
    return p;
}

PointSource Provenance::at(const QString& section, const QDate& date) const {
    return points_.value(section).value(date);
}

QString Provenance::anyUrl() const {
    QString url;
    QDate newest;
    for (const QMap<QDate, PointSource>& section : points_)
        for (auto it = section.constBegin(); it != section.constEnd(); ++it)
            if (!it->url.isEmpty() && (url.isEmpty() || it.key() > newest)) {
                url = it->url;
                newest = it.key();
            }
    return url;
}

void Provenance::set(const QString& section, const QDate& date, const PointSource& source) {
    if (source.isKnown())
        points_[section].insert(date, source);
    else if (points_.contains(section))
        points_[section].remove(date);
}

void Provenance::clearSection(const QString& section) {
    points_.remove(section);
}

FileOutcome Provenance::write(const QString& savedSearchFile) const {
    QJsonObject sections;
    for (auto section = points_.begin(); section != points_.end(); ++section) {
        QJsonObject dates;
        for (auto day = section->begin(); day != section->end(); ++day) {
            QJsonObject o{{SourceKey, day->source}, {UrlKey, day->url}};
            for (const auto& [key, value] :
                 {std::pair{MetricKey, day->metric}, std::pair{ReleaseKey, day->release},
                  std::pair{VertexKey, day->vertex}, std::pair{BackfilledKey, day->backfilledFrom}})
                if (!value.isEmpty())
                    o.insert(key, value);
            dates.insert(day.key().toString(Qt::ISODate), o);
        }
        sections.insert(section.key(), dates);
    }
    const QJsonObject root{{QLatin1String("format"), FormatName},
                           {QLatin1String("version"), Version},
                           {QLatin1String("sections"), sections}};
    const QString file = fileOf(savedSearchFile);
    if (const FileOutcome made = makeFolder(QFileInfo(file).absolutePath()); !made)
        return made;
    return writeFileAtomically(file, QJsonDocument(root).toJson());
}

} // namespace tally
