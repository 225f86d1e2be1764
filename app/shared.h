// Values and helpers shared by the testers, the main window and the tool windows.
#pragma once

#include <QString>
#include <cstdint>

class QComboBox;
class QListWidget;

// Tests done since the program started, and the subject of the last one ("0" for none).
extern int32_t TestCounter;
extern QString LastTested;
// The program's directory, with a trailing separator.
extern QString ProgramDir;

// Whether the list holds an entry equal to text: whole entries, letters without regard to case.
bool IsInList(const QString& text, const QComboBox* box);
bool IsInList(const QString& text, const QListWidget* list);

// The keys a number box accepts while the digit filter is on: keypad digits, arrows,
// Backspace, Enter and Delete (Windows virtual-key codes).
bool IsAllowedKey(uint16_t key);

// Adds text to a history box: at the end, or at its place in alphabetical order when sorted.
void AddToHistory(QComboBox* box, const QString& text, bool sorted);
// Sorts a history box's items alphabetically (so 10 comes before 9), letters without case.
void SortHistory(QComboBox* box);
