#pragma once

// CPU time of another process, for benchmarks that watch one idle.

#include <QFile>

#include <unistd.h>

namespace bench {

// User and system CPU time of a process so far, in clock ticks; -1 when it has gone.
inline qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return fields[11].toLongLong() + fields[12].toLongLong(); // utime, stime
}

// ticks spent over seconds, in percent of one core.
inline double percentOfCore(qint64 ticks, int seconds)
{
    return 100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
}

} // namespace bench
