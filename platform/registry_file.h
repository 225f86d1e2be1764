// A per-user registry key kept in a text file in the registry-export format ("Name"=dword:...,
// "Name"="text", "Name"=hex(...):...). Writing a value rewrites that value's line only: every
// other line of the file (other keys, comments, values of types the program never writes, lines
// it cannot read) stays byte for byte as it was. Saving is atomic: temporary file, then rename.
#pragma once

#include <QMap>
#include <QString>

struct RegistryValue {
    // Dword: REG_DWORD ("dword:" or "hex(4):" with four bytes). String: REG_SZ ("..." or
    // "hex(1):"). Other: any other type, or data that cannot be read as its type says.
    enum Type { Dword, String, Other } type = Other;
    quint32 number = 0;
    QString text;
};

class RegistryFile {
public:
    RegistryFile(QString path, QString keyPath);
    // Whether the file holds the key. A missing or unreadable file holds nothing.
    bool keyExists() const;
    // Adds the key's header when the file lacks it; false when the file cannot be written.
    bool createKey() const;
    // The key's values, by case-folded name (value names are case-insensitive, as in the
    // registry). When a name occurs more than once the last line wins, as on an import; a
    // "Name"=- line removes the value.
    QMap<QString, RegistryValue> load() const;
    // Writes one value: its line is replaced in place (the name keeps its stored spelling) or
    // added at the end of the key. False when the file cannot be read back or written, in which
    // case the file is left untouched.
    bool setValue(const QString& name, const RegistryValue& value) const;

private:
    QString path_, keyPath_;
};
