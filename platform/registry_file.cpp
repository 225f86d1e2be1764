// The registry key's text file: reading tolerates anything, writing edits one value's line and
// replaces the file atomically, keeping the file's encoding, line ends and every other line.
#include "platform/registry_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include "platform/files.h"

namespace {

QString header(const QString& keyPath) { return QStringLiteral("[HKEY_CURRENT_USER") + keyPath + QLatin1Char(']'); }

// The file as lines, with what it takes to write it back unchanged.
struct Document {
    enum Encoding { Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom, Latin1 } encoding = Utf8;
    QStringList lines;          // without the '\n'; a '\r' before it stays part of the line
    bool crlf = false;          // the line end of added lines
    bool finalNewline = true;
};

// A value line of the key, with its continuation lines first..last.
struct Entry {
    QString name;
    int first = 0, last = 0;
    bool removed = false;       // "Name"=-
    RegistryValue value;
};

struct Layout {
    QList<Entry> entries;
    int keyHeader = -1;         // the key's first header line
    int keyEnd = -1;            // where a new value of the key goes: after its last non-blank line
};

// A missing file is an empty document; one that exists but cannot be read is a failure, so
// that a write never replaces what could not be read.
bool readDocument(const QString& path, Document& doc) {
    QFile f(path);
    if (!f.exists()) return true;
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) return false;

    QString text;
    if (bytes.startsWith("\xFF\xFE")) {
        doc.encoding = Document::Utf16LeBom;
        text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        doc.encoding = Document::Utf16BeBom;
        text = QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc.encoding = Document::Utf8Bom;
        text = QStringDecoder(QStringDecoder::Utf8).decode(bytes.mid(3));
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {   // an 8-bit file: Latin-1 gives every byte back on writing
            doc.encoding = Document::Latin1;
            text = QString::fromLatin1(bytes);
        }
    }
    if (text.isEmpty()) return true;
    doc.finalNewline = text.endsWith(QLatin1Char('\n'));
    if (doc.finalNewline) text.chop(1);
    doc.lines = text.split(QLatin1Char('\n'));
    doc.crlf = doc.lines.first().endsWith(QLatin1Char('\r'));
    return true;
}

QByteArray encode(const Document& doc, const QString& text) {
    switch (doc.encoding) {
    case Document::Utf16LeBom: return QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE).encode(text);
    case Document::Utf16BeBom: return QByteArray("\xFE\xFF") + QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    case Document::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Document::Latin1: return text.toLatin1();
    case Document::Utf8: break;
    }
    return text.toUtf8();
}

bool writeDocument(const QString& path, const Document& doc) {
    QString text = doc.lines.join(QLatin1Char('\n'));
    if (doc.finalNewline && !doc.lines.isEmpty()) text += QLatin1Char('\n');
    const QByteArray bytes = encode(doc, text);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SaveFileAtomically(path, bytes);   // on failure the caller names the value it could not write
}

// Adds a line at index at, in the file's own line end.
void insertLine(Document& doc, int at, const QString& line) {
    if (at == doc.lines.size() && !doc.lines.isEmpty() && !doc.finalNewline) {
        // The old last line had no line end at all.
        QString& last = doc.lines.last();
        if (doc.crlf && !last.endsWith(QLatin1Char('\r'))) last += QLatin1Char('\r');
        doc.finalNewline = true;
    }
    doc.lines.insert(at, doc.crlf ? line + QLatin1Char('\r') : line);
}

QString quote(const QString& s) {
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) out += QLatin1Char('\\');
        out += c;
    }
    return out + QLatin1Char('"');
}

// Reads a quoted string starting at s[pos] == '"'; returns the index after it, or -1.
qsizetype unquote(QStringView s, qsizetype pos, QString& out) {
    out.clear();
    for (qsizetype i = pos + 1; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('\\') && i + 1 < s.size()) {
            out += s[++i];
            continue;
        }
        if (s[i] == QLatin1Char('"')) return i + 1;
        out += s[i];
    }
    return -1;
}

