// Runs long work off the user-interface thread: hourglass, no other input, a progress
// dialog with the time left after a short delay, and Cancel. Results are applied by the
// caller afterwards, on the user-interface thread, only when the work completed.
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

#include "app/cancelled.h"

class Platform;
class QWidget;

// What the work sees: a cancel flag to poll and a place to report how far it got.
class Progress {
public:
    bool cancelled() const { return cancel_.load(std::memory_order_relaxed); }
    void cancel() { cancel_ = true; }
    // fraction in 0..1 (negative when unknown); cheap enough for inner loops to call sparingly.
    void report(double fraction, const QString& label = {});
    double fraction() const;
    QString label() const;

private:
    std::atomic<bool> cancel_{false};
    mutable std::mutex mutex_;
    double fraction_ = -1;
    QString label_;
};


class Runner {
public:
    explicit Runner(Platform& platform) : platform_(platform) {}
    // True when the work completed; false when the user cancelled it. The work's own
    // exception is rethrown here, on the user-interface thread.
    bool run(QWidget* owner, const QString& what, const std::function<void(Progress&)>& work);

private:
    Platform& platform_;
};
