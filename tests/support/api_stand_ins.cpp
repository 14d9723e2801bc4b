#include "support/api_stand_ins.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace tally::test {

namespace {

HttpResponse answerWith(int status, const QByteArray& body, const QByteArray& contentType) {
    HttpResponse response;
    response.status = status;
    response.body = body;
    response.headers.append({QByteArrayLiteral("Content-Type"), contentType});
    return response;
}

HttpResponse json(int status, const QJsonObject& object) {
    return answerWith(status, QJsonDocument(object).toJson(QJsonDocument::Compact),
                      "application/json; charset=utf-8");
}

HttpResponse text(int status, const QByteArray& body) {
    return answerWith(status, body, "text/plain; charset=utf-8");
}

// A 429 as most providers send it: asking to come back in a second.
HttpResponse withRetryAfter(HttpResponse response) {
    response.headers.append({QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1")});
    return response;
}

// A value as the JSON number it stands for.
QJsonValue number(const QByteArray& value) {
    if (value.contains('.'))
        return value.toDouble();
    return value.toLongLong();
}

QByteArray basicToken(const QString& user, const QString& secret) {
    return "Basic " + (user + QLatin1Char(':') + secret).toUtf8().toBase64();
}

// The registrable domain a stand-in is asked about: what the request names, lower case.
QString site(const QString& asked) {
    return asked.trimmed().toLower();
}

// ---------------------------------------------------------------------------------------------
// Moz Links API v2, url_metrics ("Overview & Authentication - Moz API for Link Data V2",
// moz.com/help/links-api/getting-started/overview; "V2 URL Metrics"). Documented: POST
// https://lsapi.seomoz.com/v2/url_metrics with the API token in the header x-moz-token; accounts
// from before March 2024 may use HTTP Basic authentication with the Access ID as user name and
// the Secret Key as password instead. A JSON body {"targets": ["moz.com"]} (up to 50 targets);
// the answer {"results": [{"page": ..., "domain_authority": ..., "root_domains_to_root_domain":
// ..., ...}]}, one result per target in order. Errors are a status from 400 up with a JSON object
// naming the error and its message. As "moz" it holds the token, as "moz-legacy" the key pair;
// either way it accepts both, as the server does.
class MozStandIn : public ApiStandIn {
public:
    explicit MozStandIn(bool legacy) : legacy_(legacy) {}
    QString preset() const override {
        return legacy_ ? QStringLiteral("moz-legacy") : QStringLiteral("moz");
    }
    QList<QPair<QString, QString>> keys() const override {
        if (!legacy_)
            return {{QStringLiteral("moz-token"), QLatin1String(Token)}};
        return {{QStringLiteral("moz-access-id"), QLatin1String(AccessId)},
                {QStringLiteral("moz-secret-key"), QLatin1String(SecretKey)}};
    }
    QString unknownSiteText() const override { return QStringLiteral("No data for target"); }
    QString quotaText() const override {
        return QStringLiteral("Your monthly row limit has been reached");
    }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const bool token = r.header("x-moz-token") == Token;
        const bool pair = r.header("Authorization") ==
                          basicToken(QLatin1String(AccessId), QLatin1String(SecretKey));
        if (r.method != "POST" || r.path != QLatin1String("/v2/url_metrics"))
            judged.refusal = error(404, "Not Found", "No such endpoint");
        else if (!token && !pair)
            judged.refusal = error(401, "Unauthorized", "Invalid credentials");
        else if (!r.header("Content-Type").startsWith("application/json"))
            judged.refusal = error(400, "Bad Request", "The body must be JSON");
        else {
            const QJsonArray targets =
                QJsonDocument::fromJson(r.body).object()["targets"].toArray();
            if (targets.size() != 1 || !targets.at(0).isString())
                judged.refusal = error(400, "Bad Request", "targets must list the URLs");
            else
                judged.site = site(targets.at(0).toString());
        }
        return judged;
    }
    HttpResponse valueAnswer(const QString& target, const QByteArray& value,
                             const HttpRequest&) const override {
        return json(200, QJsonObject{{"results", QJsonArray{QJsonObject{
                                                     {"page", target + QLatin1Char('/')},
                                                     {"domain_authority", 42},
                                                     {"page_authority", 38},
                                                     {"spam_score", 1},
                                                     {"root_domains_to_root_domain", number(value)},
                                                     {"external_pages_to_root_domain", 58432}}}}});
    }
    HttpResponse unknownSite(const QString&) const override {
        return error(404, "Not Found", unknownSiteText());
    }
    HttpResponse quotaExhausted() const override { return error(403, "Forbidden", quotaText()); }
    HttpResponse rateLimited() const override {
        return withRetryAfter(error(429, "Too Many Requests", "Rate limit exceeded, slow down"));
    }

private:
    static constexpr const char* Token = "mozscape-T0k3n-7fa2c19d04e8";
    static constexpr const char* AccessId = "mozscape-7fa2c19d04";
    static constexpr const char* SecretKey = "f0e1d2c3b4a5968778695a4b";
    bool legacy_;

    static HttpResponse error(int status, const char* name, const QString& message) {
        return json(status, QJsonObject{{"name", QLatin1String(name)}, {"message", message}});
    }
};

// ---------------------------------------------------------------------------------------------
// Majestic GetIndexItemInfo (developer-support.majestic.com, "GetIndexItemInfo"; the JSON
// envelope as on "GetPrefixQueryEstimate"). Documented: GET
// https://api.majestic.com/api/json?app_api_key=KEY
// &cmd=GetIndexItemInfo&items=1&item0=ITEM&datasource=fresh; the answer {"Code": "OK",
// "ErrorMessage": "", "FullError": "", "DataTables": {"Results": {"Headers": ..., "Data":
// [{"ItemNum": 0, "Item": ..., "ResultCode": "OK", "Status": "Found", "ExtBackLinks": ...,
// "RefDomains": ...}]}}}. Errors come as HTTP 200 with another Code and its ErrorMessage
// ({"Code": "InvalidAPIKey", ...}; a spent allowance of IndexItemInfo units is Code
// "InsufficientIndexItemInfoUnits", as Majestic's connectors check it); an item the index does not
// hold has Status "NotFound".
class MajesticStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("majestic"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("majestic"), QStringLiteral("9A8B7C6D5E4F3A2B1C0D9E8F")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("NotFound"); }
    QString quotaText() const override { return QStringLiteral("InsufficientIndexItemInfoUnits"); }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const QHash<QString, QString> q = queryItems(r.query);
        if (r.method != "GET" || r.path != QLatin1String("/api/json"))
            judged.refusal = text(404, "Not Found");
        else if (q.value("app_api_key") != key(QStringLiteral("majestic")))
            judged.refusal = result("InvalidAPIKey", "The API key is not valid");
        else if (q.value("cmd") != QLatin1String("GetIndexItemInfo") ||
                 q.value("items") != QLatin1String("1") || q.value("item0").isEmpty() ||
                 q.value("datasource") != QLatin1String("fresh"))
            judged.refusal = result("InvalidParameters", "cmd, items, item0 or datasource");
        else
            judged.site = site(q.value("item0"));
        return judged;
    }
    HttpResponse valueAnswer(const QString& item, const QByteArray& value,
                             const HttpRequest&) const override {
        return row(item, "Found", number(value));
    }
    HttpResponse unknownSite(const QString& item) const override {
        return row(item, "NotFound", 0);
    }
    // The code alone: no ErrorMessage says what it means.
    HttpResponse quotaExhausted() const override { return result(quotaText().toLatin1(), ""); }
    HttpResponse rateLimited() const override {
        return withRetryAfter(json(429, QJsonObject{{"Code", "RateLimitExceeded"},
                                                    {"ErrorMessage", "Too many requests"},
                                                    {"FullError", ""}}));
    }

private:
    static HttpResponse result(const QByteArray& code, const QString& message) {
        return json(200, QJsonObject{{"Code", QString::fromLatin1(code)},
                                     {"ErrorMessage", message},
                                     {"FullError", message}});
    }
    static HttpResponse row(const QString& item, const char* status, const QJsonValue& refs) {
        const QJsonObject data{{"ItemNum", 0},          {"Item", item},
                               {"ResultCode", "OK"},    {"Status", QLatin1String(status)},
                               {"ExtBackLinks", 98765}, {"RefDomains", refs}};
        return json(
            200, QJsonObject{{"Code", "OK"},
                             {"ErrorMessage", ""},
                             {"FullError", ""},
                             {"DataTables",
                              QJsonObject{{"Results", QJsonObject{{"Headers", QJsonObject{}},
                                                                  {"Data", QJsonArray{data}}}}}}});
    }
};

