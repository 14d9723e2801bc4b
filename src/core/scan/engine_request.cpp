#include "core/scan/engine_request.h"

#include "core/linkgraph/domain_names.h"
#include "core/net/http_reply.h"
#include "core/net/web_address.h"
#include "core/numbers/numbers.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(EngineRequest)
};

const QString Masked = QStringLiteral("\u2026");

enum class Place { Address, Header, JsonBody, FormBody, TextBody };

enum class Argument { None, Optional, Required };

struct PlaceholderRule {
    const char* name;
    Argument argument;
};

constexpr PlaceholderRule PlaceholderRules[] = {
    {"url", Argument::None},    {"encoded-url", Argument::None}, {"host", Argument::None},
    {"domain", Argument::None}, {"key", Argument::Optional},     {"date", Argument::Required},
    {"today", Argument::None},  {"yesterday", Argument::None},   {"page", Argument::None},
    {"since", Argument::None}};

const PlaceholderRule* ruleOf(const QString& name) {
    for (const PlaceholderRule& rule : PlaceholderRules)
        if (name == QLatin1String(rule.name))
            return &rule;
    return nullptr;
}

// A run of text shaped like a placeholder: "{", a lower-case name, optionally ":" and an
// argument, "}".
struct Found {
    qsizetype start = 0;
    qsizetype length = 0;
    QString name;
    QString argument;
    bool hasArgument = false;
};

QList<Found> placeholdersIn(const QString& text) {
    static const QRegularExpression shape(QStringLiteral(R"(\{([a-z][a-z-]*)(:[^{}\r\n]*)?\})"));
    QList<Found> found;
    for (QRegularExpressionMatchIterator it = shape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        Found f;
        f.start = match.capturedStart(0);
        f.length = match.capturedLength(0);
        f.name = match.captured(1);
        f.hasArgument = match.capturedLength(2) > 0;
        f.argument = f.hasArgument ? match.captured(2).mid(1) : QString();
        found << f;
    }
    return found;
}

QString jsonEscaped(const QString& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(2, array.size() - 4)); // between [" and "]
}

