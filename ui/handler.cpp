// Guarded handlers: every failure reaches its box after the closing steps.
#include "ui/handler.h"

#include <exception>
#include <optional>

#include "core/failure.h"
#include "platform/platform.h"

namespace {

struct Shown {
    QString text;
    bool notice = false;
};

// Runs one step; the failure it throws, if any, as the box would show it.
std::optional<Shown> attempt(const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& f) {
        return Shown{QString::fromUtf8(f.what()), f.kind() == Failure::Kind::Notice};
    } catch (const std::exception& e) {
        return Shown{QString::fromUtf8(e.what())};
    } catch (...) {   // the guard is the last stop of every handler: nothing passes it
        return Shown{QStringLiteral("Unknown error")};
    }
    return std::nullopt;
}

}  // namespace

void Guarded(Platform& platform, const Handler& handler) {
    Closing closing;
    std::optional<Shown> failure = attempt([&] { handler(closing); });
    const std::optional<Shown> closingFailure = attempt([&] { closing.run(); });
    if (!failure) failure = closingFailure;
    if (!failure) return;
    if (failure->notice) platform.showMessage(failure->text);
    else platform.showError(failure->text);
}

void OnClick(QAbstractButton* button, Platform& platform, Handler handler) {
    OnSignal(button, &QAbstractButton::clicked, platform, std::move(handler));
}

void OnTrigger(QAction* action, Platform& platform, Handler handler) {
    OnSignal(action, &QAction::triggered, platform, std::move(handler));
}