// ---------------------------------------------------------------------------------------------
// Ahrefs API v3, site-explorer/backlinks-stats. Documented: GET https://api.ahrefs.com/v3/
// site-explorer/backlinks-stats?target=...&mode=exact|prefix|domain|subdomains&date=YYYY-MM-DD
// (date required), "Authorization: Bearer KEY"; the answer {"metrics": {"live": ...,
// "all_time": ..., "live_refdomains": ..., "all_time_refdomains": ...}}. Errors are a status
// from 400 up with {"error": "..."}.
class AhrefsStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("ahrefs"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("ahrefs"), QStringLiteral("ahr3fs-T0k3n-5d8e2b")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("target: unknown domain"); }
    QString quotaText() const override { return QStringLiteral("API units limit reached"); }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const QHash<QString, QString> q = queryItems(r.query);
        static const QStringList modes{"exact", "prefix", "domain", "subdomains"};
        static const QStringList groupings{"daily", "weekly", "monthly"};
        if (r.method != "GET" ||
            (r.path != QLatin1String("/v3/site-explorer/backlinks-stats") && !asksHistory(r)))
            judged.refusal = error(404, "not found");
        else if (r.header("Authorization") != "Bearer " + key(QStringLiteral("ahrefs")).toUtf8())
            judged.refusal = error(401, "Invalid API key");
        else if (!QDate::fromString(q.value(asksHistory(r) ? "date_from" : "date"), Qt::ISODate)
                      .isValid())
            judged.refusal = error(400, "date: expected YYYY-MM-DD");
        else if (asksHistory(r) && !groupings.contains(q.value("history_grouping", "monthly")))
            judged.refusal = error(400, "history_grouping: daily, weekly or monthly");
        else if (q.value("target").isEmpty() || !modes.contains(q.value("mode", "subdomains")))
            judged.refusal = error(400, "target or mode");
        else
            judged.site = site(q.value("target"));
        return judged;
    }
    HttpResponse valueAnswer(const QString&, const QByteArray& value,
                             const HttpRequest&) const override {
        return json(200, QJsonObject{{"metrics", QJsonObject{{"live", 123456},
                                                             {"all_time", 234567},
                                                             {"live_refdomains", number(value)},
                                                             {"all_time_refdomains", 9999}}}});
    }
    HttpResponse unknownSite(const QString&) const override {
        return error(400, unknownSiteText());
    }
    // site-explorer/refdomains-history (docs.ahrefs.com/docs/api/site-explorer/operations/
    // get-refdomains-history): GET with target, date_from (required), date_to, history_grouping
    // (daily, weekly, monthly) and mode; the answer {"refdomains": [{"date": "2024-01-01",
    // "refdomains": n}, ...]}, one point per group from date_from on.
    bool asksHistory(const HttpRequest& r) const override {
        return r.path == QLatin1String("/v3/site-explorer/refdomains-history");
    }
    HttpResponse historyAnswer(const QList<QPair<QDate, qint64>>& points, bool damaged,
                               const HttpRequest& r) const override {
        const QDate from = QDate::fromString(queryItems(r.query).value("date_from"), Qt::ISODate);
        QJsonArray items;
        for (const auto& [date, count] : points)
            if (date >= from)
                items.append(
                    QJsonObject{{"date", date.toString(Qt::ISODate)}, {"refdomains", count}});
        if (damaged && !items.isEmpty()) {
            QJsonObject last = items.last().toObject();
            last.remove("refdomains");
            items.replace(items.size() - 1, last);
        }
        return json(200, QJsonObject{{"refdomains", items}});
    }
    HttpResponse quotaExhausted() const override { return error(403, quotaText()); }
    HttpResponse rateLimited() const override {
        return withRetryAfter(error(429, "Too many requests"));
    }