bool isHex(QStringView s) {
    for (QChar c : s)
        if (!c.isDigit() && !(c >= QLatin1Char('a') && c <= QLatin1Char('f')) &&
            !(c >= QLatin1Char('A') && c <= QLatin1Char('F')))
            return false;
    return !s.isEmpty();
}

// "hh,hh,..." as regedit writes binary data; a trailing comma is allowed, nothing else.
bool hexBytes(QStringView s, QByteArray& out) {
    out.clear();
    const QList<QStringView> parts = s.split(QLatin1Char(','));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QStringView p = parts[i].trimmed();
        if (p.isEmpty() && i == parts.size() - 1) break;
        if (p.size() > 2 || !isHex(p)) return false;
        out += char(p.toUInt(nullptr, 16));
    }
    return true;
}

// The data after "Name"=; anything that is not plainly a REG_SZ or a REG_DWORD stays Other.
RegistryValue decode(QStringView data) {
    RegistryValue v;
    if (data.startsWith(QLatin1Char('"'))) {
        QString text;
        const qsizetype end = unquote(data, 0, text);
        if (end >= 0 && data.mid(end).trimmed().isEmpty()) {
            v.type = RegistryValue::String;
            v.text = text;
        }
        return v;
    }
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6).trimmed();
        if (digits.size() <= 8 && isHex(digits)) {
            v.type = RegistryValue::Dword;
            v.number = digits.toUInt(nullptr, 16);
        }
        return v;
    }
    // hex(t): with the registry's type number t; 1 is REG_SZ in UTF-16, 4 is REG_DWORD.
    if (!data.startsWith(QLatin1String("hex("), Qt::CaseInsensitive)) return v;
    const qsizetype close = data.indexOf(QLatin1String("):"));
    if (close < 0 || !isHex(data.mid(4, close - 4))) return v;
    bool ok = false;
    const uint type = data.mid(4, close - 4).toUInt(&ok, 16);
    QByteArray bytes;
    if (!ok || !hexBytes(data.mid(close + 2), bytes)) return v;
    if (type == 1 && bytes.size() % 2 == 0) {
        QString text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes);
        const qsizetype nul = text.indexOf(QChar(0));   // the terminator ends the text
        if (nul >= 0) text.truncate(nul);
        v.type = RegistryValue::String;
        v.text = text;
    } else if (type == 4 && bytes.size() == 4) {
        v.type = RegistryValue::Dword;
        v.number = quint32(quint8(bytes[0])) | quint32(quint8(bytes[1])) << 8 | quint32(quint8(bytes[2])) << 16 |
                   quint32(quint8(bytes[3])) << 24;
    }
    return v;
}

QString hexData(const QByteArray& bytes) {
    QStringList parts;
    for (char b : bytes) parts << QStringLiteral("%1").arg(quint8(b), 2, 16, QLatin1Char('0'));
    return parts.join(QLatin1Char(','));
}

// The data part of a written value. A text that cannot stand on one line between quotes (line
// breaks, NUL) or in the file's 8-bit encoding is written as REG_SZ bytes instead.
QString encodeData(const Document& doc, const RegistryValue& value) {
    if (value.type == RegistryValue::Dword) return QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
    bool plain = true;
    for (QChar c : value.text)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isNull() ||
            (doc.encoding == Document::Latin1 && c.unicode() > 0xFF))
            plain = false;
    if (plain) return quote(value.text);
    QByteArray bytes = QStringEncoder(QStringEncoder::Utf16LE).encode(value.text);
    bytes.append(2, '\0');
    return QStringLiteral("hex(1):") + hexData(bytes);
}

QString stripCr(const QString& line) { return line.endsWith(QLatin1Char('\r')) ? line.left(line.size() - 1) : line; }

