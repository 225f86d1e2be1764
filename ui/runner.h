// Runs long work off the user-interface thread. While it runs the owner's windows take no
// input: a modal progress dialog (shown after the platform's delay, with the phase, a
// percentage and the time left) is the only thing the user can reach, and its Cancel button,
// Esc and close box cancel the work. The worker is joined on every path; its exception is
// rethrown on the user-interface thread. Callers apply results afterwards, only on success.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "core/progress.h"

class Platform;
class QWidget;

class Runner {
public:
    explicit Runner(Platform& platform);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // True when the work completed; false when the user cancelled it (the work saw
    // progress.cancelled() and threw Cancelled, or simply returned after the request).
    bool run(QWidget* owner, const QString& what, const std::function<void(Progress&)>& work);
    // True while a command runs; handlers that must not start then can ask.
    bool busy() const { return busy_; }

private:
    Platform& platform_;
    bool busy_ = false;
};

// Time left from the recent rate of progress, "m:ss"; empty while unknown. Never "0:00"
// while work remains (rounded up). add() takes the milliseconds since the start and the
// fraction done (negative while unknown), as they are read; a reading every 250 ms at most is
// kept, the last 64 of them, and a fraction that goes back starts the rate afresh.
class TimeLeftEstimator {
public:
    void add(qint64 ms, double fraction);
    QString text() const;

private:
    struct Sample { qint64 ms; double fraction; };
    Sample samples_[64];
    int count_ = 0, first_ = 0;
};
