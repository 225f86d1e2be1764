// Typed access to the settings key.
#include "settings/settings_store.h"

SettingsStore::SettingsStore(const QString& filePath) : file_(filePath, SettingsKeyPath) {}

bool SettingsStore::keyExists() const { return file_.keyExists(); }

bool SettingsStore::open(bool create) {
    values_.clear();
    open_ = false;
    if (create ? !file_.createKey() : !file_.keyExists()) return false;
    values_ = file_.load();
    open_ = true;
    return true;
}

void SettingsStore::close() {
    values_.clear();
    open_ = false;
}

bool SettingsStore::valueExists(const QString& name) const { return open_ && values_.contains(name.toCaseFolded()); }

const RegistryValue& SettingsStore::typed(const QString& name, RegistryValue::Type type) const {
    auto it = values_.constFind(name.toCaseFolded());
    if (it == values_.cend() || it->type != type)
        throw SettingsError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
    return *it;
}

bool SettingsStore::readBool(const QString& name) const { return typed(name, RegistryValue::Dword).number != 0; }

qint32 SettingsStore::readInteger(const QString& name) const {
    return (qint32)typed(name, RegistryValue::Dword).number;
}

QString SettingsStore::readText(const QString& name) const { return typed(name, RegistryValue::String).text; }

void SettingsStore::write(const QString& name, const RegistryValue& value) {
    // Written through at once, so a refused write names its value.
    if (!file_.setValue(name, value))
        throw SettingsError(QStringLiteral("Failed to set data for '%1'").arg(name).toStdString());
    if (open_) values_.insert(name.toCaseFolded(), value);
}

void SettingsStore::writeBool(const QString& name, bool value) {
    write(name, RegistryValue{RegistryValue::Dword, value ? 1u : 0u, {}});
}

void SettingsStore::writeInteger(const QString& name, qint32 value) {
    write(name, RegistryValue{RegistryValue::Dword, (quint32)value, {}});
}

void SettingsStore::writeText(const QString& name, const QString& value) {
    write(name, RegistryValue{RegistryValue::String, 0, value});
}
