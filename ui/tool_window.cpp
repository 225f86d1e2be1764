// The shared behaviour of the tool windows.
#include "ui/tool_window.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWidget>

#include "settings/settings_store.h"
#include "ui/handler.h"
#include "ui/number_box.h"
#include "ui/services.h"

namespace {

// Whether the window is still of the type it was built as: false once the destructor of its
// own class has run (a virtual call made from the destructor of a base answers for the base).
bool Whole(const QWidget* window, const QMetaObject* type) { return window->metaObject() == type; }

// Presses the window's default button on Enter, wherever the key arrives.
class EnterFilter : public QObject {
public:
    explicit EnterFilter(QWidget* window) : QObject(window), window_(window), type_(window->metaObject()) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsEnterPress(event) || !Whole(window_, type_)) return QObject::eventFilter(watched, event);
        for (QPushButton* button : window_->findChildren<QPushButton*>())
            if (button->isDefault()) {
                if (button->isEnabled()) button->click();
                return true;
            }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* window_;
    const QMetaObject* type_;
};

// Calls its update on the events that come before a hint is read.
class HoverFilter : public QObject {
public:
    HoverFilter(QWidget* widget, std::function<void()> update)
        : QObject(widget), window_(widget->window()), type_(window_->metaObject()), update_(std::move(update)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if ((t == QEvent::MouseMove || t == QEvent::Enter || t == QEvent::ToolTip) && Whole(window_, type_)) update_();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* window_;
    const QMetaObject* type_;
    std::function<void()> update_;
};

}  // namespace

void EnterPressesDefault(QWidget* window) {
    auto* filter = new EnterFilter(window);
    window->installEventFilter(filter);
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) edit->installEventFilter(filter);
}

namespace {

class ShowFocus : public QObject {
public:
    ShowFocus(QWidget* window, QWidget* field) : QObject(window), window_(window), field_(field) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous()) {
            window_->activateWindow();
            field_->setFocus(Qt::ActiveWindowFocusReason);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* window_;
    QWidget* field_;
};

}  // namespace

void FocusOnShow(QWidget* window, QWidget* field) { window->installEventFilter(new ShowFocus(window, field)); }

void OnHover(QWidget* widget, std::function<void()> update) {
    widget->setMouseTracking(true);
    widget->installEventFilter(new HoverFilter(widget, std::move(update)));
}

HistoryBoxes::HistoryBoxes(QWidget* window, Services& services, std::initializer_list<QComboBox*> boxes)
    : QObject(window), window_(window), type_(window->metaObject()), services_(services), boxes_(boxes) {
    window->installEventFilter(this);
}

bool HistoryBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && Whole(window_, type_))
        Guarded(services_.platform, [this] { activated(); });
    return QObject::eventFilter(watched, event);
}

void HistoryBoxes::activated() {
    boxes_.front()->setFocus();
    sorted_ = services_.settings.sortHistory();
    if (!sorted_) return;
    for (QComboBox* box : boxes_) {
        const QSignalBlocker quiet(box);
        SortHistory(box);
    }
}

void HistoryBoxes::add(QComboBox* box, const QString& text) const { ImportHistory(box, {text}, sorted_); }

void HistoryBoxes::importTesterHistory(QComboBox* box) const {
    ImportHistory(box, services_.histories.testerHistory(), sorted_);
}

StoredValues::StoredValues(QWidget* window, Services& services, Read read, Write write)
    : QObject(window), window_(window), type_(window->metaObject()), services_(services), read_(std::move(read)),
      write_(std::move(write)) {
    window->installEventFilter(this);
}

bool StoredValues::read() {
    bool done = false;
    Guarded(services_.platform, [this, &done] {
        const StoreSession session(services_.store, false);
        read_(services_.store, session.isOpen());
        done = true;
    });
    return done;
}

void StoredValues::write() {
    Guarded(services_.platform, [this] {
        const StoreSession session(services_.store, true);
        write_(services_.store);
    });
}

bool StoredValues::eventFilter(QObject* watched, QEvent* event) {
    // Minimising hides the window too, but only a real hide (closing included) stores the values.
    if (event->type() == QEvent::Hide && !event->spontaneous() && Whole(window_, type_)) write();
    return QObject::eventFilter(watched, event);
}
