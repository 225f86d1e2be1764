// What a window needs of the rest of the program, as interfaces: the live settings (the
// options window's controls, read at the moment of use), the histories and the notebook,
// and the registry of the program-wide windows. app/ provides them; tests provide fakes.
#pragma once

#include <QString>
#include <QStringList>

class Platform;
class Runner;
class SettingsStore;
class QWidget;

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
    virtual void setCountTwins(bool on) = 0;   // the search engine unchecks it itself
    virtual bool tabPages() const = 0;         // "Tabs" (true) or "Buttons" (false)
};

// The histories and the notebook of the options window, and the generic tester's history.
class Histories {
public:
    virtual ~Histories() = default;
    // Adds to PrimeHistory / CompositeHistory when not already there (IsInList).
    virtual void addPrime(const QString& text) = 0;
    virtual void addComposite(const QString& text) = 0;
    virtual void appendNotebook(const QStringList& lines) = 0;
    // The drop-down history of the generic tester's number box, in order.
    virtual QStringList testerHistory() const = 0;
};

// The program-wide windows by their object names ("SearchForm", "DivForm", ...).
class WindowRegistry {
public:
    virtual ~WindowRegistry() = default;
    virtual QWidget* window(const QString& name) const = 0;
    bool isVisible(const QString& name) const;
};

// Everything a tool window is built with.
struct Services {
    Platform& platform;
    Runner& runner;
    SettingsStore& store;
    LiveSettings& settings;
    Histories& histories;
    WindowRegistry& windows;
};
