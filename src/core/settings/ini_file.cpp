#include "core/settings/ini_file.h"

#include <algorithm>

#include "core/files/file_lock.h"
#include "core/settings/program_folder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>

namespace tally::modINI {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(IniFile)
};

// The lines of one loaded file. Index 0 is the first line position. A header always has an empty
// position in front of it, so a saved file holds exactly one blank line before every header.
using IniLines = QList<QByteArray>;

// The spaces a save removes from the start of a line.
qsizetype leadingSpaces(const QByteArray& line) {
    qsizetype at = 0;
    while (at < line.size() && line[at] == ' ')
        ++at;
    return at;
}

// A header line begins with "[", after any spaces (which a save removes).
bool startsWithHeader(const QByteArray& line) {
    const qsizetype at = leadingSpaces(line);
    return at < line.size() && line[at] == '[';
}

void appendLine(IniLines& lines, QByteArray line) {
    if (startsWithHeader(line))
        lines.append(QByteArray());
    lines.append(std::move(line));
}

struct LoadedLines {
    IniLines lines;
    FileOutcome outcome = FileOutcome::success();
};

// A missing file reads as an empty one; a file that cannot be read (not a regular file, too
// large, no permission) reads as empty too, with the reason in `outcome`.
LoadedLines LoadIniLines(const QString& file) {
    LoadedLines loaded;
    const QString path = ProgramFolder::resolve(file);
    const FileContents contents = readFileBounded(path, iniFileSizeLimit(path));
    if (!contents.isRead()) {
        if (contents.status == FileContents::Status::Refused)
            loaded.outcome = FileOutcome::failure(contents.reason);
        return loaded;
    }
    const QByteArray data = withoutByteOrderMark(contents.bytes);
    IniLines& lines = loaded.lines;
    const char* p = data.constData();
    const qsizetype size = data.size();
    qsizetype start = 0;
    auto take = [&](qsizetype end) {
        if (end == start)
            return; // exactly empty lines are dropped
        appendLine(lines, QByteArray(p + start, end - start));
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
    return loaded;
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

QByteArray savedBytes(const IniLines& lines) {
    QByteArray out;
    qsizetype total = 0;
    for (const QByteArray& line : lines)
        total += line.size() + 2;
    out.reserve(total);
    for (const QByteArray& line : lines) {
        out += trimSpaces(line);
        out += "\r\n";
    }
    return out;
}

FileOutcome SaveIniLines(const IniLines& lines, const QString& file) {
    return writeFileAtomically(ProgramFolder::resolve(file), savedBytes(lines));
}

// The lines as saving them and loading them again would give, without touching the disk: what a
// write finds when it follows another write to the same file.
IniLines reloaded(const IniLines& lines) {
    IniLines out;
    out.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = trimSpaces(lines[i]);
        if (i == 0)
            line = withoutByteOrderMark(line);
        if (!line.isEmpty())
            appendLine(out, std::move(line));
    }
    return out;
}

bool isAscii(const QByteArray& bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// A prefix to look for at the start of lines (after any spaces, which a save removes), compared
// without regard to letter case.
class Prefix {
public:
    explicit Prefix(const QString& text)
        : text_(text), utf8_(text.toUtf8()), ascii_(isAscii(utf8_)) {}

    bool matches(const QByteArray& line) const {
        const qsizetype from = leadingSpaces(line);
        if (ascii_) {
            if (line.size() - from < utf8_.size())
                return false;
            return qstrnicmp(line.constData() + from, utf8_.constData(), utf8_.size()) == 0;
        }
        return QString::fromUtf8(line.constData() + from, line.size() - from)
            .startsWith(text_, Qt::CaseInsensitive);
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

// Where a key that its section lacks is put.
enum class NewKeyAt { SectionTop, SectionEnd };

void writeKey(IniLines& lines, const QString& section, const QString& key, const QString& value,
              NewKeyAt placement) {
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
}

// A key the section lacks, put in its place; false when the section has it already.
bool insertMissing(IniLines& lines, const QString& section, const QString& key,
                   const QString& value, const std::function<bool(const QString&)>& goesBefore) {
    const qsizetype header = findSection(lines, section);
    if (header < 0) {
        appendSection(lines, section, {keyLine(key, value)});
        return true;
    }
    if (findKey(lines, header, key) >= 0)
        return false;
    const qsizetype end = sectionEnd(lines, header);
    qsizetype last = header;
    for (qsizetype i = header + 1; i < end; ++i) {
        const QByteArray line = trimSpaces(lines[i]);
        if (line.isEmpty())
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && goesBefore(QString::fromUtf8(line.left(eq)))) {
            lines.insert(i, keyLine(key, value));
            return true;
        }
        last = i;
    }
    lines.insert(last + 1, keyLine(key, value));
    return true;
}

// The "key=value" lines of a section text, at any line end.
QList<QByteArray> sectionBody(const QString& sectionText) {
    QList<QByteArray> body;
    QString normalized = sectionText;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : normalized.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        body.append(line.toUtf8());
    return body;
}

void writeSection(IniLines& lines, const QString& section, const QString& sectionText) {
    const QList<QByteArray> body = sectionBody(sectionText);
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
}

bool isSettingsIni(const QString& file) {
    return QFileInfo(file).fileName().compare(QLatin1String("settings.ini"), Qt::CaseInsensitive) ==
           0;
}

} // namespace

qint64 iniFileSizeLimit(const QString& file) {
    return isSettingsIni(file) ? SettingsFileLimit : SavedSearchFileLimit;
}

bool IsValidIniName(const QString& name) {
    for (QChar c : name)
        if (c == QLatin1Char('[') || c == QLatin1Char(']') || c == QLatin1Char('='))
            return false;
    return true;
}

IniDocument IniDocument::load(const QString& file) {
    LoadedLines loaded = LoadIniLines(file);
    IniDocument document;
    document.lines_ = std::move(loaded.lines);
    document.outcome_ = loaded.outcome;
    return document;
}

QString IniDocument::value(const QString& section, const QString& key,
                           const QString& defaultValue) const {
    if (!IsValidIniName(section) || !IsValidIniName(key))
        return defaultValue;
    const qsizetype header = findSection(lines_, section);
    if (header < 0)
        return defaultValue;
    const qsizetype at = findKey(lines_, header, key);
    if (at < 0)
        return defaultValue;
    const QByteArray& line = lines_[at];
    return QString::fromUtf8(line.mid(line.indexOf('=') + 1));
}

QString IniDocument::section(const QString& section, const QString& defaultValue) const {
    if (!IsValidIniName(section))
        return defaultValue;
    const qsizetype header = findSection(lines_, section);
    if (header < 0)
        return defaultValue;
    const qsizetype end = sectionEnd(lines_, header);
    QByteArray text;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (i > header + 1)
            text += "\r\n";
        text += lines_[i];
    }
    return QString::fromUtf8(text);
}

QStringList IniDocument::sections() const {
    QStringList names;
    for (const QByteArray& line : lines_) {
        if (!startsWithHeader(line))
            continue;
        const QByteArray header = line.mid(leadingSpaces(line));
        const qsizetype close = header.indexOf(']');
        names.append(QString::fromUtf8(close < 0 ? header.mid(1) : header.mid(1, close - 1)));
    }
    return names;
}

bool IniDocument::isBlank() const {
    return std::all_of(lines_.begin(), lines_.end(), [](const QByteArray& line) {
        const QByteArray text = line.trimmed();
        return text.isEmpty() || text.startsWith(';') || text.startsWith('#');
    });
}

QString ReadIniValue(const QString& section, const QString& key, const QString& defaultValue,
                     const QString& file) {
    if (!IsValidIniName(section) || !IsValidIniName(key))
        return defaultValue;
    return IniDocument::load(file).value(section, key, defaultValue);
}

QString ReadIniSection(const QString& section, const QString& defaultValue, const QString& file) {
    if (!IsValidIniName(section))
        return defaultValue;
    return IniDocument::load(file).section(section, defaultValue);
}

QStringList ListIniSections(const QString& file) {
    return IniDocument::load(file).sections();
}

bool WriteIniValue(const QString& section, const QString& key, const QString& value,
                   const QString& file) {
    return IniFileEdit(file).writeIniValue(section, key, value).save().ok();
}

bool WritePrivateProfileStringA(const QString& section, const QString& key, const QString& value,
                                const QString& file) {
    return IniFileEdit(file).writePrivateProfileString(section, key, value).save().ok();
}

bool WritePrivateProfileSectionA(const QString& section, const QString& sectionText,
                                 const QString& file) {
    return IniFileEdit(file).writePrivateProfileSection(section, sectionText).save().ok();
}

IniFileEdit::IniFileEdit(const QString& file) : file_(file) {}

IniFileEdit& IniFileEdit::writeIniValue(const QString& section, const QString& key,
                                        const QString& value) {
    steps_.append({Kind::Value, section, key, value});
    return *this;
}

IniFileEdit& IniFileEdit::writePrivateProfileString(const QString& section, const QString& key,
                                                    const QString& value) {
    steps_.append({Kind::ProfileString, section, key, value});
    return *this;
}

IniFileEdit& IniFileEdit::insertMissingKey(const QString& section, const QString& key,
                                           const QString& value,
                                           std::function<bool(const QString&)> goesBefore,
                                           QStringList* inserted) {
    steps_.append({Kind::MissingKey, section, key, value, std::move(goesBefore), inserted});
    return *this;
}

IniFileEdit& IniFileEdit::writePrivateProfileSection(const QString& section,
                                                     const QString& sectionText) {
    steps_.append({Kind::ProfileSection, section, QString(), sectionText});
    return *this;
}

FileOutcome IniFileEdit::save() const {
    for (const Step& step : steps_) {
        const bool isSection = step.kind == Kind::ProfileSection;
        for (const QString& name : {step.section, step.key})
            if (!IsValidIniName(name))
                return FileOutcome::failure(
                    Text::tr("The name \"%1\" holds \"[\", \"]\" or \"=\"").arg(name));
        const bool safe = isSection ? isSafeText(step.section) && !step.value.contains(QChar(0))
                                    : canWrite(step.section, step.key, step.value);
        if (!safe)
            return FileOutcome::failure(
                Text::tr("A name or value holds a line break or a NUL character"));
    }
    if (steps_.isEmpty())
        return FileOutcome::success();

    // Held from the load to the replacement: another program's change cannot fall in between.
    FileLock lock(ProgramFolder::resolve(file_));
    if (const FileOutcome locked = lock.acquire(); !locked)
        return locked;
    // What a save killed half way left beside the file goes now, under the lock.
    removeAbandonedTemporaries(ProgramFolder::resolve(file_));
    LoadedLines loaded = LoadIniLines(file_);
    if (!loaded.outcome)
        return loaded.outcome;
    IniLines& lines = loaded.lines;
    for (qsizetype i = 0; i < steps_.size(); ++i) {
        if (i > 0)
            lines = reloaded(lines);
        const Step& step = steps_[i];
        switch (step.kind) {
        case Kind::Value:
            writeKey(lines, step.section, step.key, step.value, NewKeyAt::SectionTop);
            break;
        case Kind::ProfileString:
            writeKey(lines, step.section, step.key, step.value, NewKeyAt::SectionEnd);
            break;
        case Kind::ProfileSection:
            writeSection(lines, step.section, step.value);
            break;
        case Kind::MissingKey:
            if (insertMissing(lines, step.section, step.key, step.value, step.goesBefore) &&
                step.inserted)
                *step.inserted << step.key;
            break;
        }
    }
    if (const FileOutcome saved = SaveIniLines(lines, file_); !saved || !after_)
        return saved;
    return after_();
}

IniFileEdit& IniFileEdit::afterReplacing(std::function<FileOutcome()> step) {
    after_ = std::move(step);
    return *this;
}

} // namespace tally::modINI
