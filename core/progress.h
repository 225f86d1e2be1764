// The contract between long work and whoever waits for it: a cancel token the work polls
// and a sink for how far it got. Plain C++, shared by every engine of the program.
//
// Engines poll cancelled() (or check()) at least every 50 ms of work and report a fraction
// in 0..1 (negative while unknown) with a short phase text ("Iteration 5 of 99989",
// "ECM curve 3"). A cancelled engine throws Cancelled and leaves its outputs untouched.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

// Thrown by work that noticed a cancel request; the runner turns it into "not completed".
struct Cancelled {};

class Progress {
public:
    Progress() = default;
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool cancelled() const noexcept { return cancel_.load(std::memory_order_relaxed); }
    // May be called from any thread.
    void cancel() noexcept { cancel_.store(true, std::memory_order_relaxed); }
    // Throws Cancelled once a cancel was requested.
    void check() const {
        if (cancelled()) throw Cancelled{};
    }

    // Thread-safe; cheap enough to call every few milliseconds. An empty phase keeps the last one.
    void report(double fraction, std::string_view phase = {}) {
        fraction_.store(fraction, std::memory_order_relaxed);
        if (!phase.empty()) {
            std::lock_guard lock(mutex_);
            phase_.assign(phase);
        }
    }
    double fraction() const noexcept { return fraction_.load(std::memory_order_relaxed); }
    std::string phase() const {
        std::lock_guard lock(mutex_);
        return phase_;
    }

private:
    std::atomic<bool> cancel_{false};
    std::atomic<double> fraction_{-1.0};
    mutable std::mutex mutex_;
    std::string phase_;
};
