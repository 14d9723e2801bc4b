#include "core/scan/engine_definitions.h"

#include "core/files/safe_file.h"
#include "core/linkgraph/domain_names.h"
#include "core/numbers/numbers.h"
#include "core/scan/json_pointer.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <map>

namespace tally {

namespace {

const QString KeyPlaceholder = QStringLiteral("{key}");

// Names no caption may take: the results table's other columns and the home page's row.
const QStringList ReservedCaptions{QStringLiteral("Domain Name"), QStringLiteral("Total"),
                                   QStringLiteral("Home Page")};

// Headers the request makes itself, or that would change how the reply is framed.
const QStringList ForbiddenHeaders{
    QStringLiteral("Host"),    QStringLiteral("Content-Length"),      QStringLiteral("Connection"),
    QStringLiteral("Upgrade"), QStringLiteral("Transfer-Encoding"),   QStringLiteral("TE"),
    QStringLiteral("Trailer"), QStringLiteral("Proxy-Authorization"), QStringLiteral("Keep-Alive")};

EngineDefinition builtIn(int slot) {
    const EngineInfo& e = engineTable()[slot];
    EngineDefinition d;
    d.slot = slot;
    d.key = QLatin1String(e.key);
    d.caption = QLatin1String(e.columnHeader);
    d.rowText = QLatin1String(e.webRowText);
    d.statusSuffix = QLatin1String(e.statusSuffix);
    d.optionsLabel = QLatin1String(e.optionsLabel);
    d.querySuffix = QLatin1String(e.querySuffix);
    d.markers = builtInMarkerRule(e.intEngine);
    d.keyName = d.key;
    return d;
}

// The value as written after "=": trimmed, or between double quotes with its escapes read.
QString valueOf(const QString& raw) {
    const QString text = raw.trimmed();
    if (text.size() < 2 || text.front() != QLatin1Char('"') || text.back() != QLatin1Char('"'))
        return text;
    const QString inner = text.mid(1, text.size() - 2);
    QString value;
    value.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const QChar c = inner[i];
        const QChar next = i + 1 < inner.size() ? inner[i + 1] : QChar();
        if (c != QLatin1Char('\\') || next.isNull()) {
            value += c;
            continue;
        }
        switch (next.unicode()) {
        case 'n':
            value += QLatin1Char('\n');
            break;
        case 'r':
            value += QLatin1Char('\r');
            break;
        case 't':
            value += QLatin1Char('\t');
            break;
        case '"':
        case '\\':
            value += next;
            break;
        default:
            value += c; // not an escape: the backslash stays
            continue;
        }
        ++i;
    }
    return value;
}

// "Remove3" gives 3 for the stem "Remove"; 0 when the key is not stem and a number.
int numbered(const QString& key, const QString& stem) {
    if (!key.startsWith(stem, Qt::CaseInsensitive) || key.size() == stem.size())
        return 0;
    const std::optional<quint64> n = readPlainIndex(key.mid(stem.size()).toLatin1());
    return n && *n >= 1 && *n <= 99 ? int(*n) : 0;
}

std::optional<bool> yesNo(const QString& value) {
    const QString v = value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

bool isTokenChar(QChar c) {
    if (c.unicode() > 0x7e || c.unicode() <= 0x20)
        return false;
    return !QStringLiteral("\"(),/:;<=>?@[\\]{}").contains(c);
}

bool holdsLineBreakOrNul(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.isNull())
            return true;
    return false;
}

QString captionProblem(const QString& caption) {
    if (caption.isEmpty())
        return QStringLiteral("Caption is empty");
    if (caption.size() > 40)
        return QStringLiteral("Caption \"%1\" is longer than 40 characters").arg(caption);
    for (QChar c : caption)
        if (c.category() == QChar::Other_Control || QStringLiteral(":[]=").contains(c))
            return QStringLiteral("Caption \"%1\" holds \"%2\", which a saved search cannot "
                                  "keep in a section name")
                .arg(caption, c.isPrint() ? QString(c) : QStringLiteral("a control character"));
    for (const QString& reserved : ReservedCaptions)
        if (caption.compare(reserved, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Caption \"%1\" is the name of another column or row")
                .arg(caption);
    return QString();
}

// One slot's section read into the definition.
struct SlotKeys {
    QString caption;
    bool hasCaption = false;
};

void readSlot(EngineDefinition& d, const QString& sectionText, const QString& folder,
              SlotKeys& keys) {
    QStringList problems;
    std::map<int, QString> removes;
    std::map<int, QString> headerLines;
    QString kind;
    bool hasPointer = false;
    bool hasIndex = false;
    const QStringList lines = sectionText.split(QLatin1String("\r\n"));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            problems << QStringLiteral("the line \"%1\" has no \"=\"").arg(line);
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = valueOf(rawLine.mid(rawLine.indexOf(QLatin1Char('=')) + 1));
        auto is = [&key](const char* name) {
            return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        };
        auto flag = [&](bool& target) {
            if (const std::optional<bool> on = yesNo(value))
                target = *on;
            else
                problems << QStringLiteral("%1 takes yes or no, not \"%2\"").arg(key, value);
        };
        MarkerRule& m = d.markers;
        if (is("Caption")) {
            keys.caption = value;
            keys.hasCaption = true;
        } else if (is("Kind")) {
            kind = value;
        } else if (is("Suffix")) {
            d.querySuffix = value;
        } else if (is("Target")) {
            const QString t = value.toLower();
            if (t == QLatin1String("url"))
                d.target = QueryTarget::Url;
            else if (t == QLatin1String("encoded-url"))
                d.target = QueryTarget::EncodedUrl;
            else if (t == QLatin1String("host"))
                d.target = QueryTarget::Host;
            else if (t == QLatin1String("domain"))
                d.target = QueryTarget::Domain;
            else
                problems << QStringLiteral("unknown Target \"%1\" (url, encoded-url, host or "
                                           "domain)")
                                .arg(value);
        } else if (is("CountBefore")) {
            m.countBefore = value;
        } else if (is("CountAfter")) {
            m.countAfter = value;
        } else if (is("OtherCountBefore")) {
            m.otherCountBefore = value;
        } else if (is("OtherCountAfter")) {
            m.otherCountAfter = value;
        } else if (const int n = numbered(key, QStringLiteral("Remove"))) {
            removes[n] = value;
        } else if (is("MaxLength")) {
            const std::optional<qint64> n = readWholeNumber(value);
            if (n && *n >= 1 && *n <= 100)
                m.maxLength = int(*n);
            else
                problems << QStringLiteral("MaxLength must be a whole number from 1 to 100, not "
                                           "\"%1\"")
                                .arg(value);
        } else if (is("SpacesToZeros")) {
            flag(m.spacesToZeros);
        } else if (is("SingleQuotes")) {
            flag(m.singleQuotes);
        } else if (is("NoResultsBefore")) {
            m.noResultsBefore = value;
        } else if (is("NoResultsAfter")) {
            m.noResultsAfter = value;
        } else if (is("NoResultsPhrase")) {
            m.noResultsPhrase = value;
        } else if (is("NoResultsJoinLines")) {
            flag(m.noResultsJoinLines);
        } else if (is("Pointer")) {
            d.pointer = value;
            hasPointer = true;
        } else if (const int n = numbered(key, QStringLiteral("Header"))) {
            headerLines[n] = value;
        } else if (is("KeyName")) {
            d.keyName = value;
        } else if (is("Index")) {
            d.indexPath = value;
            hasIndex = true;
        } else if (is("Release")) {
            d.release = value;
        } else {
            problems << QStringLiteral("unknown setting \"%1\"").arg(key);
        }
    }
    if (!removes.empty()) {
        d.markers.remove.clear();
        for (const auto& [n, text] : removes)
            d.markers.remove << text;
    }

    const QString k = kind.toLower();
    if (k.isEmpty() || k == QLatin1String("markers"))
        d.kind = EngineKind::Markers;
    else if (k == QLatin1String("json"))
        d.kind = EngineKind::Json;
    else if (k == QLatin1String("graph"))
        d.kind = EngineKind::Graph;
    else
        problems << QStringLiteral("unknown kind \"%1\" (markers, json or graph)").arg(kind);

    if (problems.isEmpty() && d.kind == EngineKind::Markers && d.markers.countBefore.isEmpty())
        problems << QStringLiteral("CountBefore is empty: nothing marks the count");

    if (problems.isEmpty() && d.kind == EngineKind::Json) {
        QString why;
        if (!hasPointer)
            problems << QStringLiteral("no Pointer (the count's place in the reply, such as "
                                       "/data/count)");
        else if (!JsonPointer::parse(d.pointer, &why))
            problems << QStringLiteral("invalid JSON pointer \"%1\": %2").arg(d.pointer, why);
        bool needsKey = false;
        for (const auto& [n, line] : headerLines) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            const QString name = colon < 0 ? QString() : line.left(colon).trimmed();
            const QString value = colon < 0 ? QString() : line.mid(colon + 1).trimmed();
            bool token = !name.isEmpty();
            for (QChar c : name)
                token = token && isTokenChar(c);
            if (!token) {
                problems
                    << QStringLiteral("Header%1 \"%2\" is not \"Name: value\"").arg(n).arg(line);
            } else if (holdsLineBreakOrNul(value)) {
                problems << QStringLiteral("Header%1 holds a line break").arg(n);
            } else if (ForbiddenHeaders.contains(name, Qt::CaseInsensitive)) {
                problems << QStringLiteral("Header%1 sets %2, which the request sets itself")
                                .arg(n)
                                .arg(name);
            } else {
                d.headers.append({name.toLatin1(), value});
                needsKey = needsKey || value.contains(KeyPlaceholder);
            }
        }
        if (needsKey && problems.isEmpty()) {
            const QString apiKey = UserSettings::apiKey(d.keyName);
            if (const FileOutcome store = userSettingsReadable(); !store)
                // An unreadable store is not a missing key: giving it a value would not help.
                problems << QCoreApplication::translate("EngineDefinitions",
                                                        "the API key %1 cannot be read: the "
                                                        "settings in %2 cannot be read (%3)")
                                .arg(d.keyName, QDir::toNativeSeparators(userSettingsFile()),
                                     store.reason());
            else if (apiKey.isEmpty())
                problems << QStringLiteral("no API key: give %1 a value in section %2 of %3")
                                .arg(d.keyName, QLatin1String(KeysSection),
                                     QDir::toNativeSeparators(userSettingsFile()));
            else if (holdsLineBreakOrNul(apiKey))
                problems << QStringLiteral("the API key %1 holds a line break").arg(d.keyName);
        }
    }

