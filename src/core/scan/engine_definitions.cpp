#include "core/scan/engine_definitions.h"

#include "core/files/safe_file.h"
#include "core/linkgraph/domain_names.h"
#include "core/net/http_reply.h"
#include "core/net/web_address.h"
#include "core/numbers/numbers.h"
#include "core/scan/engine_presets.h"
#include "core/scan/engine_request.h"
#include "core/scan/json_pointer.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>

#include <map>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(EngineDefinitions)
};

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
    d.caption = QLatin1String(e.caption);
    d.rowText = QLatin1String(e.webRowText);
    // " on Google": the engine's name after the table's " on ", in the user's language.
    d.statusSuffix = Text::tr(" on %1").arg(QLatin1String(e.statusSuffix).sliced(4));
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

// numbered(), with the stem alone standing for 1 ("OkPointer" is "OkPointer1").
int numberedOrPlain(const QString& key, const QString& stem) {
    if (key.compare(stem, Qt::CaseInsensitive) == 0)
        return 1;
    return numbered(key, stem);
}

std::optional<bool> yesNo(const QString& value) {
    const QString v = value.toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString captionProblem(const QString& caption) {
    if (caption.isEmpty())
        return Text::tr("Caption is empty");
    if (caption.size() > 40)
        return Text::tr("Caption \"%1\" is longer than 40 characters").arg(caption);
    for (QChar c : caption)
        if (c.category() == QChar::Other_Control || QStringLiteral(":[]=").contains(c))
            return Text::tr("Caption \"%1\" holds \"%2\", which a saved search cannot "
                            "keep in a section name")
                .arg(caption, c.isPrint() ? QString(c) : Text::tr("a control character"));
    for (const QString& reserved : ReservedCaptions)
        if (caption.compare(reserved, Qt::CaseInsensitive) == 0)
            return Text::tr("Caption \"%1\" is the name of another column or row").arg(caption);
    return QString();
}

// One slot's section read into the definition.
struct SlotKeys {
    QString caption;
    bool hasCaption = false;
    int sections = 0; // how often the file holds the slot's section
};

// One "key=value" line of a section (or of the preset it names).
struct SectionLine {
    QString key;
    QString value;
    QString preset; // the preset it comes from, empty for the section's own lines
};

QList<SectionLine> linesOf(const QString& sectionText, const QString& preset,
                           QStringList& problems) {
    QList<SectionLine> lines;
    for (const EngineIniLine& line : engineIniLines(sectionText)) {
        if (!line.hasValue)
            problems << QStringLiteral("the line \"%1\" has no \"=\"").arg(line.key);
        else
            lines.append({line.key, line.value, preset});
    }
    return lines;
}

} // namespace

QList<EngineIniLine> engineIniLines(const QString& sectionText) {
    QList<EngineIniLine> lines;
    for (const QString& rawLine : sectionText.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            lines.append({line, QString(), false});
        else
            lines.append({line.left(eq).trimmed(), valueOf(line.mid(eq + 1)), true});
    }
    return lines;
}

