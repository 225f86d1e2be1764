// Atomic whole-file writes.
#include "platform/files.h"

#include <QSaveFile>
#include <stdexcept>

void WriteFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        throw std::runtime_error(("Cannot create file " + path).toStdString());
}

void WriteTextFile(const QString& path, const QStringList& lines) {
    QByteArray data;
    for (const QString& line : lines) data += line.toLocal8Bit() + "\r\n";
    WriteFileAtomically(path, data);
}
