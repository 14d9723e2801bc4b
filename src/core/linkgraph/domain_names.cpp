#include "core/linkgraph/domain_names.h"

#include <QHostAddress>
#include <QStringList>
#include <QUrl>

namespace tally {

namespace {

// Second-level labels under which country domains are commonly registered.
bool commonSecondLevel(const QString& label) {
    static const QStringList labels{
        QStringLiteral("ac"),  QStringLiteral("co"),  QStringLiteral("com"), QStringLiteral("edu"),
        QStringLiteral("gob"), QStringLiteral("go"),  QStringLiteral("gov"), QStringLiteral("govt"),
        QStringLiteral("ltd"), QStringLiteral("mil"), QStringLiteral("ne"),  QStringLiteral("net"),
        QStringLiteral("nhs"), QStringLiteral("or"),  QStringLiteral("org"), QStringLiteral("plc"),
        QStringLiteral("sch")};
    return labels.contains(label);
}

bool isCountryCode(const QString& label) {
    return label.size() == 2 && label[0].isLetter() && label[1].isLetter();
}

} // namespace

QString hostOfUrl(const QString& url) {
    QString text = url.trimmed();
    if (text.isEmpty())
        return QString();
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    const QUrl parsed(text, QUrl::TolerantMode);
    if (!parsed.isValid())
        return QString();
    QString host = parsed.host(QUrl::FullyEncoded).toLower();
    while (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host.isEmpty() || !QHostAddress(host).isNull())
        return QString();
    return host;
}

QString registrableDomain(const QString& host) {
    const QStringList labels = host.split(QLatin1Char('.'));
    if (labels.size() <= 2)
        return host;
    const qsizetype n = labels.size();
    const qsizetype keep = isCountryCode(labels[n - 1]) && commonSecondLevel(labels[n - 2]) ? 3 : 2;
    return labels.mid(n - keep).join(QLatin1Char('.'));
}

QByteArray reversedName(const QString& host) {
    QStringList labels = host.split(QLatin1Char('.'));
    std::reverse(labels.begin(), labels.end());
    return labels.join(QLatin1Char('.')).toUtf8();
}

QList<QByteArray> graphNamesOfUrl(const QString& url) {
    const QString host = hostOfUrl(url);
    if (host.isEmpty())
        return {};
    QString bare = host;
    if (bare.startsWith(QLatin1String("www.")) && bare.size() > 4)
        bare.remove(0, 4);
    QList<QByteArray> names{reversedName(bare)};
    const QByteArray domain = reversedName(registrableDomain(host));
    if (!names.contains(domain))
        names << domain;
    return names;
}

} // namespace tally