private:
    static HttpResponse error(int status, const QString& message) {
        return json(status, QJsonObject{{"error", message}});
    }
};

// ---------------------------------------------------------------------------------------------
// Semrush Analytics API, backlinks_overview. Documented: GET https://api.semrush.com/analytics/
// v1/?key=KEY&type=backlinks_overview&target=...&target_type=root_domain|domain|url
// &export_columns=ascore,total,domains_num,...; the answer is text, a line of the requested
// columns' names and a line of their values, separated by ";". Errors are one line
// "ERROR <code> :: <MESSAGE>": 50 NOTHING FOUND, 120 WRONG KEY - ID PAIR, 132 API UNITS BALANCE
// IS ZERO.
class SemrushStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("semrush"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("semrush"), QStringLiteral("b6c1a9e4d2f87a3e5c0b1d9f")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("ERROR 50 :: NOTHING FOUND"); }
    QString quotaText() const override {
        return QStringLiteral("ERROR 132 :: API UNITS BALANCE IS ZERO");
    }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const QHash<QString, QString> q = queryItems(r.query);
        static const QStringList targetTypes{"root_domain", "domain", "url"};
        if (r.method != "GET" || r.path != QLatin1String("/analytics/v1/"))
            judged.refusal = text(404, "Not Found");
        else if (q.value("key") != key(QStringLiteral("semrush")))
            judged.refusal = text(403, "ERROR 120 :: WRONG KEY - ID PAIR");
        else if (q.value("type") != QLatin1String("backlinks_overview") ||
                 !targetTypes.contains(q.value("target_type")) || q.value("target").isEmpty() ||
                 q.value("export_columns").isEmpty())
            judged.refusal = text(400, "ERROR 40 :: MANDATORY PARAMETER NOT SET");
        else
            judged.site = site(q.value("target"));
        return judged;
    }
    HttpResponse valueAnswer(const QString&, const QByteArray& value,
                             const HttpRequest& r) const override {
        const QStringList columns =
            queryItems(r.query).value("export_columns").split(QLatin1Char(','));
        QStringList values;
        for (const QString& column : columns)
            values << (column == QLatin1String("domains_num") ? QString::fromLatin1(value)
                                                              : QStringLiteral("74"));
        return text(200, (columns.join(QLatin1Char(';')) + QStringLiteral("\r\n") +
                          values.join(QLatin1Char(';')) + QStringLiteral("\r\n"))
                             .toUtf8());
    }
    HttpResponse unknownSite(const QString&) const override {
        return text(200, unknownSiteText().toUtf8() + "\r\n");
    }
    HttpResponse quotaExhausted() const override {
        return text(403, quotaText().toUtf8() + "\r\n");
    }
    HttpResponse rateLimited() const override {
        return withRetryAfter(text(429, "ERROR 134 :: TOTAL LIMIT EXCEEDED\r\n"));
    }
};