Layout parse(const Document& doc, const QString& keyHeader) {
    Layout layout;
    bool inKey = false, inFirstKey = false;
    for (int i = 0; i < doc.lines.size(); ++i) {
        const QString line = stripCr(doc.lines[i]).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inKey = line.compare(keyHeader, Qt::CaseInsensitive) == 0;
            inFirstKey = inKey && layout.keyHeader < 0;
            if (inFirstKey) {
                layout.keyHeader = i;
                layout.keyEnd = i + 1;
            }
            continue;
        }
        if (!inKey || line.isEmpty()) continue;
        Entry e;
        e.first = e.last = i;
        const qsizetype at = line.startsWith(QLatin1Char('"')) ? unquote(line, 0, e.name) : -1;
        const QString rest = at < 0 ? QString() : line.mid(at).trimmed();
        if (rest.startsWith(QLatin1Char('='))) {
            QString data = rest.mid(1).trimmed();
            // Binary data runs on over lines that end with a backslash.
            if (data.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
                while (data.endsWith(QLatin1Char('\\')) && e.last + 1 < doc.lines.size()) {
                    data.chop(1);
                    data += stripCr(doc.lines[++e.last]).trimmed();
                }
            }
            e.removed = data == QLatin1String("-");
            if (!e.removed) e.value = decode(data);
            layout.entries << e;
        }
        if (inFirstKey) layout.keyEnd = e.last + 1;
        i = e.last;
    }
    return layout;
}

// Adds the key's header at the end of the file; returns where its first value goes.
int appendKey(Document& doc, const QString& keyHeader) {
    if (doc.lines.isEmpty()) insertLine(doc, 0, QStringLiteral("Windows Registry Editor Version 5.00"));
    if (!stripCr(doc.lines.last()).trimmed().isEmpty()) insertLine(doc, int(doc.lines.size()), QString());
    insertLine(doc, int(doc.lines.size()), keyHeader);
    return int(doc.lines.size());
}

}  // namespace

RegistryFile::RegistryFile(QString path, QString keyPath) : path_(std::move(path)), keyPath_(std::move(keyPath)) {}

bool RegistryFile::keyExists() const {
    Document doc;
    return readDocument(path_, doc) && parse(doc, header(keyPath_)).keyHeader >= 0;
}

QMap<QString, RegistryValue> RegistryFile::load() const {
    QMap<QString, RegistryValue> values;
    Document doc;
    if (!readDocument(path_, doc)) return values;
    for (const Entry& e : parse(doc, header(keyPath_)).entries) {
        if (e.removed) values.remove(e.name.toCaseFolded());
        else values.insert(e.name.toCaseFolded(), e.value);
    }
    return values;
}

bool RegistryFile::createKey() const {
    Document doc;
    if (!readDocument(path_, doc)) return false;
    if (parse(doc, header(keyPath_)).keyHeader >= 0) return true;
    appendKey(doc, header(keyPath_));
    return writeDocument(path_, doc);
}

bool RegistryFile::setValue(const QString& name, const RegistryValue& value) const {
    if (value.type == RegistryValue::Other) return false;   // the store writes numbers and texts only
    Document doc;
    if (!readDocument(path_, doc)) return false;
    const Layout layout = parse(doc, header(keyPath_));
    QList<Entry> same;
    for (const Entry& e : layout.entries)
        if (e.name.toCaseFolded() == name.toCaseFolded()) same << e;
    if (same.isEmpty()) {
        const int at = layout.keyHeader >= 0 ? layout.keyEnd : appendKey(doc, header(keyPath_));
        insertLine(doc, at, quote(name) + QLatin1Char('=') + encodeData(doc, value));
    } else {
        // One line for the value, where it first stood; the lines it shadowed go with it.
        const QString line = quote(same.first().name) + QLatin1Char('=') + encodeData(doc, value);
        for (qsizetype k = same.size() - 1; k >= 0; --k) {
            if (same[k].last + 1 == doc.lines.size()) doc.finalNewline = true;   // the line before it has one
            doc.lines.remove(same[k].first, same[k].last - same[k].first + 1);
        }
        insertLine(doc, same.first().first, line);
    }
    return writeDocument(path_, doc);
}