QString percentEncoded(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

// What the placeholders of one request stand for, and what filling them in found.
struct Filling {
    QString url;
    QDate day;
    QDate since; // the first day a look back asks for
    int page = 0;
    const QHash<QString, QString>* keys = nullptr;
    QString defaultKeyName;

    QStringList secrets; // the key values the request carries
    FailureKind failure = FailureKind::None;
    QString problem;

    void fail(FailureKind kind, const QString& why) {
        if (failure == FailureKind::None) {
            failure = kind;
            problem = why;
        }
    }

    QString key(const QString& name) {
        const QString value = keys ? keys->value(name) : QString();
        if (value.isEmpty())
            fail(FailureKind::Definition,
                 Text::tr("engine definition: no API key: give %1 a value in section %2 of %3")
                     .arg(name, QLatin1String(KeysSection),
                          QDir::toNativeSeparators(userSettingsFile())));
        else if (!secrets.contains(value))
            secrets << value;
        return value;
    }

    // The value of one placeholder, and whether it is percent-encoded already.
    QString valueOf(const Found& f, bool* encoded) {
        *encoded = false;
        if (f.name == QLatin1String("url"))
            return url;
        if (f.name == QLatin1String("encoded-url")) {
            *encoded = true;
            return percentEncoded(url);
        }
        if (f.name == QLatin1String("host") || f.name == QLatin1String("domain")) {
            const QString host = hostOfUrl(url);
            if (host.isEmpty()) {
                fail(FailureKind::CouldNotConnect,
                     Text::tr("could not connect: no host name in the address"));
                return QString();
            }
            return f.name == QLatin1String("host") ? host : registrableDomain(host);
        }
        if (f.name == QLatin1String("key"))
            return key(f.hasArgument ? f.argument : defaultKeyName);
        if (f.name == QLatin1String("date"))
            return QLocale::c().toString(day, f.argument);
        if (f.name == QLatin1String("today"))
            return day.toString(Qt::ISODate);
        if (f.name == QLatin1String("yesterday"))
            return day.addDays(-1).toString(Qt::ISODate);
        if (f.name == QLatin1String("page"))
            return QString::number(page);
        if (f.name == QLatin1String("since"))
            return (since.isValid() ? since : day.addYears(-1)).toString(Qt::ISODate);
        return QString();
    }

    // A template with its placeholders filled in for where it stands.
    QString fill(const QString& text, Place place, const QString& where) {
        QString out;
        qsizetype from = 0;
        for (const Found& f : placeholdersIn(text)) {
            if (!ruleOf(f.name))
                continue; // braces that are text
            out += QStringView(text).mid(from, f.start - from);
            from = f.start + f.length;
            bool encoded = false;
            const QString value = valueOf(f, &encoded);
            switch (place) {
            case Place::Address:
            case Place::FormBody:
                out += encoded ? value : percentEncoded(value);
                break;
            case Place::JsonBody:
                out += jsonEscaped(value);
                break;
            case Place::Header:
                if (holdsLineBreakOrNul(value) && f.name == QLatin1String("key"))
                    fail(FailureKind::Definition,
                         Text::tr("engine definition: the API key in %1 holds a line break")
                             .arg(where));
                else if (holdsLineBreakOrNul(value))
                    fail(FailureKind::CouldNotConnect,
                         Text::tr("could not connect: the value of {%1} in %2 holds a line break, "
                                  "which a header cannot carry")
                             .arg(f.name, where));
                out += value;
                break;
            case Place::TextBody:
                out += value;
                break;
            }
        }
        out += QStringView(text).mid(from);
        return out;
    }
};

// The literal beginning of a template: everything before its first placeholder.
QString literalHead(const QString& text) {
    for (const Found& f : placeholdersIn(text))
        if (ruleOf(f.name))
            return text.left(f.start);
    return text;
}

int defaultPort(const QString& scheme) {
    return scheme == QLatin1String("https") ? 443 : 80;
}

bool isHostName(const QString& host) {
    static const QRegularExpression name(QStringLiteral(
        R"(^([A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)(\.[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?)*\.?$)"));
    static const QRegularExpression ipv6(QStringLiteral(R"(^\[[0-9A-Fa-f:.]+\]$)"));
    return name.match(host).hasMatch() || ipv6.match(host).hasMatch();
}

// "scheme://host[:port]" followed by whatever rest the pattern allows.
std::optional<ServerOrigin> readOrigin(const QString& text, const QString& rest, QString* problem) {
    const QRegularExpression shape(QStringLiteral(R"(^([A-Za-z][A-Za-z0-9+.-]*)://([^/?#@]*))") +
                                   rest);
    const QRegularExpressionMatch match = shape.match(text);
    auto fail = [problem](const QString& why) -> std::optional<ServerOrigin> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (!match.hasMatch())
        return fail(Text::tr("\"%1\" is not scheme://host[:port]").arg(text));
    ServerOrigin origin;
    origin.scheme = match.captured(1).toLower();
    if (origin.scheme != QLatin1String("http") && origin.scheme != QLatin1String("https"))
        return fail(Text::tr("\"%1\" is neither http nor https").arg(origin.scheme));
    QString authority = match.captured(2);
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && !authority.endsWith(QLatin1Char(']'))) {
        const std::optional<quint64> port = readPlainIndex(authority.mid(colon + 1).toLatin1());
        if (!port || *port < 1 || *port > 65535)
            return fail(Text::tr("\"%1\" is not a port").arg(authority.mid(colon + 1)));
        origin.port = int(*port);
        authority.truncate(colon);
    }
    if (!isHostName(authority))
        return fail(Text::tr("\"%1\" is not a host name").arg(authority));
    origin.host = authority.toLower();
    if (origin.host.endsWith(QLatin1Char('.')))
        origin.host.chop(1);
    if (origin.port < 0)
        origin.port = defaultPort(origin.scheme);
    return origin;
}

std::optional<ServerOrigin> originOfUrl(const QString& address) {
    const QUrl url(address);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty())
        return std::nullopt;
    ServerOrigin origin;
    origin.scheme = url.scheme().toLower();
    origin.host = url.host().toLower();
    if (origin.host.contains(QLatin1Char(':')))
        origin.host = QLatin1Char('[') + origin.host + QLatin1Char(']');
    origin.port = url.port(defaultPort(origin.scheme));
    return origin;
}

bool sameOrigin(const ServerOrigin& a, const ServerOrigin& b) {
    return a.scheme == b.scheme && a.host == b.host && a.port == b.port;
}

QString originText(const ServerOrigin& origin) {
    return origin.port == defaultPort(origin.scheme)
               ? origin.host
               : origin.host + QLatin1Char(':') + QString::number(origin.port);
}

Place bodyPlace(const QByteArray& contentType) {
    const QByteArray type = contentType.toLower();
    if (type.contains("json"))
        return Place::JsonBody;
    if (type.startsWith("application/x-www-form-urlencoded"))
        return Place::FormBody;
    return Place::TextBody;
}

} // namespace