namespace {

std::optional<EngineKind> kindNamed(const QString& name) {
    const QString k = name.toLower();
    if (k.isEmpty() || k == QLatin1String("markers"))
        return EngineKind::Markers;
    if (k == QLatin1String("json"))
        return EngineKind::Json;
    if (k == QLatin1String("table"))
        return EngineKind::Table;
    if (k == QLatin1String("graph"))
        return EngineKind::Graph;
    if (k == QLatin1String("off"))
        return EngineKind::Off;
    return std::nullopt;
}

void checkPointer(const QString& key, const QString& pointer, QStringList& problems) {
    QString why;
    if (!JsonPointer::parse(pointer, &why))
        problems << QStringLiteral("invalid JSON pointer \"%1\" in %2: %3").arg(pointer, key, why);
}

// The keys of a section that need no more than their value: text as written (of the definition
// or of its markers), yes or no, and codes with "|" between them. The rest are read one by one
// in readSlot.
struct TextKey {
    const char* name;
    QString EngineDefinition::*definition;
    QString MarkerRule::*marker;
};
constexpr TextKey TextKeys[] = {
    {"About", &EngineDefinition::about, nullptr},
    {"Metric", &EngineDefinition::metric, nullptr},
    {"Suffix", &EngineDefinition::querySuffix, nullptr},
    {"Address", &EngineDefinition::address, nullptr},
    {"Body", &EngineDefinition::body, nullptr},
    {"Server", &EngineDefinition::server, nullptr},
    {"Sum", &EngineDefinition::sumOf, nullptr},
    {"Pages", &EngineDefinition::pagesPointer, nullptr},
    {"HistoryAddress", &EngineDefinition::historyAddress, nullptr},
    {"HistoryBody", &EngineDefinition::historyBody, nullptr},
    {"HistoryItems", &EngineDefinition::historyItems, nullptr},
    {"HistoryDate", &EngineDefinition::historyDate, nullptr},
    {"HistoryCount", &EngineDefinition::historyCount, nullptr},
    {"Column", &EngineDefinition::column, nullptr},
    {"KeyName", &EngineDefinition::keyName, nullptr},
    {"Release", &EngineDefinition::release, nullptr},
    {"CountBefore", nullptr, &MarkerRule::countBefore},
    {"CountAfter", nullptr, &MarkerRule::countAfter},
    {"OtherCountBefore", nullptr, &MarkerRule::otherCountBefore},
    {"OtherCountAfter", nullptr, &MarkerRule::otherCountAfter},
    {"NoResultsBefore", nullptr, &MarkerRule::noResultsBefore},
    {"NoResultsAfter", nullptr, &MarkerRule::noResultsAfter},
    {"NoResultsPhrase", nullptr, &MarkerRule::noResultsPhrase},
};
struct FlagKey {
    const char* name;
    bool EngineDefinition::*definition;
    bool MarkerRule::*marker;
};
constexpr FlagKey FlagKeys[] = {
    {"InTotal", &EngineDefinition::countsIntoTotal, nullptr},
    {"SpacesToZeros", nullptr, &MarkerRule::spacesToZeros},
    {"SingleQuotes", nullptr, &MarkerRule::singleQuotes},
    {"NoResultsJoinLines", nullptr, &MarkerRule::noResultsJoinLines},
};
struct CodesKey {
    const char* name;
    QStringList EngineDefinition::*member;
};
constexpr CodesKey CodesKeys[] = {
    {"RateLimitCodes", &EngineDefinition::rateLimitCodes},
    {"QuotaCodes", &EngineDefinition::quotaCodes},
    {"KeyCodes", &EngineDefinition::keyCodes},
    {"SiteCodes", &EngineDefinition::siteCodes},
};

template <typename Key, size_t N> const Key* keyIn(const Key (&table)[N], const QString& name) {
    for (const Key& key : table)
        if (name.compare(QLatin1String(key.name), Qt::CaseInsensitive) == 0)
            return &key;
    return nullptr;
}

// What a slot's answer is read with must be complete and sound for its kind.
void answerProblems(const EngineDefinition& d, bool hasPointer, QStringList& problems) {
    if (problems.isEmpty() && d.kind == EngineKind::Markers && d.markers.countBefore.isEmpty())
        problems << Text::tr("CountBefore is empty: nothing marks the count");

    if (problems.isEmpty() && d.kind == EngineKind::Json) {
        if (!hasPointer)
            problems << QStringLiteral("no Pointer (the count's place in the reply, such as "
                                       "/data/count)");
        else if (QString why; !JsonPointer::parse(d.pointer, &why))
            problems << QStringLiteral("invalid JSON pointer \"%1\": %2").arg(d.pointer, why);
        for (const QString& pointer : d.errorPointers)
            checkPointer(QStringLiteral("ErrorPointer"), pointer, problems);
        for (const AnswerCheck& check : d.okChecks)
            checkPointer(QStringLiteral("OkPointer"), check.pointer, problems);
        for (const QString& pointer : d.codePointers)
            checkPointer(QStringLiteral("CodePointer"), pointer, problems);
        if (d.isPaged())
            checkPointer(QStringLiteral("Pages"), d.pagesPointer, problems);
        if (!d.historyAddress.isEmpty()) {
            checkPointer(QStringLiteral("HistoryItems"), d.historyItems, problems);
            if (d.historyDate.isEmpty() || d.historyCount.isEmpty())
                problems << Text::tr("HistoryAddress needs HistoryDate and HistoryCount (the "
                                     "members of each point holding its date and its count)");
        }
    }
    if (problems.isEmpty() && d.kind != EngineKind::Json && !d.historyAddress.isEmpty())
        problems << Text::tr("HistoryAddress is read only from a json slot's answer");
    if (problems.isEmpty() && d.kind == EngineKind::Table && d.column.trimmed().isEmpty())
        problems << Text::tr("no Column (the heading of the count's column, such as domains_num)");
}

// A graph slot's link index: the one Index names (beside engines.ini when relative), or the
// newest fetched into the per-user graphs folder.
void openGraphIndex(EngineDefinition& d, bool hasIndex, const QString& folder,
                    QStringList& problems) {
    if (!hasIndex || d.indexPath.isEmpty()) {
        // Without Index=: the index fetched last into the per-user graphs folder.
        QString why;
        d.index = LinkIndex::newestIn(ProgramFolder::graphsFolder(), d.measure, &why);
        if (!d.index)
            problems << Text::tr("no Index, and %1").arg(why);
        else if (d.release.isEmpty())
            d.release = d.index->releaseName();
    } else {
        const QString path =
            QFileInfo(d.indexPath).isAbsolute() ? d.indexPath : QDir(folder).filePath(d.indexPath);
        QString why;
        d.index = LinkIndex::open(path, &why);
        if (!d.index)
            problems << Text::tr("link index: %1").arg(why);
        else if (!d.index->has(d.measure))
            problems << Text::tr("link index: %1 holds no %2 (import the release with "
                                 "%3)")
                            .arg(path, measureKey(d.measure),
                                 d.measure == GraphMeasure::LinkingDomains
                                     ? Text::tr("its edges file")
                                     : QStringLiteral("--ranks"));
        else if (d.release.isEmpty())
            d.release = d.index->releaseName();
    }
}

// The old way of asking (prefix + target + suffix, "{key}" in headers) is enough?
bool isPlainRequest(const EngineDefinition& d) {
    bool plain = d.preset.isEmpty() && d.address.isEmpty() && d.method == "GET" &&
                 d.body.isEmpty() && d.basicAuthUser.isEmpty() && d.server.isEmpty() &&
                 d.kind != EngineKind::Table && !d.isPaged() && !usesMoreThanKey(d.querySuffix) &&
                 !d.querySuffix.contains(KeyPlaceholder);
    for (const auto& [name, value] : d.headers)
        plain = plain && !usesMoreThanKey(value);
    return plain;
}

void readSlot(EngineDefinition& d, const QString& sectionText, const QString& folder,
              SlotKeys& keys, const QHash<QString, QString>* givenKeys = nullptr,
              const QString& presetInstead = QString()) {
    const EngineDefinition start = d;
    const SlotKeys startKeys = keys;
    QStringList problems;
    const QList<SectionLine> own = linesOf(sectionText, QString(), problems);
    auto is = [](const SectionLine& line, const char* name) {
        return line.key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };

    // A preset comes first; the section's own lines override it. The last Preset and Kind
    // written win.
    QString presetName;
    for (const SectionLine& line : own)
        if (is(line, "Preset"))
            presetName = presetInstead.isEmpty() ? line.value : presetInstead;
    QList<SectionLine> lines;
    if (!presetName.isEmpty()) {
        QString why;
        if (const std::optional<QString> text = presetSectionText(presetName, &why)) {
            QStringList presetProblems;
            lines = linesOf(*text, presetName, presetProblems);
            for (const QString& problem : presetProblems)
                problems << Text::tr("preset %1: %2").arg(presetName, problem);
            d.preset = presetName;
        } else {
            problems << why;
        }
    }
    lines += own;
    QString kind;
    bool onlyCaption = true;
    for (const SectionLine& line : lines) {
        if (is(line, "Kind"))
            kind = line.value;
        onlyCaption = onlyCaption && is(line, "Caption");
    }
    d.builtInEngine = onlyCaption && presetName.isEmpty();
    const std::optional<EngineKind> parsedKind = kindNamed(kind);
    if (!parsedKind)
        problems
            << QStringLiteral("unknown kind \"%1\" (markers, json, table, graph or off)").arg(kind);
    d.kind = parsedKind.value_or(EngineKind::Markers);
    // Another kind, or a preset: nothing of the built-in engine comes along.
    if (!presetName.isEmpty() || d.kind != EngineKind::Markers) {
        d.querySuffix.clear();
        d.markers = MarkerRule();
        d.target = QueryTarget::Url;
    }
    d.switchedOff = d.kind == EngineKind::Off;

    std::map<int, QString> removes;
    std::map<int, QString> headerLines;
    std::map<int, QString> errorPointers;
    std::map<int, QString> okPointers;
    std::map<int, QString> okValues;
    std::map<int, QString> codePointers;
    QString alternative; // the preset asked instead when this one's keys are not stored
    bool hasPointer = false;
    bool hasIndex = false;
    for (const SectionLine& line : lines) {
        const QString& key = line.key;
        const QString& value = line.value;
        QStringList lineProblems;
        auto flag = [&](bool& target) {
            if (const std::optional<bool> on = yesNo(value))
                target = *on;
            else
                lineProblems << QStringLiteral("%1 takes yes or no, not \"%2\"").arg(key, value);
        };
        MarkerRule& m = d.markers;
        if (const TextKey* text = keyIn(TextKeys, key)) {
            (text->definition ? d.*(text->definition) : m.*(text->marker)) = value;
        } else if (const FlagKey* yes = keyIn(FlagKeys, key)) {
            flag(yes->definition ? d.*(yes->definition) : m.*(yes->marker));
        } else if (const CodesKey* codes = keyIn(CodesKeys, key)) {
            d.*(codes->member) = value.split(QLatin1Char('|'));
        } else if (is(line, "Caption")) {
            keys.caption = value;
            keys.hasCaption = true;
        } else if (is(line, "Kind") || is(line, "Preset")) {
            // read above
        } else if (is(line, "Alternative")) {
            alternative = value;
        } else if (is(line, "Target")) {
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
                lineProblems << QStringLiteral("unknown Target \"%1\" (url, encoded-url, host or "
                                               "domain)")
                                    .arg(value);
        } else if (is(line, "Method")) {
            if (value.compare(QLatin1String("GET"), Qt::CaseInsensitive) == 0 ||
                value.compare(QLatin1String("POST"), Qt::CaseInsensitive) == 0)
                d.method = value.toUpper().toLatin1();
            else
                lineProblems << Text::tr("Method takes GET or POST, not \"%1\"").arg(value);
        } else if (is(line, "ContentType")) {
            d.contentType = value.toLatin1();
        } else if (is(line, "BasicAuth")) {
            const QStringList names = value.split(QLatin1Char(','));
            if (names.size() == 2 && !names[0].trimmed().isEmpty() &&
                !names[1].trimmed().isEmpty()) {
                d.basicAuthUser = names[0].trimmed();
                d.basicAuthSecret = names[1].trimmed();
            } else {
                lineProblems << Text::tr("BasicAuth takes the names of two keys, USER,SECRET, not "
                                         "\"%1\"")
                                    .arg(value);
            }
        } else if (const int n = numbered(key, QStringLiteral("Remove"))) {
            removes[n] = value;
        } else if (is(line, "MaxLength")) {
            const std::optional<qint64> n = readWholeNumber(value);
            if (n && *n >= 1 && *n <= 100)
                m.maxLength = int(*n);
            else
                lineProblems << QStringLiteral("MaxLength must be a whole number from 1 to 100, "
                                               "not \"%1\"")
                                    .arg(value);
        } else if (is(line, "Pointer")) {
            d.pointer = value;
            hasPointer = true;
        } else if (const int n = numberedOrPlain(key, QStringLiteral("ErrorPointer"))) {
            errorPointers[n] = value;
        } else if (const int n = numberedOrPlain(key, QStringLiteral("OkPointer"))) {
            okPointers[n] = value;
        } else if (const int n = numberedOrPlain(key, QStringLiteral("OkValue"))) {
            okValues[n] = value;
        } else if (const int n = numberedOrPlain(key, QStringLiteral("CodePointer"))) {
            codePointers[n] = value;
        } else if (is(line, "Separator")) {
            if (value.size() == 1)
                d.separator = value.front();
            else
                lineProblems << Text::tr("Separator takes one character, not \"%1\"").arg(value);
        } else if (const int n = numbered(key, QStringLiteral("Header"))) {
            headerLines[n] = value;
        } else if (is(line, "Index")) {
            d.indexPath = value;
            hasIndex = true;
        } else if (is(line, "Measure")) {
            if (!measureFromKey(value, &d.measure))
                lineProblems << QStringLiteral("unknown Measure \"%1\" (linking-domains, "
                                               "harmonic-rank or pagerank-rank)")
                                    .arg(value);
        } else {
            lineProblems << QStringLiteral("unknown setting \"%1\"").arg(key);
        }
        for (const QString& problem : lineProblems)
            problems << (line.preset.isEmpty()
                             ? problem
                             : Text::tr("preset %1: %2").arg(line.preset, problem));
    }
    if (!removes.empty()) {
        d.markers.remove.clear();
        for (const auto& [n, text] : removes)
            d.markers.remove << text;
    }
    for (const auto& [n, pointer] : errorPointers)
        d.errorPointers << pointer;
    for (const auto& [n, pointer] : okPointers) {
        if (!okValues.count(n))
            problems << Text::tr(
                            "OkPointer%1 has no OkValue%1 (the text a good answer holds there)")
                            .arg(n == 1 ? QString() : QString::number(n));
        else
            d.okChecks.append({pointer, okValues[n].split(QLatin1Char('|'))});
    }
    for (const auto& [n, pointer] : codePointers)
        d.codePointers << pointer;
    if (d.codePointers.isEmpty() &&
        !(d.rateLimitCodes + d.quotaCodes + d.keyCodes + d.siteCodes).isEmpty())
        problems << Text::tr("codes without CodePointer (the place of the provider's code)");
    for (const auto& [n, v] : okValues)
        if (!okPointers.count(n))
            problems << Text::tr("OkValue%1 has no OkPointer%1")
                            .arg(n == 1 ? QString() : QString::number(n));

    answerProblems(d, hasPointer, problems);

    // The request of a slot that makes one.
    QStringList keyNames;
    if (problems.isEmpty() && d.makesRequests()) {
        if (!d.address.isEmpty() &&
            !d.address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
            !d.address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
            problems << Text::tr("Address must start with http:// or https://");
        if (!d.body.isEmpty() && d.method != "POST")
            problems << Text::tr("a Body is sent only with Method=POST");
        if (holdsLineBreakOrNul(d.contentType))
            problems << Text::tr("ContentType holds a line break");
        if (QString why; !d.server.isEmpty() && !readServer(d.server, &why))
            problems << Text::tr("Server: %1").arg(why);
        problems << placeholderProblems(d.address, QStringLiteral("Address"), d.keyName, &keyNames);
        problems << placeholderProblems(d.querySuffix, QStringLiteral("Suffix"), d.keyName,
                                        &keyNames);
        problems << placeholderProblems(d.body, QStringLiteral("Body"), d.keyName, &keyNames);
        problems << placeholderProblems(d.historyAddress, QStringLiteral("HistoryAddress"),
                                        d.keyName, &keyNames);
        problems << placeholderProblems(d.historyBody, QStringLiteral("HistoryBody"), d.keyName,
                                        &keyNames);
        if (!d.historyAddress.isEmpty() &&
            !d.historyAddress.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) &&
            !d.historyAddress.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
            problems << Text::tr("HistoryAddress must start with http:// or https://");
        for (const auto& [n, line] : headerLines) {
            const qsizetype colon = line.indexOf(QLatin1Char(':'));
            const QString name = colon < 0 ? QString() : line.left(colon).trimmed();
            const QString value = colon < 0 ? QString() : line.mid(colon + 1).trimmed();
            if (!isHeaderName(name)) {
                problems
                    << QStringLiteral("Header%1 \"%2\" is not \"Name: value\"").arg(n).arg(line);
            } else if (holdsLineBreakOrNul(value)) {
                problems << Text::tr("Header%1 holds a line break").arg(n);
            } else if (ForbiddenHeaders.contains(name, Qt::CaseInsensitive)) {
                problems
                    << Text::tr("Header%1 sets %2, which the request sets itself").arg(n).arg(name);
            } else {
                d.headers.append({name.toLatin1(), value});
                problems << placeholderProblems(value, QStringLiteral("Header%1").arg(n), d.keyName,
                                                &keyNames);
            }
        }
        if (!d.basicAuthUser.isEmpty())
            keyNames << d.basicAuthUser << d.basicAuthSecret;
        const QByteArray type = d.contentType.isEmpty() ? QByteArrayLiteral("application/json")
                                                        : d.contentType.toLower();
        for (const auto& [body, name] : {std::pair{d.body, QStringLiteral("Body")},
                                         std::pair{d.historyBody, QStringLiteral("HistoryBody")}}) {
            if (!problems.isEmpty() || body.isEmpty() || !type.contains("json"))
                continue;
            QJsonParseError error;
            QJsonDocument::fromJson(withPlaceholdersAs(body, QStringLiteral("x")).toUtf8(), &error);
            if (error.error != QJsonParseError::NoError)
                problems << Text::tr("the %1 is not JSON (%2 at byte %3)")
                                .arg(name, error.errorString())
                                .arg(error.offset);
        }
        QStringList missing;
        // Keys typed into the Sources window are tried as they stand; the store is not asked.
        const FileOutcome store =
            keyNames.isEmpty() || givenKeys ? FileOutcome::success() : userSettingsReadable();
        if (!store && problems.isEmpty())
            // An unreadable store is not a missing key: giving it a value would not help.
            problems << (keyNames.size() == 1
                             ? Text::tr("the API key %1 cannot be read: the settings in "
                                        "%2 cannot be read (%3)")
                             : Text::tr("the API keys %1 cannot be read: the settings "
                                        "in %2 cannot be read (%3)"))
                            .arg(keyNames.join(Text::tr(" and ")),
                                 QDir::toNativeSeparators(userSettingsFile()), store.reason());
        for (const QString& name : store ? keyNames : QStringList()) {
            const QString apiKey = givenKeys ? givenKeys->value(name) : UserSettings::apiKey(name);
            if (apiKey.isEmpty())
                missing << name;
            else if (holdsLineBreakOrNul(apiKey))
                problems << Text::tr("the API key %1 holds a line break").arg(name);
        }
        // An account with the other way in (a legacy key pair) is asked that way.
        if (problems.isEmpty() && !missing.isEmpty() && !alternative.isEmpty() &&
            presetInstead.isEmpty()) {
            EngineDefinition other = start;
            SlotKeys otherKeys = startKeys;
            readSlot(other, sectionText, folder, otherKeys, givenKeys, alternative);
            if (other.usable()) {
                d = std::move(other);
                keys = otherKeys;
                return;
            }
        }
        if (problems.isEmpty() && !missing.isEmpty())
            problems << (missing.size() == 1
                             ? Text::tr("no API key: give %1 a value in section %2 of %3")
                                   .arg(missing.first(), QLatin1String(KeysSection),
                                        QDir::toNativeSeparators(userSettingsFile()))
                             : Text::tr("no API keys: give %1 values in section %2 of %3")
                                   .arg(missing.join(Text::tr(" and ")), QLatin1String(KeysSection),
                                        QDir::toNativeSeparators(userSettingsFile())));
    }

    d.plainRequest = isPlainRequest(d);

    // A rank is a position, 1 the best: never summed into a total.
    if (d.kind == EngineKind::Graph && d.measure != GraphMeasure::LinkingDomains)
        d.countsIntoTotal = false;
    if (problems.isEmpty() && d.kind == EngineKind::Graph)
        openGraphIndex(d, hasIndex, folder, problems);
    problems.removeAll(QString());
    d.problem = d.maskKeys(problems.join(QStringLiteral("; ")));
}

// Captions taken by every slot but `slot`, in any letter case: their built-in names and the
// captions set for them.
bool captionTaken(const QString& caption, int slot, const std::array<SlotKeys, EngineCount>& keys) {
    for (int other = 0; other < EngineCount; ++other) {
        if (other == slot)
            continue;
        const EngineInfo& e = engineTable()[other];
        for (const char* name : {e.caption, e.webRowText})
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
    case EngineKind::Table:
        return QStringLiteral("table");
    case EngineKind::Graph:
        return QStringLiteral("graph");
    case EngineKind::Off:
        return QStringLiteral("off");
    default:
        return QStringLiteral("markers");
    }
}

} // namespace

QString EngineDefinition::failureReason() const {
    // Whatever a definition quotes (a line of a megabyte, a caption of one) stays readable, and a
    // scan of thousands of URLs does not write it thousands of times.
    const QString reason = Text::tr("engine definition: %1").arg(problem);
    if (reason.size() <= MaxReasonLength)
        return reason;
    return reason.left(MaxReasonLength - 1) + QChar(0x2026);
}

QString EngineDefinition::sourceName() const {
    if (!preset.isEmpty())
        return preset;
    return builtInEngine ? key : QStringLiteral("custom");
}

namespace {

// What a link index's count is, by its measure and level.
QString graphMeasureName(const EngineDefinition& d) {
    switch (d.measure) {
    case GraphMeasure::HarmonicRank:
        return QStringLiteral("harmonic centrality rank");
    case GraphMeasure::PageRankRank:
        return QStringLiteral("PageRank rank");
    case GraphMeasure::LinkingDomains:
        break;
    }
    return d.index && d.index->level() == GraphLevel::Hosts ? QStringLiteral("linking hosts")
                                                            : QStringLiteral("linking domains");
}

} // namespace

EngineDefinition EngineDefinition::historyDefinition() const {
    EngineDefinition history = *this;
    history.address = historyAddress;
    history.body = historyBody;
    history.pointer = historyItems;
    history.pagesPointer.clear();
    history.sumOf.clear();
    history.plainRequest = false;
    return history;
}

QString EngineDefinition::metricName() const {
    if (!metric.isEmpty())
        return metric;
    if (kind == EngineKind::Graph)
        return graphMeasureName(*this);
    return builtInEngine ? QStringLiteral("linking pages") : QString();
}

QString EngineDefinition::countMeaning() const {
    return countMeaningOf(QByteArray());
}

QString EngineDefinition::countMeaningOf(const QByteArray& vertex) const {
    if (kind != EngineKind::Graph || !index)
        return QString();
    const QString what = graphMeasureName(*this);
    if (vertex.isEmpty())
        return QStringLiteral("%1 in %2").arg(what, release);
    // A rank is of the vertex; linking domains or hosts link to it.
    return (measure == GraphMeasure::LinkingDomains ? QStringLiteral("%1 to %2 in %3")
                                                    : QStringLiteral("%1 of %2 in %3"))
        .arg(what, QString::fromUtf8(vertex), release);
}

QStringList EngineDefinition::keyNames() const {
    QStringList names;
    if (!makesRequests())
        return names;
    placeholderProblems(address, QString(), keyName, &names);
    placeholderProblems(querySuffix, QString(), keyName, &names);
    placeholderProblems(body, QString(), keyName, &names);
    for (const auto& [name, value] : headers)
        placeholderProblems(value, QString(), keyName, &names);
    for (const QString& name : {basicAuthUser, basicAuthSecret})
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    return names;
}

void EngineDefinition::rememberKeys(const QHash<QString, QString>* given) {
    loadedKeys.reset();
    QHash<QString, QString> keys = storedKeys();
    if (given)
        for (auto it = keys.begin(); it != keys.end(); ++it)
            it.value() = given->value(it.key());
    loadedKeys = std::move(keys);
}

QHash<QString, QString> EngineDefinition::storedKeys() const {
    if (loadedKeys)
        return *loadedKeys;
    QHash<QString, QString> keys;
    QStringList names = keyNames();
    if (makesRequests() && !keyName.isEmpty())
        names << keyName; // a settings.ini prefix may ask for it too
    for (const QString& name : names)
        keys.insert(name, UserSettings::apiKey(name));
    return keys;
}

QString EngineDefinition::maskKeys(const QString& text) const {
    if (text.isEmpty())
        return text;
    const QHash<QString, QString> keys = storedKeys();
    QStringList secrets = keys.values();
    if (!basicAuthUser.isEmpty())
        secrets << QString::fromLatin1(
            (keys.value(basicAuthUser) + QLatin1Char(':') + keys.value(basicAuthSecret))
                .toUtf8()
                .toBase64());
    return maskSecrets(text, secrets);
}

QList<QPair<QByteArray, QByteArray>> EngineDefinition::requestHeaders() const {
    QList<QPair<QByteArray, QByteArray>> list;
    if (!plainRequest)
        return list;
    QString apiKey;
    bool keyRead = false;
    for (const auto& [name, value] : headers) {
        QString filled = value;
        if (filled.contains(KeyPlaceholder)) {
            if (!keyRead) {
                apiKey = loadedKeys ? loadedKeys->value(keyName) : UserSettings::apiKey(keyName);
                keyRead = true;
            }
            filled.replace(KeyPlaceholder, apiKey);
        }
        list.append({name, filled.toUtf8()});
    }
    return list;
}

std::optional<QString> EngineDefinition::queryTarget(const QString& url) const {
    if (!plainRequest || !makesRequests())
        return std::nullopt;
    return queryTargetOf(target, url);
}

std::optional<QString> queryTargetOf(QueryTarget target, const QString& url) {
    switch (target) {
    case QueryTarget::Url:
        return url;
    case QueryTarget::EncodedUrl: // as {encoded-url}: every byte but the unreserved ones
        return QString::fromLatin1(QUrl::toPercentEncoding(url));
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
    lines
        << (file.isEmpty() || !QFileInfo::exists(file)
                ? Text::tr("The six built-in engines (there is no %1).")
                      .arg(QDir::toNativeSeparators(
                          file.isEmpty() ? QString::fromLatin1(EnginesIniName) : file))
                : Text::tr("The engines as %1 defines them.").arg(QDir::toNativeSeparators(file)));
    for (const EngineDefinition& d : definitions) {
        QString what = QStringLiteral("%1: \"%2\", ").arg(d.key, d.caption);
        if (d.switchedOff) {
            lines << what + Text::tr("off: it sends nothing, and its column counts nothing");
            continue;
        }
        if (d.usable() && d.builtInEngine) {
            lines << what +
                         Text::tr("the built-in search engine: it no longer reports link counts");
            continue;
        }
        what += d.preset.isEmpty() ? kindName(d.kind) : Text::tr("preset %1").arg(d.preset);
        if (d.usable() && !d.about.isEmpty())
            what += QStringLiteral(" (%1)").arg(d.about);
        if (d.usable() && d.kind == EngineKind::Json && d.preset.isEmpty())
            what += d.sumOf.isEmpty() ? QStringLiteral(", the count at %1").arg(d.pointer)
                                      : Text::tr(", the sum of %1 over %2").arg(d.sumOf, d.pointer);
        if (d.usable() && d.kind == EngineKind::Table && d.preset.isEmpty())
            what += Text::tr(", the count in column %1").arg(d.column);
        if (d.usable() && d.kind == EngineKind::Graph && d.index)
            what += QStringLiteral(" of %1 (%2 %3)")
                        .arg(d.release, QLocale::c().toString(qulonglong(d.index->size())),
                             d.index->level() == GraphLevel::Hosts ? QStringLiteral("hosts")
                                                                   : QStringLiteral("domains"));
        if (d.usable() && d.kind == EngineKind::Graph && d.measure != GraphMeasure::LinkingDomains)
            what += QStringLiteral(", ") + measureKey(d.measure);
        if (!d.countsIntoTotal)
            what += Text::tr(", a score kept out of the total");
        if (const QStringList names = d.keyNames(); d.usable() && !names.isEmpty())
            what += (names.size() == 1 ? Text::tr(", key %1") : Text::tr(", keys %1"))
                        .arg(names.join(QStringLiteral(", ")));
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

QString enginesIniProblem(const QString& enginesIni) {
    const modINI::IniDocument file = modINI::IniDocument::load(enginesIni);
    if (!file.outcome())
        return file.outcome().reason();
    // Something other than an engines.ini (random bytes, another program's file): nothing of it
    // is used. An empty file, or one of comments only, changes nothing and is fine.
    if (file.isBlank())
        return QString();
    for (const QString& section : file.sections())
        for (const EngineInfo& e : engineTable())
            if (section.compare(QLatin1String(e.key), Qt::CaseInsensitive) == 0)
                return QString();
    return Text::tr("none of its sections is a column's ([Google], [Altavista], [Yahoo], [Ask], "
                    "[MSN] or [ATW]): it is not an engines.ini this program can read");
}

namespace {

EngineSet readEngines(const QString& enginesIni) {
    EngineSet set = builtInEngines();
    set.file = enginesIni;
    if (enginesIni.isEmpty() || !QFileInfo::exists(enginesIni))
        return set;
    if (const QString problem = enginesIniProblem(enginesIni); !problem.isEmpty()) {
        for (EngineDefinition& d : set.definitions)
            d.problem =
                Text::tr("%1 cannot be read: %2").arg(QString::fromLatin1(EnginesIniName), problem);
        return set;
    }
    const QString folder = QFileInfo(enginesIni).absolutePath();
    const QStringList sections = modINI::ListIniSections(enginesIni);
    std::array<SlotKeys, EngineCount> keys{};
    for (int slot = 0; slot < EngineCount; ++slot) {
        EngineDefinition& d = set.definitions[slot];
        QString firstName;
        for (const QString& section : sections)
            if (section.compare(d.key, Qt::CaseInsensitive) == 0 && keys[slot].sections++ == 0)
                firstName = section;
        if (keys[slot].sections > 0)
            readSlot(d, modINI::ReadIniSection(firstName, QString(), enginesIni), folder,
                     keys[slot]);
        if (keys[slot].sections > 1) {
            const QString twice =
                Text::tr("the section [%1] is written %2 times in %3: join them into "
                         "one")
                    .arg(d.key)
                    .arg(keys[slot].sections)
                    .arg(QString::fromLatin1(EnginesIniName));
            d.problem = d.problem.isEmpty() ? twice : d.problem + QStringLiteral("; ") + twice;
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
        d.statusSuffix = Text::tr(" on %1").arg(caption);
        d.captionChanged = true;
    }
    return set;
}

} // namespace

EngineSet loadEngines(const QString& enginesIni) {
    EngineSet set = readEngines(enginesIni);
    // Every request of a run uses the keys as they are now, with or without an engines.ini.
    for (EngineDefinition& d : set.definitions)
        d.rememberKeys();
    return set;
}

EngineDefinition definitionFromSection(int slot, const QString& sectionText, const QString& folder,
                                       const QHash<QString, QString>& keys) {
    EngineDefinition d = builtIn(slot);
    SlotKeys slotKeys;
    readSlot(d, sectionText, folder, slotKeys, &keys);
    if (slotKeys.hasCaption && captionProblem(slotKeys.caption).isEmpty()) {
        d.caption = slotKeys.caption;
        d.rowText = slotKeys.caption;
        d.statusSuffix = Text::tr(" on %1").arg(slotKeys.caption);
        d.captionChanged = true;
    }
    d.rememberKeys(&keys);
    return d;
}

EngineSet programEngines() {
    return loadEngines(ProgramFolder::path() + QLatin1Char('/') +
                       QString::fromLatin1(EnginesIniName));
}

} // namespace tally
