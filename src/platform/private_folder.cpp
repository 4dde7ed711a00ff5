#include "platform/private_folder.h"

#include "platform/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString whyNotPrivate(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return systemError();
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

QString createPrivateFolders(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(absolute).isDir() || absolute == u"/")
        return {};
    if (const QString why = createPrivateFolders(QFileInfo(absolute).path()); !why.isEmpty())
        return why;
    const QByteArray name = QFile::encodeName(absolute);
    // The umask may take bits away from mkdir's mode; chmod makes it exactly 0700.
    if (::mkdir(name.constData(), 0700) == 0) {
        ::chmod(name.constData(), 0700);
        return {};
    }
    if (errno == EEXIST) // made by another process meanwhile
        return {};
    return QStringLiteral("cannot create %1: %2").arg(absolute, systemError());
}

} // namespace platform
