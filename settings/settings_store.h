// The settings key "\Software\Velorin\Quendra 4\Setup": typed reads and writes of its values.
// No cache: windows read and write it at fixed moments; their controls are the live settings.
#pragma once

#include <QMap>
#include <QString>
#include <stdexcept>

#include "platform/registry_file.h"

inline const QString SettingsKeyPath = QStringLiteral("\\Software\\Velorin\\Quendra 4\\Setup");

class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SettingsStore {
public:
    explicit SettingsStore(const QString& filePath);

    bool keyExists() const;
    // Opens the key; without create, false when it does not exist. Each access opens afresh.
    bool open(bool create);
    void close();
    bool valueExists(const QString& name) const;
    // Throw SettingsError "Invalid data type for 'name'" for a value of another type.
    bool readBool(const QString& name) const;
    qint32 readInteger(const QString& name) const;
    QString readText(const QString& name) const;
    // Throw SettingsError "Failed to set data for 'name'" when the store refuses the write.
    void writeBool(const QString& name, bool value);
    void writeInteger(const QString& name, qint32 value);
    void writeText(const QString& name, const QString& value);

private:
    const RegistryValue& typed(const QString& name, RegistryValue::Type type) const;
    void write(const QString& name, const RegistryValue& value);

    RegistryFile file_;
    QMap<QString, RegistryValue> values_;
    bool open_ = false;
};
