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

// Blocks of rows computed and converted to decimal by worker threads and handed out in order.
// Worker id takes blocks first + id, first + id + threads, ...; none runs more than
// 2 * threads blocks ahead of the block being handed out. The destructor stops and joins them.
class BlockPipeline {
public:
    BlockPipeline(const LucasLehmerCertificate& c, size_t from, size_t to, unsigned threads)
        : c_(c), from_(from), to_(to), threads_(threads), first_(from / LucasLehmerCertificate::kEvery),
          last_((to - 1) / LucasLehmerCertificate::kEvery), next_(first_) {
        for (unsigned id = 0; id < threads; ++id) pool_.emplace_back([this, id] { work(id); });
    }
    ~BlockPipeline() {
        stop();
        for (auto& t : pool_) t.join();
    }
    size_t first() const { return first_; }
    size_t last() const { return last_; }

    // The texts of block b's rows (empty for rows outside from..to-1), once a worker has
    // them; false when the work stopped on a failure.
    bool take(size_t b, std::vector<std::string>& texts) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || ready_.count(b); });
        if (stop_) return false;
        texts = std::move(ready_[b]);
        ready_.erase(b);
        next_ = b + 1;
        changed_.notify_all();
        return true;
    }
    // Stops the workers, waits for them, and rethrows a worker's failure.
    void finish() {
        stop();
        for (auto& t : pool_) t.join();
        pool_.clear();
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    void stop() {
        std::lock_guard lock(mutex_);
        stop_ = true;
        changed_.notify_all();
    }
    std::vector<std::string> convert(size_t b) const {
        const std::vector<Bits> residues = c_.block(b);
        std::vector<std::string> texts;
        for (size_t i = 0; i < residues.size(); ++i) {
            const size_t r = b * LucasLehmerCertificate::kEvery + i;
            texts.push_back(r >= from_ && r < to_ ? ResidueToDecimal(residues[i]) : std::string());
        }
        return texts;
    }
    void work(unsigned id) {
        try {
            for (size_t b = first_ + id; b <= last_; b += threads_) {
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return stop_ || b < next_ + 2 * threads_; });
                    if (stop_) return;
                }
                std::vector<std::string> texts = convert(b);
                std::lock_guard lock(mutex_);
                ready_.emplace(b, std::move(texts));
                changed_.notify_all();
            }
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
            stop_ = true;
            changed_.notify_all();
        }
    }

    const LucasLehmerCertificate& c_;
    const size_t from_, to_;
    const unsigned threads_;
    const size_t first_, last_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<size_t, std::vector<std::string>> ready_;
    size_t next_;             // the block the visitor waits for
    bool stop_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> pool_;
};

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
    BlockPipeline pipeline(*this, from, to, threads);
    for (size_t b = pipeline.first(); b <= pipeline.last(); ++b) {
        std::vector<std::string> texts;
        if (!pipeline.take(b, texts)) break;
        for (size_t i = 0; i < texts.size(); ++i) {
            const size_t r = b * kEvery + i;
            if (r >= from && r < to && !visit(r, texts[i])) {
                pipeline.finish();
                return;
            }
        }
    }
    pipeline.finish();
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

std::string CertificateFileName(int64_t p) { return "Mersenne" + std::to_string(p) + " certificate.txt"; }

bool WriteCertificateRows(const LucasLehmerCertificate& certificate,
                          const std::function<bool(std::string_view)>& write, Progress& progress,
                          const std::function<std::optional<std::string>(size_t)>& edited, unsigned threads) {
    const size_t rows = certificate.rows();
    bool written = true;
    std::string line;
    certificate.forEach(0, rows, [&](size_t r, const std::string& value) {
        line = std::to_string(r + 3) + "=";
        std::optional<std::string> own = edited ? edited(r) : std::nullopt;
        line += own ? *own : value;
        line += "\r\n";
        if (!write(line)) {
            written = false;
            return false;
        }
        if (r % 16 == 0) {
            progress.report((double)r / (double)rows, "Row " + std::to_string(r + 1) + " of " + std::to_string(rows));
            progress.check();
        }
        return true;
    }, threads);
    return written;
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