    if (problems.isEmpty() && d.kind == EngineKind::Graph) {
        if (!hasIndex || d.indexPath.isEmpty()) {
            problems << QStringLiteral("no Index (the link index file made by tallyscope-graph)");
        } else {
            const QString path = QFileInfo(d.indexPath).isAbsolute()
                                     ? d.indexPath
                                     : QDir(folder).filePath(d.indexPath);
            QString why;
            d.index = LinkIndex::open(path, &why);
            if (!d.index)
                problems << QStringLiteral("link index: ") + why;
            else if (d.release.isEmpty())
                d.release = d.index->releaseName();
        }
    }
    d.problem = problems.join(QStringLiteral("; "));
}

// Captions taken by every slot but `slot`, in any letter case: their built-in names and the
// captions set for them.
bool captionTaken(const QString& caption, int slot, const std::array<SlotKeys, EngineCount>& keys) {
    for (int other = 0; other < EngineCount; ++other) {
        if (other == slot)
            continue;
        const EngineInfo& e = engineTable()[other];
        for (const char* name : {e.columnHeader, e.webRowText})
            if (caption.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return true;
        if (keys[other].hasCaption &&
            caption.compare(keys[other].caption, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString kindName(EngineKind kind) {
    switch (kind) {
    case EngineKind::Json:
        return QStringLiteral("json");
    case EngineKind::Graph:
        return QStringLiteral("graph");
    default:
        return QStringLiteral("markers");
    }
}

} // namespace

QString EngineDefinition::failureReason() const {
    return QStringLiteral("engine definition: ") + problem;
}

QString EngineDefinition::countMeaning() const {
    if (kind != EngineKind::Graph || !index)
        return QString();
    return (index->level() == GraphLevel::Hosts ? QStringLiteral("linking hosts in ")
                                                : QStringLiteral("linking domains in ")) +
           release;
}

QList<QPair<QByteArray, QByteArray>> EngineDefinition::requestHeaders() const {
    QList<QPair<QByteArray, QByteArray>> list;
    QString apiKey;
    bool keyRead = false;
    for (const auto& [name, value] : headers) {
        QString filled = value;
        if (filled.contains(KeyPlaceholder)) {
            if (!keyRead) {
                apiKey = UserSettings::apiKey(keyName);
                keyRead = true;
            }
            filled.replace(KeyPlaceholder, apiKey);
        }
        list.append({name, filled.toUtf8()});
    }
    return list;
}

std::optional<QString> EngineDefinition::queryTarget(const QString& url) const {
    switch (target) {
    case QueryTarget::Url:
        return url;
    case QueryTarget::EncodedUrl:
        return xurlEncode::URLEncode(url);
    case QueryTarget::Host:
    case QueryTarget::Domain: {
        const QString host = hostOfUrl(url);
        if (host.isEmpty())
            return std::nullopt;
        return target == QueryTarget::Host ? host : registrableDomain(host);
    }
    }
    return url;
}

QStringList EngineSet::captions() const {
    QStringList list;
    for (const EngineDefinition& d : definitions)
        list << d.caption;
    return list;
}

int EngineSet::slotOfCaption(const QString& caption) const {
    for (const EngineDefinition& d : definitions)
        if (d.caption == caption)
            return d.slot;
    return -1;
}

int EngineSet::slotOfRowText(const QString& rowText) const {
    for (const EngineDefinition& d : definitions)
        if (d.rowText == rowText)
            return d.slot;
    return -1;
}

QStringList EngineSet::describe() const {
    QStringList lines;
    lines << (file.isEmpty() || !QFileInfo::exists(file)
                  ? QStringLiteral("The six built-in engines (there is no %1).")
                        .arg(QDir::toNativeSeparators(
                            file.isEmpty() ? QString::fromLatin1(EnginesIniName) : file))
                  : QStringLiteral("The engines as %1 defines them.")
                        .arg(QDir::toNativeSeparators(file)));
    for (const EngineDefinition& d : definitions) {
        QString what = QStringLiteral("%1: \"%2\", %3").arg(d.key, d.caption, kindName(d.kind));
        if (d.usable() && d.kind == EngineKind::Json)
            what += QStringLiteral(", the count at %1").arg(d.pointer);
        if (d.usable() && d.kind == EngineKind::Graph && d.index)
            what += QStringLiteral(" of %1 (%2 %3)")
                        .arg(d.release, QLocale::c().toString(qulonglong(d.index->size())),
                             d.index->level() == GraphLevel::Hosts ? QStringLiteral("hosts")
                                                                   : QStringLiteral("domains"));
        lines << what + QStringLiteral(": ") +
                     (d.usable() ? QStringLiteral("ready") : d.failureReason());
    }
    for (const QString& problem : fileProblems)
        lines << QStringLiteral("%1: %2").arg(QString::fromLatin1(EnginesIniName), problem);
    return lines;
}

QString enginesIniBeside(const QString& settingsIni) {
    return QFileInfo(settingsIni).dir().filePath(QString::fromLatin1(EnginesIniName));
}

const EngineSet& builtInEngines() {
    static const EngineSet set = [] {
        EngineSet s;
        for (int slot = 0; slot < EngineCount; ++slot)
            s.definitions[slot] = builtIn(slot);
        return s;
    }();
    return set;
}

EngineSet loadEngines(const QString& enginesIni) {
    EngineSet set = builtInEngines();
    set.file = enginesIni;
    if (enginesIni.isEmpty() || !QFileInfo::exists(enginesIni))
        return set;
    if (const FileOutcome readable = checkFileReadable(enginesIni, SettingsFileLimit); !readable) {
        for (EngineDefinition& d : set.definitions)
            d.problem = QStringLiteral("%1 cannot be read: %2")
                            .arg(QString::fromLatin1(EnginesIniName), readable.reason());
        return set;
    }
    const QString folder = QFileInfo(enginesIni).absolutePath();
    const QStringList sections = modINI::ListIniSections(enginesIni);
    std::array<SlotKeys, EngineCount> keys{};
    for (int slot = 0; slot < EngineCount; ++slot) {
        EngineDefinition& d = set.definitions[slot];
        for (const QString& section : sections)
            if (section.compare(d.key, Qt::CaseInsensitive) == 0) {
                readSlot(d, modINI::ReadIniSection(section, QString(), enginesIni), folder,
                         keys[slot]);
                break;
            }
    }
    for (const QString& section : sections) {
        bool known = false;
        for (const EngineDefinition& d : set.definitions)
            known = known || section.compare(d.key, Qt::CaseInsensitive) == 0;
        if (!known)
            set.fileProblems << QStringLiteral("the section [%1] is no slot's (Google, "
                                               "Altavista, Yahoo, Ask, MSN or ATW)")
                                    .arg(section);
    }
    // Captions last: each must be sound and differ from every other slot's.
    for (int slot = 0; slot < EngineCount; ++slot) {
        EngineDefinition& d = set.definitions[slot];
        if (!keys[slot].hasCaption || keys[slot].caption == d.caption)
            continue;
        const QString caption = keys[slot].caption;
        QString problem = captionProblem(caption);
        if (problem.isEmpty() && captionTaken(caption, slot, keys))
            problem = QStringLiteral("Caption \"%1\" is another slot's").arg(caption);
        if (!problem.isEmpty()) {
            d.problem = d.problem.isEmpty() ? problem : d.problem + QStringLiteral("; ") + problem;
            continue;
        }
        d.caption = caption;
        d.rowText = caption;
        d.statusSuffix = QStringLiteral(" on ") + caption;
        d.optionsLabel = caption + QLatin1Char(':');
        d.captionChanged = true;
    }
    return set;
}

EngineSet programEngines() {
    return loadEngines(ProgramFolder::path() + QLatin1Char('/') +
                       QString::fromLatin1(EnginesIniName));
}

} // namespace tally
