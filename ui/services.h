// What a window needs of the rest of the program, as interfaces: the desktop, the runner, the
// settings store, the live settings (the options window's controls, read at the moment of
// use), the histories and the notebook. app/ provides them; tests provide fakes.
#pragma once

#include <QString>
#include <QStringList>

class Platform;
class Runner;
class SettingsStore;

// The options the tool windows read. Each call reads the control as it is now.
class LiveSettings {
public:
    virtual ~LiveSettings() = default;
    virtual bool digitFilter() const = 0;      // "Digit filter"
    virtual bool sortHistory() const = 0;      // "Sort the History"
    virtual bool autoImport() const = 0;       // "Auto import from the Tester"
    virtual bool historyEnabled() const = 0;   // "History enabled"
    virtual bool addFoundPrime() const = 0;    // "Add found prime to History"
    virtual bool autoExpand() const = 0;       // "Auto expand list"
    virtual bool showMessages() const = 0;     // "Show messages"
    virtual bool estimations() const = 0;      // "Estimations"
    virtual bool countTwins() const = 0;       // "Count Twin prime #s"
    virtual bool tabPages() const = 0;         // "Tabs" (true) or "Buttons" (false)
    virtual bool separateResults() const = 0;  // "Auto-separate results"
    virtual bool warnOnExit() const = 0;       // "Notify me before exit the program"
    // The testers' verdict texts: "if a prime number is found..." and "if not...".
    virtual QString primeText() const = 0;
    virtual QString compositeText() const = 0;
};

// The histories and the notebook of the options window, and the generic tester's history.
class Histories {
public:
    virtual ~Histories() = default;
    // Adds a found prime to the prime list when not already there (IsInList).
    virtual void addPrime(const QString& text) = 0;
    // A tester's verdict: to the prime or the composite list, when that list is switched on.
    virtual void recordVerdict(const QString& text, bool prime) = 0;
    // A report block for the notebook (with its Auto-refresh on, it replaces the rest).
    virtual void appendReport(const QStringList& lines) = 0;
    // The drop-down history of the generic tester's number box, in order.
    virtual QStringList testerHistory() const = 0;
};

// Everything a window is built with.
struct Services {
    Platform& platform;
    Runner& runner;
    SettingsStore& store;
    LiveSettings& settings;
    Histories& histories;
};