FetchRequest fetchRequestOf(const EngineRequest& request) {
    FetchRequest fetch;
    fetch.url = request.url;
    fetch.method = request.method;
    fetch.body = request.body;
    fetch.contentType = request.contentType;
    fetch.headers = request.headers;
    fetch.bodyCap = request.api ? ApiBodyCap : PageBodyCap;
    return fetch;
}

namespace {

RequestBuild buildRequest(const EngineDefinition& definition, const QString& prefix,
                          const QString& url, const QDateTime& now,
                          const QHash<QString, QString>& keys, int page, const QDate& since) {
    RequestBuild build;
    if (!definition.usable()) {
        build.failure = EngineOutcome::failed(FailureKind::Definition, definition.failureReason());
        return build;
    }
    if (definition.kind == EngineKind::Off) {
        build.failure = EngineOutcome::off();
        return build;
    }
    if (!definition.makesRequests()) {
        build.failure = EngineOutcome::failed(
            FailureKind::Definition,
            Text::tr("engine definition: this kind of slot makes no request"));
        return build;
    }

    Filling filling;
    filling.url = url;
    filling.day = now.date();
    filling.page = page;
    filling.since = since;
    filling.keys = &keys;
    filling.defaultKeyName = definition.keyName;

    // The address, and the part of it written out before anything the URL decides.
    QString address;
    QString head;
    if (!definition.address.isEmpty()) {
        address = filling.fill(definition.address, Place::Address, QStringLiteral("Address"));
        head = literalHead(definition.address);
    } else if (prefix.trimmed().isEmpty()) {
        // Never the listed site itself in place of the engine's page.
        build.failure = EngineOutcome::failed(
            FailureKind::Definition,
            Text::tr("not configured: settings.ini has no query prefix for %1 (Tools › Options)")
                .arg(definition.key));
        return build;
    } else {
        const std::optional<QString> target = queryTargetOf(definition.target, url);
        if (!target)
            filling.fail(FailureKind::CouldNotConnect,
                         Text::tr("could not connect: no host name in the address"));
        address = filling.fill(prefix, Place::Address, Text::tr("the prefix")) +
                  target.value_or(QString()) +
                  filling.fill(definition.querySuffix, Place::Address, QStringLiteral("Suffix"));
        head = literalHead(prefix);
    }

    EngineRequest request;
    request.api = definition.isApi();
    request.method = definition.method;
    for (const auto& [name, value] : definition.headers)
        request.headers.append(
            {name,
             filling.fill(value, Place::Header, Text::tr("the header ") + QString::fromLatin1(name))
                 .toUtf8()});
    if (!definition.basicAuthUser.isEmpty()) {
        const QString user = filling.key(definition.basicAuthUser);
        const QString secret = filling.key(definition.basicAuthSecret);
        if (user.contains(QLatin1Char(':')))
            filling.fail(FailureKind::Definition,
                         Text::tr("engine definition: the key %1 holds \":\", which HTTP Basic "
                                  "authentication cannot carry in a user name")
                             .arg(definition.basicAuthUser));
        const QByteArray token = (user + QLatin1Char(':') + secret).toUtf8().toBase64();
        filling.secrets << QString::fromLatin1(token);
        request.headers.append({QByteArrayLiteral("Authorization"), "Basic " + token});
    }
    if (!definition.body.isEmpty() || definition.method == "POST") {
        request.contentType = definition.contentType.isEmpty()
                                  ? QByteArrayLiteral("application/json")
                                  : definition.contentType;
        const Place place = bodyPlace(request.contentType);
        request.body = filling.fill(definition.body, place, QStringLiteral("Body")).toUtf8();
        if (place == Place::JsonBody && !request.body.isEmpty() &&
            filling.failure == FailureKind::None) {
            QJsonParseError error;
            QJsonDocument::fromJson(request.body, &error);
            if (error.error != QJsonParseError::NoError)
                filling.fail(FailureKind::Definition,
                             Text::tr("engine definition: the Body is not JSON once filled in (%1)")
                                 .arg(error.errorString()));
        }
    }

    // Server= puts its scheme, host and port in place of the address's own.
    std::optional<ServerOrigin> own;
    if (!definition.server.isEmpty() && filling.failure == FailureKind::None) {
        QString why;
        own = readServer(definition.server, &why);
        QUrl moved(address);
        if (!own || !moved.isValid() || moved.host().isEmpty()) {
            filling.fail(FailureKind::CouldNotConnect,
                         Text::tr("could not connect: %1 is not a web address")
                             .arg(maskSecrets(address, filling.secrets)));
        } else {
            moved.setScheme(own->scheme);
            moved.setHost(own->host.startsWith(QLatin1Char('['))
                              ? own->host.mid(1, own->host.size() - 2)
                              : own->host);
            moved.setPort(own->port == defaultPort(own->scheme) ? -1 : own->port);
            address = moved.toString(QUrl::FullyEncoded);
        }
    } else if (!filling.secrets.isEmpty()) {
        own = readOrigin(head, QStringLiteral("[/?#]"), nullptr);
    }

    // A key goes only to the server the definition writes out.
    if (!filling.secrets.isEmpty() && filling.failure == FailureKind::None) {
        const std::optional<ServerOrigin> target = originOfUrl(address);
        if (!own)
            filling.fail(
                FailureKind::Definition,
                Text::tr("engine definition: a request that carries a key must write out its "
                         "server (https://host/...) before any placeholder or URL"));
        else if (!target || !sameOrigin(*own, *target))
            filling.fail(
                FailureKind::Definition,
                Text::tr("engine definition: the key would go to %1, not to %2")
                    .arg(target ? originText(*target) : Text::tr("an address without a host"),
                         originText(*own)));
    }

    if (filling.failure != FailureKind::None) {
        build.failure =
            EngineOutcome::failed(filling.failure, maskSecrets(filling.problem, filling.secrets));
        return build;
    }
    request.url = address;
    request.shownUrl = maskSecrets(address, filling.secrets);
    build.request = request;
    return build;
}

} // namespace

