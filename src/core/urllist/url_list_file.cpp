#include "core/urllist/url_list_file.h"

#include <QFile>
#include <QSaveFile>

namespace tally {

QStringList splitListText(const QString& text) {
    QStringList pieces;
    const QChar* p = text.constData();
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = p[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        if (i > start)
            pieces.append(QString(p + start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && p[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        pieces.append(QString(p + start, size - start));
    return pieces;
}

QString NormalizeImportedUrl(const QString& line) {
    if (line.contains(QLatin1String("http://"), Qt::CaseInsensitive))
        return line;
    if (line.contains(QLatin1String("www."), Qt::CaseInsensitive))
        return QStringLiteral("http://") + line;
    return QStringLiteral("http://www.") + line;
}

QStringList importedUrls(const QString& clipboardText) {
    QStringList urls = splitListText(clipboardText);
    for (QString& url : urls)
        url = NormalizeImportedUrl(url);
    return urls;
}

bool readUrlListFile(const QString& path, QStringList* entries, QString* error) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (error)
            *error = in.errorString();
        return false;
    }
    if (entries)
        entries->append(splitListText(QString::fromLocal8Bit(bytes)));
    return true;
}

bool writeUrlListFile(const QString& path, const QStringList& entries, QString* error) {
    QByteArray out;
    for (const QString& entry : entries) {
        out += entry.toLocal8Bit();
        out += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QString urlListFileName(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".txt");
}

} // namespace tally
