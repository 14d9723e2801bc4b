// settings.ini as a run reads it: the engines' query prefixes (section "Engines") before every
// request, the pacing (section "Pacing") once. The file is read whole once, and again only when it
// changed: before each request one stat() compares its identity (a save replaces the file, so
// that changes), size and modification time with those of the last read. A prefix saved in the
// Options dialog during a run thus applies to the next request, as it always did, without a read
// of the file per request.
#pragma once

#include "core/settings/ini_file.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

namespace tally {

// A file a scan takes its settings from, there but unreadable (a FIFO, a device, a folder, over
// its size limit, no permission): settings.ini, or engines.ini beside it.
struct UnreadableSettingsFile {
    QString file;
    QString reason;
};
QList<UnreadableSettingsFile> unreadableSettingsFiles(const QString& settingsIni);
// The message the window shows at start for them; empty when there are none.
QString unreadableSettingsMessage(const QList<UnreadableSettingsFile>& files);

class QueryPrefixes {
public:
    // recheckMs: the file is looked at (one stat) at most this often; this program's own writes
    // are seen at once. 0: at every read.
    explicit QueryPrefixes(const QString& settingsIni, int recheckMs = 0);

    // The prefix of an engine key, read again first when the file changed; empty when none.
    QString prefix(const QString& key);
    // A value of section "Pacing" by engine key, read again first when the file changed.
    QString pacing(const QString& key);
    // Why the file could not be read at its last reading (a missing file reads as empty, which
    // is no failure): its prefixes are then missing, not empty.
    const FileOutcome& outcome() const { return document_.outcome(); }

    // How many times the file was read (tests).
    int reads() const { return reads_; }

private:
    void refresh();

    QString path_;
    int recheckMs_ = 0;
    QElapsedTimer checked_;
    quint64 writesSeen_ = 0;
    FileStamp stamp_;
    bool loaded_ = false;
    modINI::IniDocument document_;
    int reads_ = 0;
};

} // namespace tally
