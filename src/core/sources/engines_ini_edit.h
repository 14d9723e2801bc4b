// engines.ini as the Sources window changes it: one slot's section at a time, every other byte of
// the file kept (comments, blank lines, unknown sections and keys, the line ends it uses).
//
// What a slot's section says is read into a SlotChoice: the built-in engine, a preset, off, or a
// custom definition. A section the window cannot represent (any key beyond Preset, Server and
// Caption for a preset, beyond Kind=off and Caption for off, beyond Caption for the built-in
// engine, an unknown preset, a section written twice) is custom, and stays exactly as it is
// unless the user picks something else for its slot.
#pragma once

#include "core/files/safe_file.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tally {

struct SlotChoice {
    enum class Kind { BuiltIn, Preset, Off, Custom };
    Kind kind = Kind::BuiltIn;
    QString preset; // Preset: its name ("moz")
    // Kept from the section while its choice does not change: a preset's Server= (a mirror, a
    // proxy endpoint, a local stand-in) also when another preset is picked, a Caption only as
    // long as the choice stays.
    QString server;
    QString caption;

    bool operator==(const SlotChoice& other) const = default;
    // The same source: kind and preset, whatever is kept beside them.
    bool sameSource(const SlotChoice& other) const {
        return kind == other.kind && preset == other.preset;
    }
};

// What a slot's section says, read from its lines (CR LF or LF between them); the presets known
// are those of presetNames(). An empty or missing section is the built-in engine.
SlotChoice slotChoiceOf(const QString& sectionText, const QStringList& knownPresets);

// The key lines a choice writes ("Preset=moz", "Server=..."); none for the built-in engine. A
// custom choice has no lines of its own: its section is never rewritten.
QStringList sectionLinesOf(const SlotChoice& choice);

// The choice that replaces `before` when the user picks `source` (its kind and preset): its
// Server= and caption stay only while the source does not change.
SlotChoice choiceAfterPick(const SlotChoice& before, const SlotChoice& source);

class EnginesIniEdit {
public:
    // Reads the file (a missing one reads as empty); ok() says whether it could be read.
    static EnginesIniEdit load(const QString& path);

    const FileOutcome& outcome() const { return outcome_; }
    bool ok() const { return outcome_.ok(); }
    bool exists() const { return exists_; }

    // How often a section of that name (any letter case) is in the file.
    int sectionCount(const QString& name) const;
    // The lines of the first section of that name, CR LF between them; a null string for none.
    QString sectionText(const QString& name) const;

    // Replaces the key lines of the section by `keyLines`, keeping the comments and blank lines
    // in it; a section that had none is appended at the end. With no key lines, a section left
    // with nothing but blank lines goes, its header too. Nothing happens to a section written
    // more than once.
    void setSection(const QString& name, const QStringList& keyLines);

    QByteArray bytes() const;
    bool changed() const { return bytes() != original_; }
    // Writes the file atomically when anything changed (a file that could not be read is never
    // written over).
    FileOutcome save() const;

private:
    struct Line {
        QByteArray text; // without its line end
        QByteArray eol;  // "\r\n", "\n" or nothing (a last line without one)
    };
    // The line of the first header of that name, or -1; the line after its section's last.
    int headerOf(const QString& name) const;
    int sectionEnd(int header) const;
    void endLines();

    QString path_;
    QList<Line> lines_;
    QByteArray eol_ = "\r\n"; // what new lines end with: the file's own first line end
    bool finalEol_ = true;    // the file's last line has an end
    bool exists_ = false;
    QByteArray original_;
    FileOutcome outcome_ = FileOutcome::success();
};

} // namespace tally
