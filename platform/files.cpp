// Atomic file writes.
#include "platform/files.h"

#include <QSaveFile>
#include <stdexcept>

AtomicFile::AtomicFile(const QString& path) : path_(path), file_(std::make_unique<QSaveFile>(path)) {
    if (!file_->open(QIODevice::WriteOnly)) fail();
}

AtomicFile::~AtomicFile() {
    if (file_) file_->cancelWriting();
}

bool AtomicFile::write(const char* data, qint64 size) {
    if (!failed_ && file_->write(data, size) != size) failed_ = true;
    return !failed_;
}

void AtomicFile::commit() {
    if (failed_ || !file_->commit()) {
        file_.reset();
        fail();
    }
    file_.reset();
}

void AtomicFile::fail() const { throw std::runtime_error(("Cannot create file " + path_).toStdString()); }

void WriteFileAtomically(const QString& path, const QByteArray& data) {
    if (!SaveFileAtomically(path, data)) throw std::runtime_error(("Cannot create file " + path).toStdString());
}

bool SaveFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile file(path);   // dropped unless committed
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

void WriteTextFile(const QString& path, const QStringList& lines) {
    QByteArray data;
    for (const QString& line : lines) data += line.toLocal8Bit() + "\r\n";
    WriteFileAtomically(path, data);
}
