#include "platform/file_stamp.h"

#include <QFile>
#include <QFileInfo>

#include <array>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace platform {

namespace {

constexpr int fieldCount = 11;

std::array<qint64, fieldCount> fieldsOf(const FileStamp &stamp)
{
    return {stamp.size,          stamp.modifiedNs, stamp.changedNs, qint64(stamp.device),
            qint64(stamp.inode), stamp.isFolder,   stamp.isRegular, stamp.owner,
            stamp.group,         stamp.mode,       stamp.links};
}

} // namespace

QByteArray FileStamp::toText() const
{
    QByteArray text;
    for (const qint64 field : fieldsOf(*this))
        text += QByteArray::number(field) + ' ';
    text.back() = '\n';
    return text;
}

std::optional<FileStamp> FileStamp::fromText(QByteArrayView text)
{
    const QList<QByteArray> fields = text.toByteArray().trimmed().split(' ');
    if (fields.size() != fieldCount)
        return std::nullopt;
    std::array<qint64, fieldCount> value{};
    for (int i = 0; i < fieldCount; ++i) {
        bool ok = false;
        value[i] = fields[i].toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    }
    FileStamp stamp;
    stamp.size = value[0];
    stamp.modifiedNs = value[1];
    stamp.changedNs = value[2];
    stamp.device = quint64(value[3]);
    stamp.inode = quint64(value[4]);
    stamp.isFolder = value[5] != 0;
    stamp.isRegular = value[6] != 0;
    stamp.owner = quint32(value[7]);
    stamp.group = quint32(value[8]);
    stamp.mode = quint32(value[9]);
    stamp.links = quint32(value[10]);
    return stamp;
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
    stamp.isRegular = S_ISREG(info.st_mode);
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
    stamp.isRegular = info.isFile();
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
