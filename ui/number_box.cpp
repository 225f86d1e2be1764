// Number boxes and history helpers shared by every window with a number field.
#include "ui/number_box.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QValidator>
#include <algorithm>

#include "platform/platform.h"

bool IsInList(const QString& text, const QComboBox* box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i).compare(text, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool IsInList(const QString& text, const QListWidget* list) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool IsAllowedKey(uint16_t key) {
    return (key >= 96 && key <= 105) || (key >= 37 && key <= 40) || key == 8 || key == 13 || key == 46;
}

void AddToHistory(QComboBox* box, const QString& text, bool sorted) {
    if (!sorted) {
        box->addItem(text);
        return;
    }
    int at = 0;
    while (at < box->count() && box->itemText(at).compare(text, Qt::CaseInsensitive) <= 0) ++at;
    box->insertItem(at, text);
}

QStringList HistoryItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

void SortHistory(QComboBox* box) {
    QStringList items = HistoryItems(box);
    std::stable_sort(items.begin(), items.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    const QString text = box->currentText();
    box->clear();
    box->addItems(items);
    box->setEditText(text);
}

namespace {

// Refuses typed text beyond a length; text set by the program (a paste) may be longer.
class LengthValidator : public QValidator {
public:
    LengthValidator(int max, QObject* parent) : QValidator(parent), max_(max) {}
    State validate(QString& input, int&) const override { return input.size() <= max_ ? Acceptable : Invalid; }

private:
    int max_;
};

// Watches key releases where they arrive (the line edit) and clears the box on a refused key.
class DigitFilter : public QObject {
public:
    DigitFilter(QObject* owner, std::function<void()> clear, std::function<bool()> enabled,
                std::function<void(uint16_t)> after)
        : QObject(owner), clear_(std::move(clear)), enabled_(std::move(enabled)), after_(std::move(after)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const uint16_t code = VirtualKeyCode(*key);
            if (enabled_ && enabled_() && !IsAllowedKey(code)) clear_();
            if (after_) after_(code);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> clear_;
    std::function<bool()> enabled_;
    std::function<void(uint16_t)> after_;
};

}  // namespace

QComboBox* MakeNumberBox(const char* name, int maxTyped, const QString& hint, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    box->setCompleter(nullptr);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setValidator(new LengthValidator(maxTyped, box));
    box->setToolTip(hint);
    return box;
}

void InstallDigitFilter(QComboBox* box, std::function<bool()> enabled, std::function<void(uint16_t)> after) {
    auto clear = [box] {
        box->clear();   // the drop-down history goes with the text
        box->clearEditText();
    };
    box->lineEdit()->installEventFilter(new DigitFilter(box, clear, std::move(enabled), std::move(after)));
}

void InstallDigitFilter(QLineEdit* edit, std::function<bool()> enabled, std::function<void(uint16_t)> after) {
    edit->installEventFilter(new DigitFilter(edit, [edit] { edit->clear(); }, std::move(enabled), std::move(after)));
}
