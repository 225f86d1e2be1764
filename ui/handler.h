// The one way windows attach their handlers: the guard. A failure inside reaches the general
// error box (a notice, a plain message box) after the handler's closing steps have run.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <concepts>
#include <functional>

class Platform;

// The closing steps of a handler: the body sets them as soon as it knows them, and they run
// after the body on every path, a failure included, before the failure is shown. A body that
// must skip them (a cancelled run) clears them.
class Closing {
public:
    Closing& operator=(std::function<void()> steps) {
        steps_ = std::move(steps);
        return *this;
    }
    void clear() { steps_ = nullptr; }
    void run() const {
        if (steps_) steps_();
    }

private:
    std::function<void()> steps_;
};

// A handler body, with closing steps (void(Closing&)) or without (void()).
class Handler {
public:
    template <typename F>
        requires std::invocable<F&, Closing&>
    Handler(F body) : body_(std::move(body)) {}
    template <typename F>
        requires(std::invocable<F&> && !std::invocable<F&, Closing&>)
    Handler(F body) : body_([body = std::move(body)](Closing&) mutable { body(); }) {}

    void operator()(Closing& closing) const { body_(closing); }

private:
    std::function<void(Closing&)> body_;
};

// Runs a handler under the guard: a Failure shows its message (an error in the error box, a
// notice in a message box), any other exception the error box, after the closing steps.
void Guarded(Platform& platform, const Handler& handler);

// Attaches a guarded handler to a button's click, an action's trigger, or any other signal
// (the signal's arguments are not passed on: the handler reads the controls).
void OnClick(QAbstractButton* button, Platform& platform, Handler handler);
void OnTrigger(QAction* action, Platform& platform, Handler handler);
template <typename Sender, typename Signal>
void OnSignal(Sender* sender, Signal signal, Platform& platform, Handler handler) {
    QObject::connect(sender, signal, sender, [&platform, handler = std::move(handler)] { Guarded(platform, handler); });
}