RequestBuild buildEngineRequest(const EngineDefinition& definition, const QString& prefix,
                                const QString& url, const QDateTime& now,
                                const QHash<QString, QString>& keys, int page) {
    return buildRequest(definition, prefix, url, now, keys, page, QDate());
}

RequestBuild buildHistoryRequest(const EngineDefinition& definition, const QString& url,
                                 const QDateTime& now, const QDate& since,
                                 const QHash<QString, QString>& keys) {
    if (!definition.looksBack()) {
        RequestBuild build;
        build.failure = EngineOutcome::failed(
            FailureKind::Definition, Text::tr("engine definition: this source keeps no history"));
        return build;
    }
    return buildRequest(definition.historyDefinition(), QString(), url, now, keys, 0, since);
}

RequestBuild buildEngineRequest(const EngineDefinition& definition, const QString& prefix,
                                const QString& url, const QDateTime& now, int page) {
    return buildEngineRequest(definition, prefix, url, now, definition.storedKeys(), page);
}

QStringList placeholderProblems(const QString& text, const QString& where,
                                const QString& defaultKeyName, QStringList* keyNames) {
    QStringList problems;
    for (const Found& f : placeholdersIn(text)) {
        const PlaceholderRule* rule = ruleOf(f.name);
        const QString written = text.mid(f.start, f.length);
        if (!rule)
            problems << Text::tr("unknown placeholder %1 in %2").arg(written, where);
        else if (rule->argument == Argument::None && f.hasArgument)
            problems << Text::tr("%1 in %2 takes nothing after \":\"").arg(written, where);
        else if (rule->argument == Argument::Required && f.argument.isEmpty())
            problems << Text::tr("%1 in %2 needs a format after \":\" ({date:yyyy-MM-dd})")
                            .arg(written, where);
        else if (f.name == QLatin1String("key") && keyNames) {
            const QString name = f.hasArgument ? f.argument : defaultKeyName;
            if (name.isEmpty())
                problems << Text::tr("%1 in %2 names no key").arg(written, where);
            else if (!keyNames->contains(name))
                *keyNames << name;
        }
    }
    return problems;
}

bool usesMoreThanKey(const QString& text) {
    for (const Found& f : placeholdersIn(text))
        if (ruleOf(f.name) && (f.name != QLatin1String("key") || f.hasArgument))
            return true;
    return false;
}

QString withPlaceholdersAs(const QString& text, const QString& value) {
    QString out;
    qsizetype from = 0;
    for (const Found& f : placeholdersIn(text)) {
        if (!ruleOf(f.name))
            continue;
        out += QStringView(text).mid(from, f.start - from);
        out += value;
        from = f.start + f.length;
    }
    out += QStringView(text).mid(from);
    return out;
}

QString maskSecrets(const QString& text, const QStringList& secrets) {
    QStringList forms;
    for (const QString& secret : secrets) {
        if (secret.isEmpty())
            continue;
        for (const QString& form : {secret, percentEncoded(secret), jsonEscaped(secret)})
            if (!forms.contains(form))
                forms << form;
    }
    std::sort(forms.begin(), forms.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QString masked = text;
    for (const QString& form : forms)
        masked.replace(form, Masked);
    return masked;
}

std::optional<ServerOrigin> readServer(const QString& text, QString* problem) {
    return readOrigin(text.trimmed(), QStringLiteral("/?$"), problem);
}

} // namespace tally
