#include "platform/profile_lock.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int waitMs = 10000;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Empty when path is a folder, not a link to one, that the user owns and nobody else may write
// to; otherwise what is wrong with it.
QString whyNotPrivate(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return systemError(errno);
    if (S_ISLNK(status.st_mode))
        return QStringLiteral("is a symbolic link");
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("is not a folder");
    if (status.st_uid != ::geteuid())
        return QStringLiteral("belongs to another user");
    if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("may be written by other users");
    return {};
}

struct LockFolder
{
    QString path;
    QString error; // set when the folder cannot be used
};

LockFolder lockFolder()
{
    const QString runtime = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    QString base = runtime;
    if (runtime.isEmpty() || !whyNotPrivate(runtime).isEmpty()) {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        QDir().mkpath(base);
    }
    const QString folder = base + QStringLiteral("/kesta-terminal-locks");
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return {
            {},
            QStringLiteral("cannot create the lock folder %1: %2").arg(folder, systemError(errno))};
    if (const QString why = whyNotPrivate(folder); !why.isEmpty())
        return {{}, QStringLiteral("the lock folder %1 %2").arg(folder, why)};
    return {folder, {}};
}

QString absoluteIdentity(const QString &file)
{
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + u'/' + info.fileName();
}

} // namespace

ProfileLock::ProfileLock(const QString &file)
{
    const LockFolder folder = lockFolder();
    if (!folder.error.isEmpty()) {
        m_error = folder.error;
        return;
    }
    const QByteArray digest =
        QCryptographicHash::hash(absoluteIdentity(file).toUtf8(), QCryptographicHash::Sha1);
    const QString path =
        folder.path + u'/' + QString::fromLatin1(digest.toHex()) + QStringLiteral(".flock");
    const int handle = ::open(QFile::encodeName(path).constData(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle < 0) {
        m_error = QStringLiteral("cannot open the lock file %1: %2").arg(path, systemError(errno));
        return;
    }
    // Short, jittered polls find the gaps between the writes of another process that writes key
    // after key; a blocking wait could not give up after the deadline.
    const QDeadlineTimer deadline(waitMs);
    while (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            m_error = QStringLiteral("cannot lock %1: %2").arg(path, systemError(errno));
        } else if (deadline.hasExpired()) {
            m_error = QStringLiteral("the file stays locked by another process");
        } else {
            QThread::usleep(1000 + QRandomGenerator::global()->bounded(3000));
            continue;
        }
        ::close(handle);
        return;
    }
    m_handle = handle;
}

ProfileLock::~ProfileLock()
{
    if (m_handle >= 0)
        ::close(m_handle); // closing the last descriptor of the file releases the lock
}

} // namespace platform
