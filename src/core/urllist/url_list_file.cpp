#include "core/urllist/url_list_file.h"

#include "core/files/safe_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

bool takeListBytes(const FileContents& contents, QStringList* entries, QString* error) {
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

} // namespace

bool readUrlListFile(const QString& path, QStringList* entries, QString* error) {
    return takeListBytes(readFileBounded(path, UrlListFileLimit), entries, error);
}

bool readUrlListSource(const QString& source, QStringList* entries, QString* error) {
    if (source == QLatin1String("-"))
        return takeListBytes(readDescriptorBounded(STDIN_FILENO, UrlListFileLimit), entries, error);
    struct stat st;
    if (::stat(QFile::encodeName(source).constData(), &st) != 0 ||
        !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode) || S_ISSOCK(st.st_mode)))
        return readUrlListFile(source, entries, error);
    // Standard input under its own name (/dev/stdin, /proc/self/fd/0) is read where it is: a
    // socket cannot be opened again by name.
    struct stat in;
    if (::fstat(STDIN_FILENO, &in) == 0 && in.st_dev == st.st_dev && in.st_ino == st.st_ino)
        return readUrlListSource(QStringLiteral("-"), entries, error);
    if (S_ISSOCK(st.st_mode))
        return readUrlListFile(source, entries, error); // refused as no regular file
    // A named pipe waits for its writer, as a command-line tool reading one does.
    const int fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const bool read = takeListBytes(readDescriptorBounded(fd, UrlListFileLimit), entries, error);
    ::close(fd);
    return read;
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
