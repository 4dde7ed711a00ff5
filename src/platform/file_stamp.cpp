#include "platform/file_stamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace platform {

#ifdef Q_OS_UNIX
namespace {

FileStamp fromStat(const struct stat &info)
{
    FileStamp stamp;
    stamp.size = info.st_size;
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.isFolder = S_ISDIR(info.st_mode);
    return stamp;
}

} // namespace

std::optional<FileStamp> stampOfPath(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

std::optional<FileStamp> stampOfOpenFile(QFile &file)
{
    struct stat info;
    if (::fstat(file.handle(), &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

bool isSpecialFile(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

QString whyNotAFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ELOOP)
            return QStringLiteral("is a link loop");
        if (::lstat(name.constData(), &info) == 0 && S_ISLNK(info.st_mode))
            return QStringLiteral("is a link to nothing");
        return {};
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("is a folder");
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is a pipe, socket or device");
    return {};
}

#else

std::optional<FileStamp> stampOfPath(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    FileStamp stamp;
    stamp.size = info.size();
    stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    stamp.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    stamp.isFolder = info.isDir();
    return stamp;
}

std::optional<FileStamp> stampOfOpenFile(QFile &file)
{
    return stampOfPath(file.fileName());
}

bool isSpecialFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

QString whyNotAFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("is a link to nothing");
    if (info.isDir())
        return QStringLiteral("is a folder");
    if (info.exists() && !info.isFile())
        return QStringLiteral("is a pipe, socket or device");
    return {};
}

#endif

} // namespace platform