// ---------------------------------------------------------------------------------------------
// DataForSEO Backlinks API, backlinks/summary/live (docs.dataforseo.com/v3/backlinks/summary/live;
// "Errors", docs.dataforseo.com/v3/appendix/errors). Documented: POST https://api.dataforseo.com/
// v3/backlinks/summary/live, HTTP Basic authentication with the API login and password, a JSON
// array of tasks [{"target": "...", "include_subdomains": true, ...}]; the answer {"version",
// "status_code": 20000, "status_message": "Ok.", ..., "tasks": [{"status_code": 20000,
// "status_message": "Ok.", "result": [{"target": ..., "backlinks": ..., "referring_domains":
// ..., "referring_main_domains": ...}]}]} (referring_domains counts each subdomain as a domain of
// its own; referring_main_domains the registrable domains, the figure the other columns give).
// The servers answer 200 except 401 Unauthorized (status_code 40100), 402 Payment Required
// (40200), 404 and 500; everything else is an internal status code of the request or of its
// task, with HTTP 200: 40202 "The rate-limit per minute has been exceeded.", 40501 "Invalid
// Field.".
class DataForSeoStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("dataforseo"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("dataforseo-login"), QStringLiteral("owner@site.example")},
                {QStringLiteral("dataforseo-password"), QStringLiteral("dfs-3c9a7e51b2")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("Invalid Field: 'target'."); }
    QString quotaText() const override {
        return QStringLiteral("We had a problem billing your account. Please, check your "
                              "account's balance.");
    }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        if (r.method != "POST" ||
            (r.path != QLatin1String("/v3/backlinks/summary/live") && !asksHistory(r)))
            judged.refusal = envelope(404, 40400, "Not Found.", QJsonValue());
        else if (r.header("Authorization") !=
                 basicToken(key(QStringLiteral("dataforseo-login")),
                            key(QStringLiteral("dataforseo-password"))))
            judged.refusal = envelope(401, 40100,
                                      "You are not authorized to access this resource. See your "
                                      "login details here: https://app.dataforseo.com/api-access",
                                      QJsonValue());
        else {
            const QJsonArray tasks = QJsonDocument::fromJson(r.body).array();
            const QString target = tasks.size() == 1 ? tasks.at(0)["target"].toString() : QString();
            const QString from =
                tasks.size() == 1 ? tasks.at(0)["date_from"].toString() : QString();
            if (target.isEmpty())
                judged.refusal = envelope(200, 40501, "Invalid Field: 'target'.", QJsonValue());
            else if (asksHistory(r) && !from.isEmpty() &&
                     QDate::fromString(from, Qt::ISODate) < QDate(2019, 1, 1))
                judged.refusal = envelope(200, 40501, "Invalid Field: 'date_from'.", QJsonValue());
            else
                judged.site = site(target);
        }
        return judged;
    }
    HttpResponse valueAnswer(const QString& target, const QByteArray& value,
                             const HttpRequest&) const override {
        const QJsonObject result{{"target", target},
                                 {"rank", 511},
                                 {"backlinks", 2204851},
                                 {"referring_domains", number(value).toDouble() + 3170},
                                 {"referring_main_domains", number(value)}};
        return envelope(200, 20000, "Ok.", task(20000, "Ok.", QJsonArray{result}));
    }
    HttpResponse unknownSite(const QString&) const override {
        return envelope(200, 20000, "Ok.", task(40501, unknownSiteText(), QJsonValue()));
    }
    // backlinks/history/live (docs.dataforseo.com/v3/backlinks/history/live): POST [{"target",
    // "date_from" (2019-01-01 at the earliest, the default), "date_to"}]; the same envelope, with
    // result [{"target", "date_from", "date_to", "items_count", "items": [{"type":
    // "backlinks_history", "date": "2019-01-01 00:00:00 +00:00", "rank", "backlinks",
    // "referring_domains", "referring_main_domains", ...}]}], one item a month.
    bool asksHistory(const HttpRequest& r) const override {
        return r.path == QLatin1String("/v3/backlinks/history/live");
    }
    HttpResponse historyAnswer(const QList<QPair<QDate, qint64>>& points, bool damaged,
                               const HttpRequest& r) const override {
        const QJsonObject asked = QJsonDocument::fromJson(r.body).array().at(0).toObject();
        const QDate from =
            QDate::fromString(asked["date_from"].toString("2019-01-01"), Qt::ISODate);
        QJsonArray items;
        for (const auto& [date, count] : points)
            if (date >= from)
                items.append(QJsonObject{{"type", "backlinks_history"},
                                         {"date", date.toString(Qt::ISODate) + " 00:00:00 +00:00"},
                                         {"rank", 402},
                                         {"backlinks", count * 31},
                                         {"referring_domains", count + 211},
                                         {"referring_main_domains", count}});
        if (damaged && !items.isEmpty()) {
            QJsonObject last = items.last().toObject();
            last["referring_main_domains"] = QJsonValue::Null;
            items.replace(items.size() - 1, last);
        }
        const QJsonObject result{{"target", asked["target"]},
                                 {"date_from", from.toString(Qt::ISODate)},
                                 {"date_to", QDate::currentDate().toString(Qt::ISODate)},
                                 {"rank_scale", "one_thousand"},
                                 {"items_count", items.size()},
                                 {"items", items}};
        return envelope(200, 20000, "Ok.", task(20000, "Ok.", QJsonArray{result}));
    }
    HttpResponse quotaExhausted() const override {
        return envelope(402, 40200, quotaText(), QJsonValue());
    }
    HttpResponse rateLimited() const override {
        return envelope(200, 40202, "The rate-limit per minute has been exceeded.", QJsonValue());
    }

