#include "platform/file_stamp.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace platform {

QByteArray FileStamp::toText() const
{
    QByteArray text;
    for (const qint64 field :
         {size, modifiedNs, changedNs, qint64(device), qint64(inode), qint64(isFolder),
          qint64(owner), qint64(group), qint64(mode), qint64(links)})
        text += QByteArray::number(field) + ' ';
    text.back() = '\n';
    return text;
}

std::optional<FileStamp> FileStamp::fromText(QByteArrayView text)
{
    const QList<QByteArray> fields = text.toByteArray().trimmed().split(' ');
    if (fields.size() != 10)
        return std::nullopt;
    qint64 value[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        value[i] = fields[i].toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    return FileStamp{value[0],          value[1],         value[2],          quint64(value[3]),
                     quint64(value[4]), value[5] != 0,    quint32(value[6]), quint32(value[7]),
                     quint32(value[8]), quint32(value[9])};
}

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
    stamp.owner = info.st_uid;
    stamp.group = info.st_gid;
    stamp.mode = info.st_mode & 07777;
    stamp.links = static_cast<quint32>(info.st_nlink);
    return stamp;
}

} // namespace

std::optional<FileStamp> stampOfDescriptor(int descriptor)
{
    struct stat info;
    if (::fstat(descriptor, &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

std::optional<FileStamp> stampOfPath(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

std::optional<FileStamp> stampOfOpenFile(QFile &file)
{
    return stampOfDescriptor(file.handle());
}

bool isSpecialFile(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
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

std::optional<FileStamp> stampOfDescriptor(int)
{
    return std::nullopt;
}

bool isSpecialFile(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

#endif

} // namespace platform
