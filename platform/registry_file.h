// A per-user registry key kept in a text file, in the registry-export format, so that number
// (dword:) and string values keep their types. Saving is atomic: temporary file, then rename.
#pragma once

#include <QMap>
#include <QString>

struct RegistryValue {
    enum Type { Dword, String, Other } type = Other;
    quint32 number = 0;
    QString text;
};

class RegistryFile {
public:
    RegistryFile(QString path, QString keyPath);
    // Whether the file holds the key. A missing, unreadable or corrupt file holds nothing.
    bool keyExists() const;
    // Values of the key; lines that cannot be read are skipped.
    QMap<QString, RegistryValue> load() const;
    // Writes the key with these values; false when the file cannot be written.
    bool save(const QMap<QString, RegistryValue>& values) const;

private:
    QString path_, keyPath_;
};
