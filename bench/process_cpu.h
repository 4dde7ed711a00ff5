#pragma once

// CPU time of another process, for benchmarks that watch one idle.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPair>
#include <QStringList>

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

// Voluntary context switches of each thread of a process, by thread id and name: each is the
// thread going to sleep, so each is followed by a wakeup. Empty when the process has gone.
using ThreadSwitches = QMap<QString, QPair<QString, qint64>>;

inline ThreadSwitches threadSwitches(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    ThreadSwitches threads;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task) + QStringLiteral("/status"));
        QFile name(tasks.filePath(task) + QStringLiteral("/comm"));
        if (!status.open(QIODevice::ReadOnly) || !name.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = status.readAll();
        const QByteArray key = "\nvoluntary_ctxt_switches:";
        const qsizetype at = text.indexOf(key);
        if (at >= 0) {
            const qsizetype from = at + key.size();
            threads.insert(
                task, {QString::fromUtf8(name.readAll().trimmed()),
                       text.mid(from, text.indexOf('\n', from) - from).trimmed().toLongLong()});
        }
    }
    return threads;
}

// The wakeups between two samples of one process, over the threads of the later one (a thread
// born in between counts from its start), and the same by thread as "name=count ...".
inline qint64 wakeupsBetween(const ThreadSwitches &before, const ThreadSwitches &after,
                             QString *byThread = nullptr)
{
    qint64 sum = 0;
    QStringList threads;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const qint64 count = it.value().second - before.value(it.key()).second;
        sum += count;
        threads << it.value().first + u'=' + QString::number(count);
    }
    if (byThread)
        *byThread = threads.join(u' ');
    return sum;
}

// ticks spent over seconds, in percent of one core.
inline double percentOfCore(qint64 ticks, int seconds)
{
    return 100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
}

} // namespace bench
