#include "core/linkgraph/domain_names.h"

#include "core/net/web_address.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

#include <libpsl.h>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(DomainNames)
};

// The list, read once: the newest of the one compiled into libpsl and the one the system keeps
// (/usr/share/publicsuffix). Read-only afterwards, so any thread may ask it.
const psl_ctx_t* suffixList() {
    static const struct List {
        psl_ctx_t* context = psl_latest(nullptr);
        ~List() { psl_free(context); }
    } list;
    return list.context;
}

} // namespace

QString graphHost(const QString& host) {
    if (host.startsWith(QLatin1String("www.")) && host.size() > 4)
        return host.mid(4);
    return host;
}

QString publicSuffixListProblem() {
    return suffixList() ? QString()
                        : Text::tr("the Public Suffix List cannot be read (is the publicsuffix "
                                   "package installed?)");
}

bool isPublicSuffix(const QString& host) {
    const psl_ctx_t* list = suffixList();
    return list && !host.isEmpty() &&
           psl_is_public_suffix2(list, host.toUtf8().constData(), PSL_TYPE_ICANN) != 0;
}

QString registrableDomain(const QString& host) {
    if (host.isEmpty() || !suffixList())
        return QString();
    // The longest public suffix is the first one found from the left; the domain is it and the
    // label before it.
    qsizetype previous = -1;
    qsizetype start = 0;
    for (;;) {
        if (isPublicSuffix(host.mid(start)))
            return previous < 0 ? host : host.mid(previous);
        const qsizetype dot = host.indexOf(QLatin1Char('.'), start);
        if (dot < 0)
            return host; // unreachable with the list's default rule: the last label is a suffix
        previous = start;
        start = dot + 1;
    }
}

QByteArray reversedName(const QString& host) {
    QStringList labels = host.split(QLatin1Char('.'));
    std::reverse(labels.begin(), labels.end());
    return labels.join(QLatin1Char('.')).toUtf8();
}

QByteArray graphVertexOfUrl(const QString& url, GraphLevel level, QString* problem) {
    auto none = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return QByteArray();
    };
    const QString host = hostOfUrl(url);
    if (host.isEmpty())
        return none(urlHostIsAddress(url)
                        ? Text::tr("an IP address (the web graphs hold host names only)")
                        : Text::tr("not a web address with a host name"));
    const QString name = graphHost(host);
    if (level == GraphLevel::Hosts)
        return reversedName(name);
    const QString domain = registrableDomain(name);
    if (domain.isEmpty())
        return none(publicSuffixListProblem());
    return reversedName(domain);
}

} // namespace tally
