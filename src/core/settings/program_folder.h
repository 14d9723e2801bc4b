// The program folder: where settings.ini, Help.rtf, Saved/ and Lists/ live. It is the folder of
// the executable unless a test points it elsewhere.
#pragma once

#include <QString>

namespace tally {

class ProgramFolder {
public:
    // The folder, without a trailing separator.
    static QString path();
    // Points the program folder at another folder (tests); an empty text restores the default.
    static void setOverride(const QString& folder);

    static QString settingsIni(); // <folder>/settings.ini
    static QString savedFolder(); // <folder>/Saved
    static QString listsFolder(); // <folder>/Lists
    static QString helpFile();    // <folder>/Help.rtf

    // A relative file name is taken relative to the program folder; an absolute one is kept.
    static QString resolve(const QString& fileName);

    // Creates Saved/ and Lists/ when they are missing; false when one could not be made.
    static bool ensureFolders();
};

} // namespace tally
