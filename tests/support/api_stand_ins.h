// Local stand-ins of the backlink APIs the shipped presets ask, one per provider. Each judges a
// request as the provider does (method, path, authentication, parameters or body) and answers
// in the provider's documented shapes: a count, a refused key, a spent quota, a rate limit (as
// the provider sends it: a 429 with Retry-After, or its own code with HTTP 200 or 400), a site it
// does not know. Each cites, beside its code, the documented shape it
// follows.
//
//   auto standIn = test::apiStandIn("majestic");
//   standIn->setValue("example.com", "4321");           // what it knows
//   server.setHandler(standIn->handler());               // as a LocalHttpServer handler, or
//   HttpResponse r = standIn->answer(request);           // called as a function
//
// The path and query of a request are the provider's own; the scheme, host and port are the
// local server's (engines.ini's Server=).
#pragma once

#include "support/local_http_server.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tally::test {

// The moment the tests build their requests at (dated and signed requests depend on it).
inline const QDateTime RequestTime(QDate(2026, 3, 1), QTime(9, 30));

enum class StandInMode {
    Normal,         // the value of a site it knows; its unknown-site answer for any other
    QuotaExhausted, // the provider's answer for a spent quota or allowance
    RateLimited     // the first request for each site: the provider's rate limit; then Normal
};

class ApiStandIn {
public:
    virtual ~ApiStandIn() = default;

    // The preset it stands in for ("moz").
    virtual QString preset() const = 0;
    // The keys of section Keys that it accepts, by name.
    virtual QList<QPair<QString, QString>> keys() const = 0;
    // A text its unknown-site answer quotes, and one its quota answer quotes.
    virtual QString unknownSiteText() const = 0;
    virtual QString quotaText() const = 0;

    // The value it answers for a site (a registrable domain; for Bing the site URL): digits, or
    // a decimal for a score.
    void setValue(const QString& site, const QByteArray& value) { values_.insert(site, value); }
    void setMode(StandInMode mode) { mode_ = mode; }
    // A site's past, for a provider with a history endpoint: its monthly points. A damaged
    // history answers its documented shape with the last point's count missing.
    void setHistory(const QString& site, const QList<QPair<QDate, qint64>>& points) {
        history_.insert(site, points);
    }
    void setHistoryDamaged(bool damaged) { historyDamaged_ = damaged; }

    // Judges the request and answers it.
    HttpResponse answer(const HttpRequest& request);
    LocalHttpServer::Handler handler() {
        return [this](const HttpRequest& request) { return answer(request); };
    }
    int requestCount() const { return requests_; }

protected:
    // What a request asks for, or the provider's answer refusing it.
    struct Judged {
        QString site;
        std::optional<HttpResponse> refusal;
    };
    virtual Judged judge(const HttpRequest& request) const = 0;
    virtual HttpResponse valueAnswer(const QString& site, const QByteArray& value,
                                     const HttpRequest& request) const = 0;
    virtual HttpResponse unknownSite(const QString& site) const = 0;
    // Whether a request asks for the past, and the answer with the points from its first day on.
    virtual bool asksHistory(const HttpRequest&) const { return false; }
    virtual HttpResponse historyAnswer(const QList<QPair<QDate, qint64>>&, bool,
                                       const HttpRequest&) const {
        return HttpResponse::page("Not Found", 404);
    }
    virtual HttpResponse quotaExhausted() const = 0;
    // The provider's rate limit: a 429 with Retry-After: 1, or its own code.
    virtual HttpResponse rateLimited() const = 0;

    QString key(const QString& name) const;

private:
    QHash<QString, QByteArray> values_;
    QHash<QString, QList<QPair<QDate, qint64>>> history_;
    bool historyDamaged_ = false;
    StandInMode mode_ = StandInMode::Normal;
    QStringList limited_; // sites already sent a 429
    int requests_ = 0;
};

// The stand-in of a preset, or nullptr for a name that has none.
std::unique_ptr<ApiStandIn> apiStandIn(const QString& preset);
// Every preset with a stand-in.
QStringList standInPresets();

// A query's items, decoded ("domains[]" of "domains%5B%5D=a.example").
QHash<QString, QString> queryItems(const QString& query);

} // namespace tally::test
