#include "core/settings/ini_file.h"

#include "core/settings/program_folder.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace tally::modINI {

namespace {

// The lines of one loaded file. Index 0 is the first line position. A header always has an empty
// position in front of it, so a saved file holds exactly one blank line before every header.
using IniLines = QList<QByteArray>;

bool startsWithHeader(const QByteArray& line) {
    return !line.isEmpty() && line.front() == '[';
}

IniLines LoadIniLines(const QString& file) {
    IniLines lines;
    QFile in(ProgramFolder::resolve(file));
    if (!in.open(QIODevice::ReadOnly))
        return lines; // a missing or unreadable file reads as an empty one
    const QByteArray data = in.readAll();
    const char* p = data.constData();
    const qsizetype size = data.size();
    qsizetype start = 0;
    auto take = [&](qsizetype end) {
        if (end == start)
            return; // exactly empty lines are dropped
        QByteArray line(p + start, end - start);
        if (line.front() == '[')
            lines.append(QByteArray());
        lines.append(std::move(line));
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char c = p[i];
        if (c != '\r' && c != '\n')
            continue;
        take(i);
        if (c == '\r' && i + 1 < size && p[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        take(size);
    return lines;
}

QByteArray trimSpaces(const QByteArray& line) {
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && line[b] == ' ')
        ++b;
    while (e > b && line[e - 1] == ' ')
        --e;
    return (b == 0 && e == line.size()) ? line : line.mid(b, e - b);
}

bool SaveIniLines(const IniLines& lines, const QString& file) {
    QByteArray out;
    qsizetype total = 0;
    for (const QByteArray& line : lines)
        total += line.size() + 2;
    out.reserve(total);
    for (const QByteArray& line : lines) {
        out += trimSpaces(line);
        out += "\r\n";
    }
    QSaveFile save(ProgramFolder::resolve(file));
    if (!save.open(QIODevice::WriteOnly))
        return false;
    if (save.write(out) != out.size()) {
        save.cancelWriting();
        return false;
    }
    return save.commit();
}

bool isAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// A prefix to look for at the start of lines, compared without regard to letter case.
class Prefix {
public:
    explicit Prefix(const QString& text)
        : text_(text), utf8_(text.toUtf8()), ascii_(isAscii(utf8_)) {}

    bool matches(const QByteArray& line) const {
        if (ascii_) {
            if (line.size() < utf8_.size())
                return false;
            return qstrnicmp(line.constData(), utf8_.constData(), utf8_.size()) == 0;
        }
        return QString::fromUtf8(line).startsWith(text_, Qt::CaseInsensitive);
    }

private:
    QString text_;
    QByteArray utf8_;
    bool ascii_;
};

// The position of the first line after `from` that begins with the prefix, or -1. With
// stopAtSection the search ends at the next header.
qsizetype FindIniLine(const IniLines& lines, qsizetype from, const Prefix& prefix,
                      bool stopAtSection) {
    for (qsizetype i = from + 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (stopAtSection && startsWithHeader(line))
            return -1;
        if (prefix.matches(line))
            return i;
    }
    return -1;
}

qsizetype findSection(const IniLines& lines, const QString& section) {
    return FindIniLine(lines, -1, Prefix(QLatin1Char('[') + section + QLatin1Char(']')), false);
}

qsizetype findKey(const IniLines& lines, qsizetype header, const QString& key) {
    return FindIniLine(lines, header, Prefix(key + QLatin1Char('=')), true);
}

// The position of the next header after `header`, or the line count.
qsizetype sectionEnd(const IniLines& lines, qsizetype header) {
    for (qsizetype i = header + 1; i < lines.size(); ++i)
        if (startsWithHeader(lines[i]))
            return i;
    return lines.size();
}

bool hasNonEmptyLine(const IniLines& lines) {
    for (const QByteArray& line : lines)
        if (!line.isEmpty())
            return true;
    return false;
}

void appendSection(IniLines& lines, const QString& section, const QList<QByteArray>& body) {
    if (hasNonEmptyLine(lines))
        lines.append(QByteArray());
    lines.append('[' + section.toUtf8() + ']');
    lines.append(body);
}

// Texts written into a file must not hold line breaks or NULs: they would inject lines.
bool isSafeText(const QString& text) {
    for (QChar c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            return false;
    return true;
}

bool canWrite(const QString& section, const QString& key, const QString& value) {
    return IsValidIniName(section) && IsValidIniName(key) && isSafeText(section) &&
           isSafeText(key) && isSafeText(value);
}

QByteArray keyLine(const QString& key, const QString& value) {
    return (key + QLatin1Char('=') + value).toUtf8();
}

} // namespace

bool IsValidIniName(const QString& name) {
    for (QChar c : name)
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('='))
            return false;
    return true;
}

QString ReadIniValue(const QString& section, const QString& key, const QString& defaultValue,
                     const QString& file) {
    if (!IsValidIniName(section) || !IsValidIniName(key))
        return defaultValue;
    const IniLines lines = LoadIniLines(file);
    const qsizetype header = findSection(lines, section);
    if (header < 0)
        return defaultValue;
    const qsizetype at = findKey(lines, header, key);
    if (at < 0)
        return defaultValue;
    const QByteArray& line = lines[at];
    return QString::fromUtf8(line.mid(line.indexOf('=') + 1));
}

QString ReadIniSection(const QString& section, const QString& defaultValue, const QString& file) {
    if (!IsValidIniName(section))
        return defaultValue;
    const IniLines lines = LoadIniLines(file);
    const qsizetype header = findSection(lines, section);
    if (header < 0)
        return defaultValue;
    const qsizetype end = sectionEnd(lines, header);
    QByteArray text;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (i > header + 1)
            text += "\r\n";
        text += lines[i];
    }
    return QString::fromUtf8(text);
}

QStringList ListIniSections(const QString& file) {
    QStringList names;
    for (const QByteArray& line : LoadIniLines(file)) {
        if (!startsWithHeader(line))
            continue;
        const qsizetype close = line.indexOf(']');
        names.append(QString::fromUtf8(close < 0 ? line.mid(1) : line.mid(1, close - 1)));
    }
    return names;
}

namespace {

// Where a key that its section lacks is put.
enum class NewKeyAt { SectionTop, SectionEnd };

bool writeKey(const QString& section, const QString& key, const QString& value, const QString& file,
              NewKeyAt placement) {
    if (!canWrite(section, key, value))
        return false;
    IniLines lines = LoadIniLines(file);
    const qsizetype header = findSection(lines, section);
    if (header < 0) {
        appendSection(lines, section, {keyLine(key, value)});
    } else if (const qsizetype at = findKey(lines, header, key); at >= 0) {
        lines[at] = keyLine(key, value); // replaced in its own line
    } else if (placement == NewKeyAt::SectionTop) {
        lines.insert(header + 1, keyLine(key, value)); // newest key first in its section
    } else {
        // After the section's last non-empty line, as the platform's profile write does.
        qsizetype last = header;
        const qsizetype end = sectionEnd(lines, header);
        for (qsizetype i = header + 1; i < end; ++i)
            if (!trimSpaces(lines[i]).isEmpty())
                last = i;
        lines.insert(last + 1, keyLine(key, value));
    }
    return SaveIniLines(lines, file);
}

} // namespace

bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file) {
    return writeKey(section, key, value, file, NewKeyAt::SectionTop);
}

bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& file) {
    return writeKey(section, key, value, file, NewKeyAt::SectionEnd);
}

bool WritePrivateProfileSectionA(const QString& section, const QString& sectionText,
                                 const QString& file) {
    if (!IsValidIniName(section) || !isSafeText(section) || sectionText.contains(QChar(0)))
        return false;
    QList<QByteArray> body;
    QString normalized = sectionText;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : normalized.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        body.append(line.toUtf8());

    IniLines lines = LoadIniLines(file);
    const qsizetype header = findSection(lines, section);
    if (header >= 0) {
        qsizetype end = sectionEnd(lines, header);
        if (end < lines.size())
            --end; // keep the blank line in front of the next header
        if (end > header + 1)
            lines.remove(header + 1, end - header - 1);
        for (qsizetype i = 0; i < body.size(); ++i)
            lines.insert(header + 1 + i, body[i]);
    } else {
        appendSection(lines, section, body);
    }
    return SaveIniLines(lines, file);
}

} // namespace tally::modINI