private:
    static QJsonValue task(int code, const QString& message, const QJsonValue& result) {
        return QJsonArray{QJsonObject{{"id", "04270355-7763-0265-0000-22d65296b79d"},
                                      {"status_code", code},
                                      {"status_message", message},
                                      {"result", result}}};
    }
    static HttpResponse envelope(int status, int code, const QString& message,
                                 const QJsonValue& tasks) {
        return json(status, QJsonObject{{"version", "0.1.20240422"},
                                        {"status_code", code},
                                        {"status_message", message},
                                        {"time", "0.3877 sec."},
                                        {"cost", 0.02},
                                        {"tasks_count", tasks.isArray() ? 1 : 0},
                                        {"tasks_error", 0},
                                        {"tasks", tasks}});
    }
};

// ---------------------------------------------------------------------------------------------
// Open PageRank, domains/bulk (openpagerank.keywordseverywhere.com/docs, as its client cites it
// checked in September 2026; the old GET /api/v1.0/getPageRank with API-OPR answers 404 now).
// Documented: POST https://openpagerank.keywordseverywhere.com/v1/domains/bulk, "Authorization:
// Bearer KEY", a JSON body {"domains": [...], "include_history": false} (up to 100); the answer
// {"as_of": "YYYY-MM-DD", "count": n, "invalid": [...], "results": [{"domain": ..., "found":
// true, "open_page_rank": 4.68, "rank": ..., "referring_domains": ...}]}; a domain it does not
// know is "found": false. Errors are a status from 400 up with {"error": "..."}: 401 a refused
// key, 429 a rate limit.
class OpenPageRankStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("openpagerank"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("openpagerank"), QStringLiteral("opr_live_0c4f8b2a6e1d9c7b5a3f")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("at /results/0/found"); }
    QString quotaText() const override { return QStringLiteral("Monthly quota exceeded"); }

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const QJsonArray domains = QJsonDocument::fromJson(r.body).object()["domains"].toArray();
        if (r.method != "POST" || r.path != QLatin1String("/v1/domains/bulk"))
            judged.refusal = error(404, "Not Found");
        else if (r.header("Authorization") !=
                 "Bearer " + key(QStringLiteral("openpagerank")).toUtf8())
            judged.refusal = error(401, "Invalid API key");
        else if (domains.isEmpty() || domains.size() > 100 || !domains.at(0).isString())
            judged.refusal = error(400, "domains must list 1 to 100 domains");
        else
            judged.site = site(domains.at(0).toString());
        return judged;
    }
    HttpResponse valueAnswer(const QString& domain, const QByteArray& value,
                             const HttpRequest&) const override {
        return answerFor(QJsonObject{{"domain", domain},
                                     {"found", true},
                                     {"open_page_rank", number(value)},
                                     {"rank", 1489},
                                     {"referring_domains", 5120}});
    }
    HttpResponse unknownSite(const QString& domain) const override {
        return answerFor(QJsonObject{{"domain", domain}, {"found", false}});
    }
    HttpResponse quotaExhausted() const override { return error(403, quotaText()); }
    HttpResponse rateLimited() const override {
        return withRetryAfter(error(429, "Rate limit exceeded"));
    }

