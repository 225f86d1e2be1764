// Number boxes and history helpers shared by every window with a number field.
#include "ui/number_box.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
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

bool IsEnterPress(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
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

void KeepText(QComboBox* box, const std::function<void()>& change) {
    const QSignalBlocker quiet(box);
    const QString text = box->currentText();
    change();
    box->setEditText(text);
}

void EraseHistory(QComboBox* box) {
    KeepText(box, [box] { box->clear(); });
}

void ImportHistory(QComboBox* box, const QStringList& items, bool sorted) {
    KeepText(box, [&] {
        for (const QString& item : items) AddToHistory(box, item, sorted);
    });
}

QStringList HistoryItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QStringList ListItems(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
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
    void setLimit(int max) { max_ = max; }
    State validate(QString& input, int&) const override { return input.size() <= max_ ? Acceptable : Invalid; }
    int max() const { return max_; }

private:
    int max_;
};

// Watches key releases where they arrive (the line edit) and clears the box on a refused key.
class DigitFilter : public QObject {
public:
    DigitFilter(QObject* owner, std::function<void()> clear, std::function<bool()> enabled)
        : QObject(owner), clear_(std::move(clear)), enabled_(std::move(enabled)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease) {
            // A release the line edit ignores travels on to the combo box; clearing twice is harmless.
            const uint16_t code = VirtualKeyCode(*static_cast<QKeyEvent*>(event));
            if (enabled_ && enabled_() && !IsAllowedKey(code)) clear_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> clear_;
    std::function<bool()> enabled_;
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
    // The drop-down list is as wide as its longest entry, never eliding a number in the middle.
    // Entries arrive one at a time, so only the new rows are measured; a reset or a removal
    // (erasing a history) measures the list again.
    QAbstractItemView* list = box->view();
    list->setTextElideMode(Qt::ElideNone);
    auto widen = [list](int first, int last, int from) {
        const int extra = list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth() + 8;
        int width = from;
        for (int r = first; r <= last; ++r)
            width = std::max(width, list->sizeHintForIndex(list->model()->index(r, 0)).width() + extra);
        list->setMinimumWidth(width);
    };
    auto remeasure = [list, widen] { widen(0, list->model()->rowCount() - 1, 0); };
    QAbstractItemModel* model = box->model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, box,
                     [list, widen](const QModelIndex&, int first, int last) { widen(first, last, list->minimumWidth()); });
    QObject::connect(model, &QAbstractItemModel::dataChanged, box,
                     [list, widen](const QModelIndex& from, const QModelIndex& to) {
                         widen(from.row(), to.row(), list->minimumWidth());
                     });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, box, remeasure);
    QObject::connect(model, &QAbstractItemModel::modelReset, box, remeasure);
    return box;
}

void SetTypedLengthLimit(QComboBox* box, int maxTyped) {
    if (auto* limit = dynamic_cast<LengthValidator*>(const_cast<QValidator*>(box->lineEdit()->validator())))
        limit->setLimit(maxTyped);
}

int TypedLimit(const QLineEdit* edit) {
    int limit = edit->maxLength();
    if (const auto* v = dynamic_cast<const LengthValidator*>(edit->validator())) limit = std::min(limit, v->max());
    return limit;
}

QString TooLongPasteMessage(int limit) {
    return QStringLiteral("The text on the clipboard is too long for this box, which takes at most %1 characters: "
                          "nothing was pasted.").arg(limit);
}

namespace {

// Pastes into a line edit only what fits its limit as a whole.
class PasteGuard : public QObject {
public:
    PasteGuard(QLineEdit* edit, Platform& platform) : QObject(edit), edit_(edit), platform_(platform) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_) return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
            paste();
            return true;
        }
        if (event->type() == QEvent::ContextMenu) {
            // The line edit's own menu, with its Paste going through the check.
            QMenu* menu = edit_->createStandardContextMenu();
            for (QAction* a : menu->actions())
                if (a->objectName() == QLatin1String("edit-paste") || a->text().startsWith(QLineEdit::tr("&Paste"))) {
                    QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
                    a->setEnabled(!edit_->isReadOnly() && !platform_.clipboardText().isEmpty());
                    connect(a, &QAction::triggered, this, [this] { paste(); });
                }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void paste() {
        if (edit_->isReadOnly()) return;
        const QString clip = platform_.clipboardText();
        QString result = edit_->text();
        if (edit_->hasSelectedText()) result.replace(edit_->selectionStart(), edit_->selectedText().size(), clip);
        else result.insert(edit_->cursorPosition(), clip);
        const int limit = TypedLimit(edit_);
        if (result.size() > limit) {
            platform_.showMessage(TooLongPasteMessage(limit));
            return;
        }
        edit_->insert(clip);
    }

    QLineEdit* edit_;
    Platform& platform_;
};

}  // namespace

void GuardPaste(QComboBox* box, Platform& platform) {
    box->lineEdit()->installEventFilter(new PasteGuard(box->lineEdit(), platform));
}

void InstallDigitFilter(QComboBox* box, std::function<bool()> enabled) {
    auto clear = [box] {
        box->clear();   // the drop-down history goes with the text
        box->clearEditText();
    };
    // Key releases arrive at the line edit or at the box, depending on where the focus sits.
    auto* filter = new DigitFilter(box, clear, std::move(enabled));
    box->installEventFilter(filter);
    box->lineEdit()->installEventFilter(filter);
}

namespace {

// Turns down the line edit's claim on keys that a command of the window's menu has: Ctrl+V
// runs the menu's Paste, and Ctrl+E, Ctrl+D, Ctrl+H (which a line edit on X11 takes for
// moving and deleting) open their tools.
class MenuKeysToMenu : public QObject {
public:
    MenuKeysToMenu(QComboBox* box) : QObject(box), box_(box) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QKeySequence pressed(key->keyCombination());
            for (const QAction* action : box_->window()->findChildren<QAction*>())
                if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                    key->ignore();
                    return true;
                }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox* box_;
};

}  // namespace

void LeaveMenuKeysToMenu(QComboBox* box) {
    auto* filter = new MenuKeysToMenu(box);
    box->installEventFilter(filter);
    box->lineEdit()->installEventFilter(filter);
}

void InstallDigitFilter(QLineEdit* edit, std::function<bool()> enabled) {
    edit->installEventFilter(new DigitFilter(edit, [edit] { edit->clear(); }, std::move(enabled)));
}
