// How work says that it could not do what was asked: one exception type, whose message is the
// one the user reads. The window's guard shows it; nothing else catches it.
#pragma once

#include <stdexcept>
#include <string>

class Failure : public std::runtime_error {
public:
    // An error goes to the general error box; a notice (a refusal within the program's own
    // limits, "may not exceed 200 characters") to a plain message box.
    enum class Kind { Error, Notice };

    explicit Failure(const std::string& message, Kind kind = Kind::Error)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const noexcept { return kind_; }

private:
    Kind kind_;
};
