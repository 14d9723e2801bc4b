// A stand-in for `systemctl` first on PATH while it lives: it writes each call's arguments as a
// line into its log and answers as a user instance does (is-system-running: "running"; show of
// NextElapseUSecRealtime: a fixed time; anything else: nothing, exit 0), or, offline, as a
// machine without a user instance ("Failed to connect to bus", exit 1). The real user's units are
// never touched.
#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

namespace tally::test {

class SystemctlStandIn {
public:
    explicit SystemctlStandIn(bool offline = false);
    ~SystemctlStandIn();
    SystemctlStandIn(const SystemctlStandIn&) = delete;
    SystemctlStandIn& operator=(const SystemctlStandIn&) = delete;

    // Each call's arguments, one line per call ("--user enable --now tallyscope-x.timer").
    QStringList calls() const;
    static constexpr const char* NextRun = "Thu 2026-12-10 03:00:00 UTC";

private:
    QTemporaryDir folder_;
    QByteArray oldPath_;
};

} // namespace tally::test
