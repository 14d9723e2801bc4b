// The program folder: where settings.ini, Saved/ and Lists/ live, and where Help.rtf is read.
//
// Which folder that is, decided once per run:
// - a test's override, when one is set;
// - the executable's own folder when the program runs from a build tree or a portable copy: a
//   folder it may write to, with no installed shared data beside it;
// - otherwise the per-user data folder, $XDG_DATA_HOME/Tallyscope (~/.local/share/Tallyscope by
//   default). An installed program (bin/ with share/tallyscope/ beside it) always keeps its data
//   there, even where it could write to bin/ (run as root, or installed under the user's home),
//   and so does a copy in a folder it cannot write to.
// The per-user folder is made on first start, its settings.ini copied from the shipped defaults
// (share/tallyscope/settings.ini); its help text is the installed one (share/tallyscope/Help.rtf),
// or for a copy in a read-only folder the one beside the executable.
#pragma once

#include "core/files/safe_file.h"

#include <QString>

namespace tally {

class ProgramFolder {
public:
    enum class Kind {
        ExecutableFolder, // a build tree or a portable copy
        PerUser,          // $XDG_DATA_HOME/Tallyscope
        Override          // a test's folder
    };

    // The folder, without a trailing separator.
    static QString path();
    static Kind kind();
    // Points the program folder at another folder (tests); an empty text restores the default.
    static void setOverride(const QString& folder);

    static QString settingsIni(); // <folder>/settings.ini
    static QString savedFolder(); // <folder>/Saved
    static QString listsFolder(); // <folder>/Lists
    // <folder>/session-urls.txt: the URL list as the last session left it, a list file.
    static QString sessionUrlList();
    // Where fetched link indexes go and where a graph slot without Index= looks: graphs/ in the
    // per-user data folder (in a test's folder when one is set), whatever the program folder is.
    static QString graphsFolder();
    // <folder>/Help.rtf, or for the per-user folder the installed one.
    static QString helpFile();
    // The shipped presets of engines.ini (one file per source): share/tallyscope/presets of an
    // installation, else presets/ beside the executable (a build tree, a portable copy). Whatever
    // the program folder is: the presets are the program's, not the user's.
    static QString presetsFolder();
    // Points the presets folder elsewhere (tests); an empty text restores the default.
    static void setPresetsOverride(const QString& folder);

    // The installed shared data beside the executable's folder: <exe folder>/../share/tallyscope.
    static QString sharedDataFolder();
    // $XDG_DATA_HOME/Tallyscope, or ~/.local/share/Tallyscope.
    static QString perUserFolder();

    // The decision above for given folders (tests): the executable's folder, or perUser.
    static Kind choose(const QString& executableFolder, const QString& sharedData);
    // Whether the program may write into the folder: permitted, on a writable file system, and
    // with a write permission bit set (root passes every permission check, so for root the bits
    // say what the folder's owner meant).
    static bool isWritableFolder(const QString& folder);

    // A relative file name is taken relative to the program folder; an absolute one is kept.
    static QString resolve(const QString& fileName);

    // Creates Saved/ and Lists/ when they are missing; false when one could not be made.
    static bool ensureFolders();
    // Everything the program needs of its folder before it starts: the folder itself, a
    // settings.ini copied from the shipped defaults when there is none (not in a test's folder),
    // then Saved/ and Lists/. The failure names the folder or file that could not be made.
    static FileOutcome prepare();
};

} // namespace tally
