#include "platform/file_watch.h"

#include "platform/native_path.h"
#include "platform/platform_log.h"

#include <QFileInfo>

namespace platform {

namespace {

constexpr std::chrono::milliseconds pollInterval{500};

bool pollingForced()
{
    return qEnvironmentVariable("KESTA_FILE_WATCH") == u"poll";
}

// Said once per path for the whole program, however many watches follow it.
bool firstTimePolled(const QString &path)
{
    static QSet<QString> told;
    if (told.contains(path))
        return false;
    told.insert(path);
    return true;
}

} // namespace

FileWatch::FileWatch(PathList paths, std::chrono::milliseconds settle, QObject *parent)
    : QObject(parent)
    , m_paths(std::move(paths))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settle);
    connect(&m_settle, &QTimer::timeout, this, &FileWatch::changed);
    m_pollTimer.setInterval(pollInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, &FileWatch::poll);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatch::noticed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::noticed);
    rearm();
}

// A file replaced by a rename is a new file that the notification does not follow: each path is
// named to it again after every change, and new files among them.
void FileWatch::rearm()
{
    QStringList wanted = m_paths();
    wanted.removeDuplicates();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList gone;
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            gone.append(path);
    }
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    for (auto it = m_polled.begin(); it != m_polled.end();) {
        it = wanted.contains(it.key()) ? std::next(it) : m_polled.erase(it);
    }

    QStringList added;
    for (const QString &path : std::as_const(wanted)) {
        // A missing file is noticed through its folder when it appears.
        if (!watched.contains(path) && !m_polled.contains(path) && QFileInfo::exists(path))
            added.append(path);
    }
    const QStringList refused =
        pollingForced() ? added : (added.isEmpty() ? QStringList() : m_watcher.addPaths(added));
    for (const QString &path : refused)
        startPolling(path);
    if (m_polled.isEmpty())
        m_pollTimer.stop();
}

void FileWatch::startPolling(const QString &path)
{
    m_polled.insert(path, stampOfPath(path));
    if (firstTimePolled(path)) {
        qCInfo(lcPlatform).noquote()
            << QStringLiteral("no change notification for %1: it is polled every %2 ms")
                   .arg(path)
                   .arg(pollInterval.count());
    }
    if (!m_pollTimer.isActive())
        m_pollTimer.start();
}

void FileWatch::poll()
{
    bool changed = false;
    for (auto it = m_polled.begin(); it != m_polled.end(); ++it) {
        std::optional<FileStamp> now = stampOfPath(it.key());
        if (now != it.value()) {
            it.value() = now;
            changed = true;
        }
    }
    if (changed)
        noticed();
}

void FileWatch::noticed()
{
    // What this thread's open passes saw of the disk is old now: a reader told of the change
    // (the exit watch during the start) must not read the look from before it.
    OneLookPerFile::forget();
    rearm();
    if (m_settle.interval() <= 0)
        emit changed();
    else if (!m_settle.isActive())
        m_settle.start();
}

} // namespace platform
