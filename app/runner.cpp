// The runner for long commands.
#include "app/runner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <thread>

#include "platform/platform.h"

void Progress::report(double fraction, const QString& label) {
    std::lock_guard lock(mutex_);
    fraction_ = fraction;
    if (!label.isEmpty()) label_ = label;
}

double Progress::fraction() const {
    std::lock_guard lock(mutex_);
    return fraction_;
}

QString Progress::label() const {
    std::lock_guard lock(mutex_);
    return label_;
}

namespace {

// Swallows user input to every window but the progress dialog while work runs.
class InputBlocker : public QObject {
public:
    QWidget* allowed = nullptr;
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick: case QEvent::Wheel:
        case QEvent::Shortcut: case QEvent::ShortcutOverride: case QEvent::Close: {
            auto* w = qobject_cast<QWidget*>(watched);
            if (allowed && w && (w == allowed || allowed->isAncestorOf(w))) return false;
            return true;
        }
        default:
            return false;
        }
    }
};

QString timeLeftText(qint64 elapsedMs, double fraction) {
    if (fraction <= 0.01 || fraction >= 1) return {};
    const qint64 left = (qint64)((double)elapsedMs * (1 - fraction) / fraction / 1000);
    return QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

bool Runner::run(QWidget* owner, const QString& what, const std::function<void(Progress&)>& work) {
    HourglassGuard hourglass;
    Progress progress;
    std::exception_ptr error;
    bool cancelled = false;
    QEventLoop loop;
    std::atomic<bool> done{false};
    InputBlocker blocker;
    qApp->installEventFilter(&blocker);

    std::thread worker([&] {
        try {
            work(progress);
        } catch (const Cancelled&) {
            cancelled = true;
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<ProgressView> view;
    QTimer poll;
    poll.setInterval(50);
    const auto tick = [&] {
        if (!view && clock.elapsed() >= platform_.progressDelayMs()) {
            view = platform_.showProgress(owner, what);
            if (auto* w = qobject_cast<QWidget*>(QApplication::activeModalWidget())) blocker.allowed = w;
        }
        if (!view) return;
        const double f = progress.fraction();
        view->update(progress.label(), f < 0 ? -1 : (int)(f * 100), timeLeftText(clock.elapsed(), f));
        if (view->cancelRequested()) progress.cancel();
    };
    QObject::connect(&poll, &QTimer::timeout, tick);
    tick();   // without a delay the progress shows at once
    poll.start();
    if (!done) loop.exec();
    worker.join();
    poll.stop();
    view.reset();
    qApp->removeEventFilter(&blocker);
    if (error) std::rethrow_exception(error);
    return !cancelled && !progress.cancelled();
}
