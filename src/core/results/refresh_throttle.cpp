#include "core/results/refresh_throttle.h"

#include <algorithm>

namespace tally {

RefreshThrottle::RefreshThrottle(int intervalMs, std::function<void()> refresh, QObject* parent)
    : QObject(parent), interval_(intervalMs), refresh_(std::move(refresh)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RefreshThrottle::run);
}

void RefreshThrottle::request() {
    if (pending_)
        return;
    pending_ = true;
    const qint64 since = sinceLast_.isValid() ? sinceLast_.elapsed() : interval_;
    timer_.start(int(std::max<qint64>(0, interval_ - since)));
}

void RefreshThrottle::flush() {
    if (pending_)
        run();
}

void RefreshThrottle::cancel() {
    timer_.stop();
    pending_ = false;
}

void RefreshThrottle::run() {
    timer_.stop();
    pending_ = false;
    sinceLast_.start();
    if (refresh_)
        refresh_();
}

} // namespace tally
