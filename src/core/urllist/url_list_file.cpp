#include "core/urllist/url_list_file.h"

#include "core/files/safe_file.h"

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
    if (line.contains(QLatin1String("http://"), Qt::CaseInsensitive) ||
        line.contains(QLatin1String("https://"), Qt::CaseInsensitive))
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
    const FileContents contents = readFileBounded(path, UrlListFileLimit);
    if (!contents.isRead()) {
        if (error)
            *error = contents.reason;
        return false;
    }
    if (entries)
        entries->append(
            splitListText(QString::fromLocal8Bit(withoutByteOrderMark(contents.bytes))));
    return true;
}

bool writeUrlListFile(const QString& path, const QStringList& entries, QString* error) {
    QByteArray out;
    for (const QString& entry : entries) {
        out += entry.toLocal8Bit();
        out += "\r\n";
    }
    const FileOutcome outcome = writeFileAtomically(path, out);
    if (!outcome && error)
        *error = outcome.reason();
    return outcome.ok();
}

QString urlListFileName(const QString& chosen) {
    if (chosen.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".txt");
}

} // namespace tally