private:
    static HttpResponse error(int status, const QString& message) {
        return json(status, QJsonObject{{"error", message}});
    }
    static HttpResponse answerFor(const QJsonObject& entry) {
        return json(200, QJsonObject{{"as_of", "2026-11-30"},
                                     {"count", 1},
                                     {"invalid", QJsonArray{}},
                                     {"results", QJsonArray{entry}}});
    }
};

// ---------------------------------------------------------------------------------------------
// Bing Webmaster API, GetLinkCounts(siteUrl, page) (learn.microsoft.com, "IWebmasterApi.
// GetLinkCounts", "LinkCounts", "ApiErrorCode Enum"). Documented: GET https://ssl.bing.com/
// webmaster/api.svc/json/GetLinkCounts?siteUrl=http://example.com&page=0&apikey=KEY; the JSON
// answer wraps a LinkCounts in "d": {"d": {"__type": "LinkCounts:#...", "Links": [{"__type":
// "LinkCount:#...", "Count": 5, "Url": "..."}], "TotalPages": 3}}, read page after page while
// page < TotalPages. Errors are an ApiFault with HTTP 400, {"ErrorCode": <ApiErrorCode>,
// "Message": "ERROR!!! <name>"}: InvalidApiKey (3), ThrottleUser (4), ThrottleHost (5),
// NotAuthorized (14, a siteUrl that is not a site verified under the key). Throttling is such a
// fault, never a 429, and names no wait.
class BingWebmasterStandIn : public ApiStandIn {
public:
    QString preset() const override { return QStringLiteral("bing-webmaster"); }
    QList<QPair<QString, QString>> keys() const override {
        return {{QStringLiteral("bing-webmaster"), QStringLiteral("e7d94a0c2b5f4e8a9c1d3b6f")}};
    }
    QString unknownSiteText() const override { return QStringLiteral("ERROR!!! NotAuthorized"); }
    QString quotaText() const override { return QStringLiteral("ERROR!!! ThrottleUser"); }
    // Links on each page of an answer.
    static constexpr int LinksPerPage = 2;
    static constexpr int LinkCount = 5;

protected:
    Judged judge(const HttpRequest& r) const override {
        Judged judged;
        const QHash<QString, QString> q = queryItems(r.query);
        bool pageRead = false;
        q.value("page").toInt(&pageRead);
        if (r.method != "GET" || r.path != QLatin1String("/webmaster/api.svc/json/GetLinkCounts"))
            judged.refusal = text(404, "Endpoint not found.");
        else if (q.value("apikey") != key(QStringLiteral("bing-webmaster")))
            judged.refusal = fault(3, "InvalidApiKey");
        else if (q.value("siteUrl").isEmpty() || !pageRead)
            judged.refusal = fault(8, "InvalidParameter");
        else
            judged.site = q.value("siteUrl");
        return judged;
    }
    // The sum spread over LinkCount links, LinksPerPage to a page.
    HttpResponse valueAnswer(const QString& siteUrl, const QByteArray& value,
                             const HttpRequest& r) const override {
        const qint64 total = value.toLongLong();
        const int page = queryItems(r.query).value("page").toInt();
        QJsonArray links;
        for (int i = page * LinksPerPage; i < std::min(LinkCount, (page + 1) * LinksPerPage); ++i)
            links.append(
                QJsonObject{{"__type", "LinkCount:#Microsoft.Bing.Webmaster.Api.Interfaces"},
                            {"Count", total / LinkCount + (i == 0 ? total % LinkCount : 0)},
                            {"Url", siteUrl + QStringLiteral("page%1.html").arg(i)}});
        return json(200,
                    QJsonObject{{"d", QJsonObject{{"__type", "LinkCounts:#Microsoft.Bing.Webmaster."
                                                             "Api.Interfaces"},
                                                  {"Links", links},
                                                  {"TotalPages", (LinkCount + LinksPerPage - 1) /
                                                                     LinksPerPage}}}});
    }
    HttpResponse unknownSite(const QString&) const override { return fault(14, "NotAuthorized"); }
    HttpResponse quotaExhausted() const override { return fault(4, "ThrottleUser"); }
    HttpResponse rateLimited() const override { return fault(5, "ThrottleHost"); }

private:
    static HttpResponse fault(int code, const char* name) {
        return json(400,
                    QJsonObject{{"ErrorCode", code},
                                {"Message", QStringLiteral("ERROR!!! ") + QLatin1String(name)}});
    }
};

} // namespace

