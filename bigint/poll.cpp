#include "bigint/poll.h"

#include <utility>

namespace bigpoll_detail {
constinit thread_local BigPollScope* current = nullptr;
}

BigPollScope::BigPollScope(std::function<void()> poll) : poll_(std::move(poll)), outer_(bigpoll_detail::current) {
    bigpoll_detail::current = this;
}

BigPollScope::~BigPollScope() { bigpoll_detail::current = outer_; }
