#pragma once

#include "platform/file_stamp.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <optional>

namespace platform {

// Follows files and folders on disk however they change: written in place, replaced by a rename
// (as atomic writers and editors save), created or removed. The system's file notification does
// it; a path it cannot be set for (a file system without it, the user's watch limit reached) is
// polled every 500 ms instead, which kesta.platform says once per path. With
// KESTA_FILE_WATCH=poll in the environment every path is polled.
//
// A file that does not exist yet is noticed through its folder, so a caller names the folders
// of its files as well.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    using PathList = std::function<QStringList()>;

    // paths() names what to follow; it is asked again after every change, so that files that
    // appear meanwhile are followed too. A burst of changes gives one changed(), `settle` after
    // the first of them, or at once for a settle of 0.
    FileWatch(PathList paths, std::chrono::milliseconds settle, QObject *parent = nullptr);

    // Asks paths() again, for when what it names changed for another reason than a change on
    // disk (a theme of other files was opened).
    void rearm();

signals:
    void changed();

private:
    void noticed();
    void poll();
    void startPolling(const QString &path);

    PathList m_paths;
    QFileSystemWatcher m_watcher;
    QHash<QString, std::optional<FileStamp>> m_polled;
    QTimer m_pollTimer;
    QTimer m_settle;
};

} // namespace platform