QString ApiStandIn::key(const QString& name) const {
    for (const auto& [keyName, value] : keys())
        if (keyName == name)
            return value;
    return QString();
}

HttpResponse ApiStandIn::answer(const HttpRequest& request) {
    ++requests_;
    const Judged judged = judge(request);
    if (judged.refusal)
        return *judged.refusal;
    if (mode_ == StandInMode::QuotaExhausted)
        return quotaExhausted();
    if (mode_ == StandInMode::RateLimited && !limited_.contains(judged.site)) {
        limited_ << judged.site;
        return rateLimited();
    }
    if (asksHistory(request)) {
        const auto past = history_.constFind(judged.site);
        return past == history_.constEnd() ? unknownSite(judged.site)
                                           : historyAnswer(*past, historyDamaged_, request);
    }
    const auto known = values_.constFind(judged.site);
    if (known == values_.constEnd())
        return unknownSite(judged.site);
    return valueAnswer(judged.site, *known, request);
}

std::unique_ptr<ApiStandIn> apiStandIn(const QString& preset) {
    if (preset == QLatin1String("moz") || preset == QLatin1String("moz-legacy"))
        return std::make_unique<MozStandIn>(preset == QLatin1String("moz-legacy"));
    if (preset == QLatin1String("majestic"))
        return std::make_unique<MajesticStandIn>();
    if (preset == QLatin1String("ahrefs"))
        return std::make_unique<AhrefsStandIn>();
    if (preset == QLatin1String("semrush"))
        return std::make_unique<SemrushStandIn>();
    if (preset == QLatin1String("dataforseo"))
        return std::make_unique<DataForSeoStandIn>();
    if (preset == QLatin1String("openpagerank"))
        return std::make_unique<OpenPageRankStandIn>();
    if (preset == QLatin1String("bing-webmaster"))
        return std::make_unique<BingWebmasterStandIn>();
    return nullptr;
}

QStringList standInPresets() {
    return {QStringLiteral("moz"),          QStringLiteral("moz-legacy"),
            QStringLiteral("majestic"),     QStringLiteral("ahrefs"),
            QStringLiteral("semrush"),      QStringLiteral("dataforseo"),
            QStringLiteral("openpagerank"), QStringLiteral("bing-webmaster")};
}

QHash<QString, QString> queryItems(const QString& query) {
    QHash<QString, QString> items;
    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        QByteArray name = (eq < 0 ? pair : pair.left(eq)).toUtf8();
        QByteArray value = (eq < 0 ? QString() : pair.mid(eq + 1)).toUtf8();
        name.replace('+', ' ');
        value.replace('+', ' ');
        items.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(name)),
                     QString::fromUtf8(QByteArray::fromPercentEncoding(value)));
    }
    return items;
}

} // namespace tally::test
