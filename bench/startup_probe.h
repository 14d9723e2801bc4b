// What the start-up benchmark and its probes share: the clock a run's times are read on and the
// peak memory of the process.
#pragma once

#include <QByteArray>
#include <QFile>

#include <time.h>

namespace tally::bench {

// CLOCK_MONOTONIC in microseconds: the same clock in every process, so that the benchmark can
// count from the moment it launched a probe.
inline long long monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// A field of /proc/<pid>/status in KiB ("VmHWM", "VmRSS"); 0 when unreadable.
inline long statusKiB(const QByteArray& pid, const char* field) {
    QFile file("/proc/" + pid + "/status");
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

} // namespace tally::bench
