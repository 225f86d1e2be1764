// The one door to the desktop: message boxes, dialogs, clipboard, printer, shell, clock,
// settings file and progress display. Windows receive a Platform&; tests pass a scripted fake.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class QKeyEvent;

inline const QString ApplicationTitle = QStringLiteral("Quendra ! 5");

struct FileDialogRequest {
    QString title;
    QString filter;            // "text files|*.txt"
    QString defaultExtension;  // "txt"
    QString proposedName;
};

// What a long command shows while it runs; the runner polls cancelRequested().
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void update(const QString& label, int percent, const QString& timeLeft) = 0;
    virtual bool cancelRequested() = 0;
    // The dialog's top-level widget, which alone takes input while the command runs.
    virtual QWidget* dialog() { return nullptr; }
};

class Platform {
public:
    virtual ~Platform() = default;

    // The application's general error box: the failure's own message, application title as caption.
    virtual void showError(const QString& message) = 0;
    // A plain message box with an OK button and the application title as caption.
    virtual void showMessage(const QString& text) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // Save dialog without an overwrite question; empty when cancelled.
    virtual std::optional<QString> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> openFileName(const FileDialogRequest& request) = 0;

    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // Prints lines on the default printer, without a dialog, continuing on further pages.
    // Throws std::runtime_error with the printing layer's message on failure.
    virtual void printLines(const QStringList& lines) = 0;
    // Opens the help file in the desktop's browser; false when nothing could open it.
    virtual bool openHelp(const QString& path) = 0;
    // Starts the desktop's calculator; false when none was found.
    virtual bool startCalculator() = 0;
    // The calculators looked for, as the not-found message names them.
    virtual QStringList calculatorNames() const;
    virtual void beep() = 0;

    virtual QDateTime now() = 0;
    // A steady clock in milliseconds for measuring durations (progress, time left).
    virtual qint64 monotonicMs();
    // Path of the settings file that stands for the per-user registry.
    virtual QString settingsPath() = 0;
    // Directory of the program file, with a trailing separator.
    virtual QString programDir() = 0;
    // The user's own data folder (XDG data home for this program), with a trailing separator;
    // what the program saves goes there when its own folder cannot be written.
    virtual QString userDataDir() = 0;
    // The user's documents folder, with a trailing separator: where a file goes that the
    // program would put into the current directory when that one cannot be written.
    virtual QString documentsDir() = 0;

    // Shown by the runner once a command has run for the given delay.
    virtual int progressDelayMs() { return 500; }
    virtual std::unique_ptr<ProgressView> showProgress(QWidget* owner, const QString& what) = 0;

    // The short date and long time texts of the locale.
    static QString dateTimeText(const QDateTime& moment);
    static QString longTimeText(const QTime& time);
};

// The Windows virtual-key code of a key event: keypad digits 96-105, main-row digits 48-57,
// arrows 37-40, Backspace 8, Enter 13, Delete 46, Tab 9, letters 65-90; 0 for anything else.
uint16_t VirtualKeyCode(const QKeyEvent& event);

// Shows the hourglass for its lifetime and puts the previous cursor back on every path.
class HourglassGuard {
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;
};
