#pragma once

// Whole files for the benchmarks that write themes and settings of their own.

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

namespace bench {

// Writes bytes to path as one new file, or not at all.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// The file's bytes; empty when it does not read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace bench
