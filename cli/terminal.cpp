#include "cli/terminal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

namespace cli {

namespace {

using Clock = std::chrono::steady_clock;

std::mutex ioMutex;   // output, the progress line and the partial file's name
std::string outBuffer;
Clock::time_point lastFlush = Clock::now();
int stdoutTerminal = -1;
bool lineShown = false;   // a progress line stands on the terminal

Progress progress;
std::atomic<int64_t> workStart{0};   // steady clock in ms; 0 while no work runs
volatile sig_atomic_t interrupted = 0;
std::atomic<int64_t> interruptedAt{0};
char partialFile[4096] = {0};   // read by the watcher when it ends the process

int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE) _exit(141);   // the reader has gone, as for any filter
            return;
        }
        data += n;
        size -= (size_t)n;
    }
}

void wipeLineLocked() {
    if (!lineShown) return;
    writeAll(2, "\r\033[K", 4);
    lineShown = false;
}

void flushLocked() {
    if (!outBuffer.empty()) {
        writeAll(1, outBuffer.data(), outBuffer.size());
        outBuffer.clear();
    }
    lastFlush = Clock::now();
}

void onInterrupt(int) {
    interrupted = 1;
    progress.cancel();   // a relaxed atomic store: safe in a signal handler
}

std::string durationText(double seconds) {
    const long s = (long)std::ceil(seconds);
    char text[32];
    if (s >= 3600) std::snprintf(text, sizeof text, "%ldh%02ldm", s / 3600, s / 60 % 60);
    else if (s >= 60) std::snprintf(text, sizeof text, "%ldm%02lds", s / 60, s % 60);
    else std::snprintf(text, sizeof text, "%lds", s);
    return text;
}

void watch() {
    const bool terminal = ::isatty(2);
    int64_t lastDrawn = 0;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const int64_t now = nowMs();
        {
            // Results gathered before a long piece of work do not wait for its end.
            std::lock_guard lock(ioMutex);
            if (!outBuffer.empty() && Clock::now() - lastFlush >= std::chrono::milliseconds(20)) {
                wipeLineLocked();
                flushLocked();
            }
        }
        if (interrupted) {
            int64_t expected = 0;
            interruptedAt.compare_exchange_strong(expected, now);
            // The engines poll every 50 ms of work; one that does not stop is ended here.
            if (now - interruptedAt.load() > 900) {
                if (partialFile[0]) ::unlink(partialFile);
                _exit(130);
            }
            continue;
        }
        const int64_t start = workStart.load();
        if (!terminal || start == 0 || now - start < 500 || now - lastDrawn < 100) continue;
        lastDrawn = now;
        const double fraction = progress.fraction();
        std::string phase = progress.phase();
        if (phase == " ") phase.clear();
        std::string line = "\r" + phase;
        if (fraction >= 0 && fraction <= 1) {
            char percent[16];
            std::snprintf(percent, sizeof percent, "%s%3d%%", line.size() > 1 ? "  " : "", (int)(fraction * 100));
            line += percent;
            if (fraction > 0.01) line += "  " + durationText((double)(now - start) / 1000 * (1 - fraction) / fraction) + " left";
        } else {
            line += (line.size() > 1 ? "  " : "") + durationText((double)(now - start) / 1000);
        }
        line += "\033[K";
        std::lock_guard lock(ioMutex);
        if (workStart.load() == 0) continue;
        writeAll(2, line.data(), line.size());
        lineShown = true;
    }
}

}  // namespace

void WriteLine(std::string_view line) {
    std::lock_guard lock(ioMutex);
    if (stdoutTerminal < 0) stdoutTerminal = ::isatty(1);
    outBuffer.append(line);
    outBuffer.push_back('\n');
    if (stdoutTerminal || outBuffer.size() >= (1 << 16) || Clock::now() - lastFlush >= std::chrono::milliseconds(20)) {
        wipeLineLocked();
        flushLocked();
    }
}

void FlushOutput() {
    std::lock_guard lock(ioMutex);
    flushLocked();
}

void WriteError(std::string_view line) {
    std::lock_guard lock(ioMutex);
    wipeLineLocked();
    flushLocked();   // the message stands after the results before it
    std::string text(line);
    text.push_back('\n');
    writeAll(2, text.data(), text.size());
}

Progress& CurrentProgress() { return progress; }

void StartWatch() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;   // a second Ctrl-C ends the process at once
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    std::thread(watch).detach();
}

void WorkStarted() {
    progress.report(-1, " ");
    workStart.store(nowMs());
}

void WorkEnded() {
    workStart.store(0);
    std::lock_guard lock(ioMutex);
    wipeLineLocked();
}

void SetPartialFile(const std::string& path) {
    std::lock_guard lock(ioMutex);
    std::snprintf(partialFile, sizeof partialFile, "%s", path.c_str());
}

bool LineReader::fill() {
    if (at_ > 0) {
        buffer_.erase(0, at_);
        at_ = 0;
    }
    FlushOutput();   // whoever reads our results sees them before we wait
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(0, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR && !interrupted) continue;
        if (n <= 0) {
            end_ = true;
            return false;
        }
        buffer_.append(chunk, (size_t)n);
        return true;
    }
}

bool LineReader::next(std::string& line) {
    for (;;) {
        if (interrupted) return false;
        size_t stop = buffer_.find('\n', at_);
        if (stop == std::string::npos) {
            if (!end_ && fill()) continue;
            if (at_ >= buffer_.size()) return false;
            stop = buffer_.size();   // a last line without its end
        }
        std::string_view text(buffer_.data() + at_, stop - at_);
        at_ = std::min(stop + 1, buffer_.size());
        while (!text.empty() && std::strchr(" \t\r\f\v", text.front())) text.remove_prefix(1);
        while (!text.empty() && std::strchr(" \t\r\f\v", text.back())) text.remove_suffix(1);
        if (text.empty()) continue;
        line.assign(text);
        return true;
    }
}

bool Interrupted() { return interrupted != 0; }

}  // namespace cli
