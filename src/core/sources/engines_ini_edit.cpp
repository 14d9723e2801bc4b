#include "core/sources/engines_ini_edit.h"

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_presets.h"

namespace tally {

namespace {

bool isComment(const QByteArray& trimmed) {
    return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The name of a header line ("[MSN]" gives "MSN"), or a null string for any other line.
QString headerName(QByteArray text) {
    text = withoutByteOrderMark(text).trimmed();
    if (!text.startsWith('['))
        return QString();
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return QString();
    return QString::fromUtf8(text.mid(1, close - 1)).trimmed();
}

bool named(const EngineIniLine& line, const char* key) {
    return line.key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
}

} // namespace

SlotChoice slotChoiceOf(const QString& sectionText, const QStringList& knownPresets) {
    SlotChoice choice;
    const QList<EngineIniLine> lines = engineIniLines(sectionText);
    SlotChoice custom;
    custom.kind = SlotChoice::Kind::Custom;
    int presets = 0;
    int kinds = 0;
    int servers = 0;
    int captions = 0;
    for (const EngineIniLine& line : lines) {
        if (named(line, "Preset")) {
            ++presets;
            choice.preset = line.value;
        } else if (named(line, "Kind")) {
            ++kinds;
            if (line.value.compare(QLatin1String("off"), Qt::CaseInsensitive) != 0)
                return custom;
        } else if (named(line, "Server")) {
            ++servers;
            choice.server = line.value;
        } else if (named(line, "Caption")) {
            ++captions;
            choice.caption = line.value;
        } else {
            return custom;
        }
    }
    if (presets > 1 || kinds > 1 || servers > 1 || captions > 1 || (presets && kinds))
        return custom;
    if (presets) {
        if (!knownPresets.contains(choice.preset))
            return custom;
        choice.kind = SlotChoice::Kind::Preset;
        return choice;
    }
    if (servers) // a built-in engine or off does not go through a server of the user's
        return custom;
    choice.kind = kinds ? SlotChoice::Kind::Off : SlotChoice::Kind::BuiltIn;
    return choice;
}

QStringList sectionLinesOf(const SlotChoice& choice) {
    QStringList lines;
    if (!choice.caption.isEmpty() && choice.kind != SlotChoice::Kind::Custom)
        lines << QStringLiteral("Caption=") + choice.caption;
    switch (choice.kind) {
    case SlotChoice::Kind::Preset:
        lines << QStringLiteral("Preset=") + choice.preset;
        if (!choice.server.isEmpty())
            lines << QStringLiteral("Server=") + choice.server;
        break;
    case SlotChoice::Kind::Off:
        lines << QStringLiteral("Kind=off");
        break;
    case SlotChoice::Kind::BuiltIn:
    case SlotChoice::Kind::Custom:
        break;
    }
    return lines;
}

SlotChoice choiceAfterPick(const SlotChoice& before, const SlotChoice& source) {
    if (before.sameSource(source))
        return before;
    // Nothing of the old choice stays: its Server= is the old provider's gateway, which must
    // never get the new provider's key.
    SlotChoice after;
    after.kind = source.kind;
    after.preset = source.preset;
    return after;
}

EnginesIniEdit EnginesIniEdit::load(const QString& path) {
    EnginesIniEdit edit;
    edit.path_ = path;
    const FileContents contents = readFileBounded(path, SettingsFileLimit);
    if (contents.status == FileContents::Status::Refused) {
        edit.outcome_ = FileOutcome::failure(contents.reason);
        edit.exists_ = true;
        return edit;
    }
    edit.exists_ = contents.isRead();
    edit.original_ = contents.bytes;
    const QByteArray& bytes = contents.bytes;
    qsizetype start = 0;
    bool eolSeen = false;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        Line line;
        if (lf < 0) {
            line.text = bytes.mid(start);
            start = bytes.size();
        } else {
            const bool cr = lf > start && bytes[lf - 1] == '\r';
            line.text = bytes.mid(start, lf - start - (cr ? 1 : 0));
            line.eol = cr ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
            start = lf + 1;
            if (!eolSeen) {
                edit.eol_ = line.eol;
                eolSeen = true;
            }
        }
        edit.lines_.append(line);
    }
    edit.finalEol_ = bytes.isEmpty() || bytes.endsWith('\n');
    return edit;
}

int EnginesIniEdit::headerOf(const QString& name) const {
    for (int i = 0; i < lines_.size(); ++i)
        if (headerName(lines_[i].text).compare(name, Qt::CaseInsensitive) == 0 &&
            !headerName(lines_[i].text).isEmpty())
            return i;
    return -1;
}

int EnginesIniEdit::sectionEnd(int header) const {
    int end = header + 1;
    while (end < lines_.size() && headerName(lines_[end].text).isNull())
        ++end;
    return end;
}

int EnginesIniEdit::sectionCount(const QString& name) const {
    int count = 0;
    for (const Line& line : lines_) {
        const QString header = headerName(line.text);
        if (!header.isEmpty() && header.compare(name, Qt::CaseInsensitive) == 0)
            ++count;
    }
    return count;
}

QString EnginesIniEdit::sectionText(const QString& name) const {
    const int header = headerOf(name);
    if (header < 0)
        return QString();
    QStringList text;
    for (int i = header + 1; i < sectionEnd(header); ++i)
        text << QString::fromUtf8(lines_[i].text);
    const QString joined = text.join(QStringLiteral("\r\n"));
    return joined.isNull() ? QStringLiteral("") : joined;
}

void EnginesIniEdit::setSection(const QString& name, const QStringList& keyLines) {
    if (!ok() || sectionCount(name) > 1)
        return;
    auto newLine = [this](const QString& text) { return Line{text.toUtf8(), eol_}; };
    const int header = headerOf(name);
    if (header < 0) {
        if (keyLines.isEmpty())
            return;
        // A blank line parts the new section from what was there.
        if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty())
            lines_.append(newLine(QString()));
        lines_.append(newLine(QLatin1Char('[') + name + QLatin1Char(']')));
        for (const QString& line : keyLines)
            lines_.append(newLine(line));
        endLines();
        return;
    }
    const int end = sectionEnd(header);
    // Key lines out, comments and blank lines kept; the new key lines go where the first key
    // line was (else right under the header).
    QList<Line> kept;
    int insertAt = -1;
    for (int i = header + 1; i < end; ++i) {
        const QByteArray trimmed = lines_[i].text.trimmed();
        if (trimmed.isEmpty() || isComment(trimmed)) {
            kept.append(lines_[i]);
        } else if (insertAt < 0) {
            insertAt = int(kept.size());
        }
    }
    if (insertAt < 0) {
        // Under the header, before the blank lines that part it from the next section.
        insertAt = 0;
        while (insertAt < kept.size() && isComment(kept[insertAt].text.trimmed()))
            ++insertAt;
    }
    QList<Line> section;
    for (int i = 0; i < kept.size(); ++i) {
        if (i == insertAt)
            for (const QString& line : keyLines)
                section.append(newLine(line));
        section.append(kept[i]);
    }
    if (insertAt >= kept.size())
        for (const QString& line : keyLines)
            section.append(newLine(line));
    bool onlyBlank = keyLines.isEmpty();
    for (const Line& line : section)
        onlyBlank = onlyBlank && line.text.trimmed().isEmpty();
    lines_.erase(lines_.begin() + header + (onlyBlank ? 0 : 1), lines_.begin() + end);
    if (onlyBlank) {
        // The header goes with its section; so does a blank line that only parted it from the
        // one before, when it was the last section.
        if (header > 0 && header == lines_.size() && lines_[header - 1].text.trimmed().isEmpty())
            lines_.removeAt(header - 1);
    } else {
        for (int i = 0; i < section.size(); ++i)
            lines_.insert(header + 1 + i, section[i]);
    }
    endLines();
}

void EnginesIniEdit::endLines() {
    // Every line ends as the file's lines do; the last one as the file's last line did.
    for (int i = 0; i + 1 < lines_.size(); ++i)
        if (lines_[i].eol.isEmpty())
            lines_[i].eol = eol_;
    if (!lines_.isEmpty())
        lines_.last().eol =
            finalEol_ ? (lines_.last().eol.isEmpty() ? eol_ : lines_.last().eol) : QByteArray();
}

QByteArray EnginesIniEdit::bytes() const {
    QByteArray out;
    for (const Line& line : lines_)
        out += line.text + line.eol;
    return out;
}

FileOutcome EnginesIniEdit::save() const {
    if (!ok())
        return outcome_;
    if (!changed())
        return FileOutcome::success();
    return writeFileAtomically(path_, bytes());
}

} // namespace tally
