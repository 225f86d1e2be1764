// Number boxes: editable combo boxes with a drop-down history, a limit on typed length and
// the digit filter; and the list helpers every history uses.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QWidget;

// Whether the list holds an entry equal to text: whole entries, letters without regard to case.
bool IsInList(const QString& text, const QComboBox* box);
bool IsInList(const QString& text, const QListWidget* list);

class QEvent;

// Whether the event is a press of Enter (main or keypad): the tool windows' "run" key.
bool IsEnterPress(const QEvent* event);

// The keys a number box accepts while the digit filter is on: keypad digits, arrows,
// Backspace, Enter and Delete (Windows virtual-key codes).
bool IsAllowedKey(uint16_t key);

// Adds text to a history box: at the end, or at its place in alphabetical order when sorted.
void AddToHistory(QComboBox* box, const QString& text, bool sorted);
// Sorts a history box's items alphabetically (so 10 comes before 9), letters without case.
void SortHistory(QComboBox* box);
// Runs a change of the box's list (items added to an empty box would take over its text) and
// puts the box's text back, without change signals: the field keeps what it shows.
void KeepText(QComboBox* box, const std::function<void()>& change);
// The history buttons every number box has: erase its history, import another one.
void EraseHistory(QComboBox* box);
void ImportHistory(QComboBox* box, const QStringList& items, bool sorted);
// The items of a history box, or the lines of a list, in order.
QStringList HistoryItems(const QComboBox* box);
QStringList ListItems(const QListWidget* list);

// An editable combo box named `name` that refuses typed text beyond maxTyped characters
// (text the program sets may be longer; GuardPaste checks pastes), with no auto-completion.
QComboBox* MakeNumberBox(const char* name, int maxTyped, const QString& hint, QWidget* parent);
// Changes the typing limit of a box MakeNumberBox made; a longer text already in it stays.
void SetTypedLengthLimit(QComboBox* box, int maxTyped);

class Platform;

// The longest text a box takes from typing or a paste: its typing limit, or its line edit's
// maximum length when that is smaller.
int TypedLimit(const QLineEdit* edit);
// The message that refuses a paste longer than a box's limit.
QString TooLongPasteMessage(int limit);
// A paste into the box (Ctrl+V, Shift+Insert, the Paste of its context menu) that would make
// its text longer than its limit leaves the box as it was and says why in a message; a paste
// that fits goes in as usual. The clipboard is read through the platform.
void GuardPaste(QComboBox* box, Platform& platform);

// The digit filter: on the release of a key inside the box (its line edit, where key events
// really arrive), when enabled() and IsAllowedKey refuses the key, the box's text and its
// whole drop-down history are cleared.
void InstallDigitFilter(QComboBox* box, std::function<bool()> enabled);
// The digit filter of a plain line edit: a refused key clears its text.
void InstallDigitFilter(QLineEdit* edit, std::function<bool()> enabled);
// The box leaves the short-cuts of its window's menu commands (Ctrl+X, Ctrl+C, Ctrl+V, and
// keys a line edit would take for editing, such as Ctrl+E) to the menu.
void LeaveMenuKeysToMenu(QComboBox* box);
