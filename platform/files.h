// Files written atomically: a temporary beside the target, renamed at the end, so a failure
// or a cancel never leaves a half-written file. Every file the program writes goes through here.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSaveFile;

// A file written piece by piece: open, write, then commit (rename into place) or drop.
// Destroyed without commit, it leaves nothing behind. Throws std::runtime_error
// "Cannot create file <path>" when the file cannot be created, written or committed.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False when a write failed (the commit then throws); safe to call from one worker thread.
    bool write(const char* data, qint64 size);
    void commit();

private:
    [[noreturn]] void fail() const;
    QString path_;
    std::unique_ptr<QSaveFile> file_;
    bool failed_ = false;
};

// Throws std::runtime_error "Cannot create file <path>" when the file cannot be written.
void WriteFileAtomically(const QString& path, const QByteArray& data);
// The same for a caller with its own message: false when the file cannot be written.
bool SaveFileAtomically(const QString& path, const QByteArray& data);
// Lines in the locale's 8-bit encoding, each ended by carriage return and line feed.
void WriteTextFile(const QString& path, const QStringList& lines);
