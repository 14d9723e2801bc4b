// A temporary program folder (settings.ini, Saved/, Lists/) and an isolated per-user store, set
// up for the lifetime of one object and removed afterwards. The presets of engines.ini are the
// source tree's (data/presets).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tally::test {

class TestEnv {
public:
    // withSettingsIni: write the shipped settings.ini into the folder.
    explicit TestEnv(bool withSettingsIni = true);
    ~TestEnv();
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;

    QString path() const;                        // the program folder
    QString file(const QString& relative) const; // a path inside it
    QString storeFile() const;                   // the per-user store's file

    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

// A path of the tests' own data folder (tests/data).
QString dataFile(const QString& relative);
QByteArray readDataFile(const QString& relative);
// The help text the program ships (data/Help.rtf).
QByteArray shippedHelp();
// The per-user store's "show help at start" value as stored, "<absent>" when it holds none.
QString storedShowHelp();

// Deletes the objects whose deletion was deferred (a closed dialog's, say).
void flushDeletes();

// A run of tallyscope-graph to its end: its exit code (-1 when it crashed or did not end within
// a minute) and what it wrote.
struct ToolRun {
    int exit = -1;
    QString out;
    QString err;
};
ToolRun runGraphTool(const QStringList& args, const QString& workingFolder = QString());

} // namespace tally::test
