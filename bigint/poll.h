// A way to stop or watch the library's long operations: the modular powers and the probable-
// prime test call the poll of their thread between steps (every few microseconds to a few
// milliseconds of work, whatever the size). A poll that throws ends the operation with its
// exception, the operands unchanged. Without a scope nothing is called.
#pragma once

#include <functional>

class BigPollScope {
public:
    // Installs `poll` for the calling thread until the scope ends; scopes nest.
    explicit BigPollScope(std::function<void()> poll);
    ~BigPollScope();
    BigPollScope(const BigPollScope&) = delete;
    BigPollScope& operator=(const BigPollScope&) = delete;

private:
    friend void BigPoll();
    std::function<void()> poll_;
    BigPollScope* outer_;
};

namespace bigpoll_detail {
extern constinit thread_local BigPollScope* current;
}

// Calls the innermost poll of this thread, if any: one load and a branch without a scope.
inline void BigPoll() {
    if (BigPollScope* scope = bigpoll_detail::current) scope->poll_();
}
