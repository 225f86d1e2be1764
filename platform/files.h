// Whole files written atomically: a temporary beside the target, renamed at the end, so a
// failure never leaves a half-written file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Throws std::runtime_error "Cannot create file <path>" when the file cannot be written.
void WriteFileAtomically(const QString& path, const QByteArray& data);
// Lines in the locale's 8-bit encoding, each ended by carriage return and line feed.
void WriteTextFile(const QString& path, const QStringList& lines);
