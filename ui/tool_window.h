// What every tool window shares, attached to the window instead of written into it: Enter
// presses the default button, a command button's hint follows the fields, the number boxes'
// histories follow the options when the window is activated, and the window's stored values
// are read before it opens and written when it is hidden.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <vector>

class QComboBox;
class QWidget;
class SettingsStore;
struct Services;

// Each piece below calls back into the window only while the window is whole: once its own
// destructor has run, Qt still hides it and deletes its controls, and the events that come of
// that (a hide, a pointer entering a button) are passed over. The window needs Q_OBJECT.

// Enter (main or keypad) anywhere in the window presses its default button: the push button
// marked default at that moment, when it is enabled. The window's line edits, those of its
// number boxes included, hand the key over at once: one press, one command.
void EnterPressesDefault(QWidget* window);

// Each time the window is shown it becomes the active window with the keyboard focus in
// `field`, so that typing right after opening it lands there.
void FocusOnShow(QWidget* window, QWidget* field);

// Calls update() when the pointer enters or moves over the widget and before its tool tip is
// shown: the hint of a command button that names what the button would do now.
void OnHover(QWidget* widget, std::function<void()> update);

// The number boxes of a window, with their drop-down histories. Each activation of the window
// gives the first box the focus and, with "Sort the History" on, puts every box's list in order
// (the texts stay, without change signals). New entries then take their place in that order.
class HistoryBoxes : public QObject {
public:
    HistoryBoxes(QWidget* window, Services& services, std::initializer_list<QComboBox*> boxes);

    bool sorted() const { return sorted_; }
    // Adds the text to the box's history (in order when sorted).
    void add(QComboBox* box, const QString& text) const;
    // Imports the generic tester's history into the box.
    void importTesterHistory(QComboBox* box) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activated();

    QWidget* window_;
    const QMetaObject* type_;   // the window's own type, while it is whole
    Services& services_;
    std::vector<QComboBox*> boxes_;
    bool sorted_ = false;
};

// The values a window keeps in the settings key. read runs in one reading session (`key` is
// false when the key does not exist); write in one writing session each time the window is
// really hidden (closed, not minimised). A failure shows the error box.
class StoredValues : public QObject {
public:
    using Read = std::function<void(SettingsStore& store, bool key)>;
    using Write = std::function<void(SettingsStore& store)>;
    StoredValues(QWidget* window, Services& services, Read read, Write write);

    // Reads the values; false when a read failed (the error was shown).
    bool read();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void write();

    QWidget* window_;
    const QMetaObject* type_;
    Services& services_;
    Read read_;
    Write write_;
};
