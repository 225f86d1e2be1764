// The Lucas-Lehmer test on the Mersenne squaring of bigint/, and the certificate's
// checkpoints.
#include "tools/mersenne/lucas_lehmer.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <thread>

namespace {
using Bits = std::vector<uint64_t>;
}  // namespace

void LucasLehmerCertificate::forEach(size_t from, size_t to,
                                     const std::function<bool(size_t, const std::string&)>& visit,
                                     unsigned threads) const {
    to = std::min(to, rows());
    if (from >= to) return;
    if (threads <= 1) {
        // Row r holds the residue after r + 1 steps; checkpoint c the residue after c * kEvery.
        const size_t c = (from + 1) / kEvery;
        MersenneSquarer sq((uint32_t)p_);
        sq.set(checkpoints_[c]);
        size_t done = c * kEvery;
        for (size_t r = from; r < to; ++r) {
            while (done < r + 1) {
                sq.step();
                ++done;
            }
            if (!visit(r, ResidueToDecimal(sq.get()))) return;
        }
        return;
    }
    // Workers take blocks in turn and convert them; the visitor consumes them in order.
    const size_t first = from / kEvery, last = (to - 1) / kEvery;
    std::mutex mutex;
    std::condition_variable changed;
    std::map<size_t, std::vector<std::string>> ready;
    size_t next = first;          // the block the visitor waits for
    bool stop = false;
    std::exception_ptr failure;
    auto work = [&](unsigned id) {
        try {
            for (size_t b = first + id; b <= last; b += threads) {
                {
                    std::unique_lock lock(mutex);
                    changed.wait(lock, [&] { return stop || b < next + 2 * threads; });
                    if (stop) return;
                }
                std::vector<std::vector<uint64_t>> residues = block(b);
                std::vector<std::string> texts;
                for (size_t i = 0; i < residues.size(); ++i) {
                    const size_t r = b * kEvery + i;
                    texts.push_back(r >= from && r < to ? ResidueToDecimal(residues[i]) : std::string());
                }
                std::lock_guard lock(mutex);
                ready.emplace(b, std::move(texts));
                changed.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
            stop = true;
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (unsigned id = 0; id < threads; ++id) pool.emplace_back(work, id);
    try {
        for (size_t b = first; b <= last; ++b) {
            std::vector<std::string> texts;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || ready.count(b); });
                if (stop) break;
                texts = std::move(ready[b]);
                ready.erase(b);
                next = b + 1;
                changed.notify_all();
            }
            bool keepGoing = true;
            for (size_t i = 0; i < texts.size() && keepGoing; ++i) {
                const size_t r = b * kEvery + i;
                if (r >= from && r < to) keepGoing = visit(r, texts[i]);
            }
            if (!keepGoing) break;
        }
    } catch (...) {
        {
            std::lock_guard lock(mutex);
            stop = true;
            changed.notify_all();
        }
        for (auto& t : pool) t.join();
        throw;
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
        changed.notify_all();
    }
    for (auto& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

std::vector<std::vector<uint64_t>> LucasLehmerCertificate::block(size_t b) const {
    std::vector<std::vector<uint64_t>> out;
    const size_t from = b * kEvery, to = std::min(rows(), from + kEvery);
    if (from >= to) return out;
    // Row r holds the residue after r + 1 steps; checkpoint c the residue after c * kEvery.
    MersenneSquarer sq((uint32_t)p_);
    sq.set(checkpoints_[(from + 1) / kEvery]);
    size_t done = (from + 1) / kEvery * kEvery;
    for (size_t r = from; r < to; ++r) {
        while (done < r + 1) {
            sq.step();
            ++done;
        }
        out.push_back(sq.get());
    }
    return out;
}

std::string LucasLehmerCertificate::row(size_t r) const {
    std::string text;
    forEach(r, r + 1, [&](size_t, const std::string& s) { text = s; return true; });
    return text;
}

size_t LucasLehmerCertificate::bytesHeld() const {
    size_t b = 0;
    for (const auto& c : checkpoints_) b += c.size() * sizeof(uint64_t);
    return b;
}

// The test itself; between steps it calls poll(done, total), which throws Cancelled to stop.
struct LucasLehmerRun {
    template <class Poll>
    static bool run(int32_t p, LucasLehmerCertificate* certificate, Poll&& poll) {
        LucasLehmerCertificate fresh;
        fresh.p_ = p;
        if (p <= 2) {
            if (certificate) *certificate = std::move(fresh);
            return p == 2;
        }
        MersenneSquarer sq((uint32_t)p);
        if (certificate) fresh.checkpoints_.push_back(sq.get());
        const int64_t total = p - 2;
        poll(0, total);
        for (int64_t i = 1; i <= total; ++i) {
            sq.step();
            if (certificate && i % LucasLehmerCertificate::kEvery == 0) fresh.checkpoints_.push_back(sq.get());
            poll(i, total);
        }
        const Bits last = sq.get();
        const bool prime = std::all_of(last.begin(), last.end(), [](uint64_t w) { return w == 0; });
        if (certificate) *certificate = std::move(fresh);
        return prime;
    }
};

bool LucasLehmerTest(int32_t p, LucasLehmerCertificate* certificate, Progress& progress) {
    using Clock = std::chrono::steady_clock;
    // A step of p = 99999 takes about 25 us: the cancel flag is read after every step, the
    // clock every 16th, and the phase text is rebuilt about 50 times a second.
    constexpr auto kReportEvery = std::chrono::milliseconds(20);
    Clock::time_point lastReport{};
    auto report = [&](int64_t done, int64_t total) {
        progress.report((double)done / (double)total,
                        "Iteration " + std::to_string(done) + " of " + std::to_string(total));
        lastReport = Clock::now();
    };
    return LucasLehmerRun::run(p, certificate, [&](int64_t done, int64_t total) {
        progress.check();
        if (done == 0 || done == total || (done % 16 == 0 && Clock::now() - lastReport >= kReportEvery))
            report(done, total);
    });
}

bool LucasLehmerTest(int32_t p, LucasLehmerCertificate* certificate) {
    Progress unwatched;
    return LucasLehmerTest(p, certificate, unwatched);
}
