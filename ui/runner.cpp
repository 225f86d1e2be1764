// The runner for long commands.
#include "ui/runner.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <exception>
#include <thread>

#include "platform/platform.h"

namespace {

// While a command runs, user input and window activation reach only the progress dialog:
// events aimed at any other widget or window are dropped. The dialog's own window must get
// its input, since the window system delivers keys, clicks and the close box there first.
// Esc cancels the command wherever it is pressed, also before the dialog shows.
class InputGate : public QObject {
public:
    QWidget* dialog = nullptr;
    Progress* progress = nullptr;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            !belongsToDialog(watched) && progress)
            progress->cancel();
        switch (event->type()) {
        case QEvent::KeyPress: case QEvent::KeyRelease: case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick: case QEvent::Wheel:
        case QEvent::Shortcut: case QEvent::ShortcutOverride: case QEvent::Close:
        case QEvent::ContextMenu: case QEvent::TouchBegin: case QEvent::TabletPress:
        case QEvent::WindowActivate:
            return !belongsToDialog(watched);
        default:
            return false;
        }
    }

private:
    // The dialog, its child widgets, its window, and objects they own (the Esc short-cut).
    bool belongsToDialog(QObject* target) const {
        if (!dialog) return false;
        if (auto* w = qobject_cast<QWidget*>(target)) return w->window() == dialog;
        for (QObject* o = target; o; o = o->parent()) {
            if (o == dialog || o == dialog->windowHandle()) return true;
            if (auto* w = qobject_cast<QWidget*>(o)) return w->window() == dialog;
        }
        return false;
    }
};

// Joins the worker on every path out of run(), asking it to stop first when the path is a failure.
struct JoinOnExit {
    std::thread& worker;
    Progress& progress;
    ~JoinOnExit() {
        if (worker.joinable()) {
            progress.cancel();
            worker.join();
        }
    }
};

}  // namespace

Runner::Runner(Platform& platform) : platform_(platform) {}
Runner::~Runner() = default;

bool Runner::run(QWidget* owner, const QString& what, const std::function<void(Progress&)>& work) {
    HourglassGuard hourglass;
    Progress progress;
    std::exception_ptr error;
    bool cancelled = false;
    std::atomic<bool> done{false};
    QEventLoop loop;
    InputGate gate;
    gate.progress = &progress;
    qApp->installEventFilter(&gate);
    struct Ungate {
        InputGate& g;
        bool& busy;
        ~Ungate() {
            qApp->removeEventFilter(&g);
            busy = false;
        }
    } ungate{gate, busy_};
    busy_ = true;

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
    JoinOnExit joiner{worker, progress};

    const qint64 start = platform_.monotonicMs();
    std::unique_ptr<ProgressView> view;
    TimeLeftEstimator estimate;
    QTimer poll;
    poll.setInterval(50);
    const auto tick = [&] {
        const qint64 elapsed = platform_.monotonicMs() - start;
        if (!view && progress.cancelled()) return;   // cancelled before it showed: it never shows
        // The rate is measured from the start, so the dialog shows the time left as it appears.
        const double f = progress.fraction();
        estimate.add(elapsed, f);
        if (!view && elapsed >= platform_.progressDelayMs()) {
            view = platform_.showProgress(owner, what);
            gate.dialog = view->dialog();
        }
        if (!view) return;
        view->update(QString::fromStdString(progress.phase()), f < 0 ? -1 : (int)std::floor(f * 100),
                     estimate.text());
        if (view->cancelRequested()) progress.cancel();
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, tick);
    tick();   // with no delay the progress shows at once
    poll.start();
    if (!done) loop.exec();
    poll.stop();
    worker.join();
    gate.dialog = nullptr;
    view.reset();
    if (error) std::rethrow_exception(error);
    return !cancelled && !progress.cancelled();
}

void TimeLeftEstimator::add(qint64 ms, double fraction) {
    if (fraction < 0) {
        count_ = 0;
        return;
    }
    constexpr int cap = (int)(sizeof samples_ / sizeof samples_[0]);
    const int last = (first_ + count_ - 1) % cap;
    if (count_ > 0 && fraction < samples_[last].fraction) count_ = 0;   // a new phase restarts the rate
    if (count_ > 0 && ms - samples_[last].ms < 250) return;             // keep about 16 s of history
    if (count_ == cap) {
        first_ = (first_ + 1) % cap;
        --count_;
    }
    samples_[(first_ + count_) % cap] = {ms, fraction};
    ++count_;
}

QString TimeLeftEstimator::text() const {
    if (count_ < 2) return {};
    constexpr int cap = (int)(sizeof samples_ / sizeof samples_[0]);
    const Sample& a = samples_[first_];
    const Sample& b = samples_[(first_ + count_ - 1) % cap];
    const double df = b.fraction - a.fraction;
    if (df <= 0 || b.ms - a.ms < 400 || b.fraction >= 1) return {};
    const double seconds = (1 - b.fraction) * (double)(b.ms - a.ms) / df / 1000;
    const qint64 left = std::max<qint64>(1, (qint64)std::ceil(seconds));
    return QStringLiteral("%1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0'));
}

