// The registry key's text file: reading tolerates anything, writing replaces atomically.
#include "platform/registry_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

QString header(const QString& keyPath) { return QStringLiteral("[HKEY_CURRENT_USER") + keyPath + QLatin1Char(']'); }

QString quote(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// Reads a quoted string starting at s[pos] == '"'; returns the index after it, or -1.
int unquote(const QString& s, int pos, QString& out) {
    out.clear();
    for (int i = pos + 1; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) { out += s[++i]; continue; }
        if (s[i] == QLatin1Char('"')) return i + 1;
        out += s[i];
    }
    return -1;
}

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    return in.readAll().split(QLatin1Char('\n'));
}

}  // namespace

RegistryFile::RegistryFile(QString path, QString keyPath) : path_(std::move(path)), keyPath_(std::move(keyPath)) {}

bool RegistryFile::keyExists() const {
    for (const QString& line : readLines(path_))
        if (line.trimmed().compare(header(keyPath_), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QMap<QString, RegistryValue> RegistryFile::load() const {
    QMap<QString, RegistryValue> values;
    bool inKey = false;
    for (const QString& raw : readLines(path_)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inKey = line.compare(header(keyPath_), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey || !line.startsWith(QLatin1Char('"'))) continue;
        QString name;
        int at = unquote(line, 0, name);
        if (at < 0 || at >= line.size() || line[at] != QLatin1Char('=')) continue;
        const QString data = line.mid(at + 1);
        RegistryValue v;
        if (data.startsWith(QLatin1Char('"'))) {
            if (unquote(data, 0, v.text) < 0) continue;
            v.type = RegistryValue::String;
        } else if (data.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
            bool ok = false;
            v.number = data.mid(6).toUInt(&ok, 16);
            if (!ok) continue;
            v.type = RegistryValue::Dword;
        } else {
            v.type = RegistryValue::Other;   // hex: and other types: present, but no number or text
        }
        values.insert(name, v);
    }
    return values;
}

bool RegistryFile::save(const QMap<QString, RegistryValue>& values) const {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile f(path_);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
    QTextStream out(&f);
    out.setEncoding(QStringConverter::Utf8);
    out << "Windows Registry Editor Version 5.00\n\n" << header(keyPath_) << '\n';
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        out << quote(it.key()) << '=';
        if (it->type == RegistryValue::Dword)
            out << QStringLiteral("dword:%1").arg(it->number, 8, 16, QLatin1Char('0'));
        else
            out << quote(it->text);
        out << '\n';
    }
    out.flush();
    return f.commit();
}
