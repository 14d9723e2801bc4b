// settings.ini as a run reads it: the engines' query prefixes (section "Engines") before every
// request, the pacing (section "Pacing") once. The file is read whole once, and again only when it
// changed: before each request one stat() compares its identity (a save replaces the file, so
// that changes), size and modification time with those of the last read. A prefix saved in the
// Options dialog during a run thus applies to the next request, as it always did, without a read
// of the file per request.
#pragma once

#include "core/settings/ini_file.h"

#include <QString>

namespace tally {

class QueryPrefixes {
public:
    explicit QueryPrefixes(const QString& settingsIni);

    // The prefix of an engine key, read again first when the file changed; empty when none.
    QString prefix(const QString& key);
    // A value of section "Pacing" by engine key, read again first when the file changed.
    QString pacing(const QString& key);

    // How many times the file was read (tests).
    int reads() const { return reads_; }

private:
    void refresh();

    struct Stamp {
        bool exists = false;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);

    QString path_;
    Stamp stamp_;
    bool loaded_ = false;
    modINI::IniDocument document_;
    int reads_ = 0;
};

} // namespace tally
