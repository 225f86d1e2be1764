// The settings key "\Software\Velorin\Quendra 4\Setup": typed reads and writes of its values.
// No cache: windows read and write it at fixed moments; their controls are the live settings.
#pragma once

#include <QMap>
#include <QString>
#include "core/failure.h"
#include "platform/registry_file.h"

inline const QString SettingsKeyPath = QStringLiteral("\\Software\\Velorin\\Quendra 4\\Setup");

class SettingsError : public Failure {
public:
    using Failure::Failure;
};

class SettingsStore {
public:
    explicit SettingsStore(const QString& filePath);

    bool keyExists() const;
    // Opens the key; without create, false when it does not exist; with create, the key is made
    // when missing (false when it cannot be). Each access opens afresh and sees the file as it is.
    bool open(bool create);
    void close();
    bool valueExists(const QString& name) const;
    // Throw SettingsError "Invalid data type for 'name'" for a value of another type (or none).
    // Value names are case-insensitive, as in the registry.
    bool readBool(const QString& name) const;
    qint32 readInteger(const QString& name) const;
    QString readText(const QString& name) const;
    // Each write goes to the file at once and rewrites that value only: values of other types
    // and lines the store cannot read stay in the file as they were.
    // Throw SettingsError "Failed to set data for 'name'" when the store refuses the write.
    void writeBool(const QString& name, bool value);
    void writeInteger(const QString& name, qint32 value);
    void writeText(const QString& name, const QString& value);

private:
    const RegistryValue& typed(const QString& name, RegistryValue::Type type) const;
    void write(const QString& name, const RegistryValue& value);

    RegistryFile file_;
    QMap<QString, RegistryValue> values_;   // by case-folded name, from the last open
    bool open_ = false;
};

// One group of reads or writes: opens the key (creating it when asked) for its lifetime and
// closes it again on every path, failures included.
class StoreSession {
public:
    StoreSession(SettingsStore& store, bool create) : store_(store), open_(store.open(create)) {}
    ~StoreSession() { store_.close(); }
    StoreSession(const StoreSession&) = delete;
    StoreSession& operator=(const StoreSession&) = delete;
    // False when the key does not exist (and was not to be created).
    bool isOpen() const { return open_; }

private:
    SettingsStore& store_;
    bool open_;
};
