// What a scan changes reaches the screen at most every interval (100 ms in the window), not once
// per request: request() asks for a refresh, which runs on the event loop once the interval since
// the last one has passed; flush() runs a requested refresh at once (the end of a scan, a stop).
// Requests in between are one refresh.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace tally {

class RefreshThrottle : public QObject {
    Q_OBJECT
public:
    RefreshThrottle(int intervalMs, std::function<void()> refresh, QObject* parent = nullptr);

    // A refresh is due: it runs when the interval since the last one has passed (at the next turn
    // of the event loop when it already has).
    void request();
    // Runs a requested refresh now; nothing when none is due.
    void flush();
    // Forgets a requested refresh.
    void cancel();
    bool isPending() const { return pending_; }
    int intervalMs() const { return interval_; }

private:
    void run();

    int interval_;
    std::function<void()> refresh_;
    QTimer timer_;
    QElapsedTimer sinceLast_;
    bool pending_ = false;
};

} // namespace tally
