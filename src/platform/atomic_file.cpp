#include "platform/atomic_file.h"

#include "platform/system_error.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

Replacement failed(const QString &why)
{
    return {Replacement::Failed, why, std::nullopt};
}

const Replacement stale{Replacement::Stale, QStringLiteral("the file changed meanwhile"),
                        std::nullopt};

QString temporaryPrefix(const QFileInfo &info)
{
    return QStringLiteral(".") + info.fileName() + QStringLiteral(".");
}

QByteArray temporaryNameBeside(const QString &path)
{
    const QFileInfo info(path);
    return QFile::encodeName(info.absolutePath() + u'/' + temporaryPrefix(info) +
                             QString::number(QRandomGenerator::global()->generate(), 36) +
                             QStringLiteral(".new"));
}

bool writeAllAt(int handle, QByteArrayView bytes, qint64 offset)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::pwrite(handle, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
        offset += written;
    }
    return true;
}

// Whether the file at path is still the version read, or still missing when none was.
bool stillAsRead(const QString &path, const std::optional<FileVersion> &read)
{
    if (read)
        return stampOfPath(path) == read->stamp;
    struct stat status = {};
    return ::lstat(QFile::encodeName(path).constData(), &status) != 0 && errno == ENOENT;
}

// Without this, a power cut after the rename may bring the old file back.
void syncFolder(const QString &path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

// A new file beside path, locked before any other writer can see its name, so that none takes
// it for one a dead writer left.
struct NewFile
{
    int handle = -1;
    QByteArray name;
};

NewFile createBeside(const QString &path, int mode)
{
    const QByteArray name = temporaryNameBeside(path);
    int handle = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                        O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (handle >= 0) {
        ::flock(handle, LOCK_EX);
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
            0)
            return {handle, name};
        ::close(handle);
    }
    // Where unnamed files are not to be had, the name exists a moment before its lock.
    handle = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (handle >= 0)
        ::flock(handle, LOCK_EX);
    return {handle, name};
}

bool mustWriteInPlace(const QString &path, const std::optional<FileVersion> &read)
{
    if (!read)
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return read->stamp.links > 1 || ::access(folder.constData(), W_OK | X_OK) != 0;
}

Replacement writeInPlace(const QString &path, const FileVersion &read, const QByteArray &bytes)
{
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return failed(systemError(errno));
    const auto result = [&]() -> Replacement {
        if (stampOfDescriptor(handle) != read.stamp || !stillAsRead(path, read))
            return stale;
        // A full disk should refuse the write before its first byte, not halfway through.
        if (bytes.size() > read.bytes.size() &&
            ::fallocate(handle, FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 && errno == ENOSPC)
            return failed(systemError(errno));
        qsizetype same = 0;
        while (same < bytes.size() && same < read.bytes.size() && bytes[same] == read.bytes[same])
            ++same;
        if (!writeAllAt(handle, QByteArrayView(bytes).sliced(same), same) ||
            ::ftruncate(handle, bytes.size()) != 0 || ::fsync(handle) != 0)
            return failed(systemError(errno));
        return {Replacement::Written, {}, stampOfDescriptor(handle)};
    }();
    ::close(handle);
    return result;
}

} // namespace

QString whyNotOurs(const FileStamp &stamp)
{
    if (stamp.owner != ::geteuid())
        return QStringLiteral("the file belongs to another user");
    if ((stamp.mode & S_IWUSR) == 0)
        return QStringLiteral("the file is read-only");
    return {};
}

Replacement replaceFile(const QString &path, const std::optional<FileVersion> &read,
                        const QByteArray &bytes, int newFileMode)
{
    if (mustWriteInPlace(path, read))
        return writeInPlace(path, *read, bytes);
    const NewFile file = createBeside(path, newFileMode);
    if (file.handle < 0)
        return failed(systemError(errno));
    const auto discard = [&file] {
        ::unlink(file.name.constData());
        ::close(file.handle);
    };
    if (read) {
        ::fchmod(file.handle, read->stamp.mode);
        if (stampOfDescriptor(file.handle).value_or(FileStamp()).group != read->stamp.group &&
            ::fchown(file.handle, uid_t(-1), read->stamp.group) != 0) {
            discard(); // the file's group would lose it
            return writeInPlace(path, *read, bytes);
        }
    }
    // Write errors of a full disk may only show when the data is forced out, so the check is done
    // before the rename and not left to a later, silent write-back.
    if (!writeAllAt(file.handle, bytes, 0) || ::fsync(file.handle) != 0 ||
        stampOfDescriptor(file.handle).value_or(FileStamp()).size != bytes.size()) {
        const QString why = systemError(errno);
        discard();
        return failed(why);
    }
    if (!stillAsRead(path, read)) {
        discard();
        return stale;
    }
    if (::rename(file.name.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString why = QStringLiteral("cannot replace the file: ") + systemError(errno);
        discard();
        return failed(why);
    }
    const std::optional<FileStamp> written = stampOfDescriptor(file.handle);
    ::close(file.handle);
    syncFolder(path);
    return {Replacement::Written, {}, written};
}

void removeAbandonedReplacements(const QString &path)
{
    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray prefix = QFile::encodeName(temporaryPrefix(info));
    DIR *entries = ::opendir(folder.constData());
    if (!entries)
        return;
    while (const dirent *entry = ::readdir(entries)) {
        const QByteArrayView name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(".new"))
            continue;
        const QByteArray leftover = folder + '/' + name.toByteArray();
        const int handle =
            ::open(leftover.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (handle < 0)
            continue;
        // A writer that lives holds the lock of its new file until it has renamed it.
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0 &&
            stampOfDescriptor(handle) == stampOfPath(QFile::decodeName(leftover)))
            ::unlink(leftover.constData());
        ::close(handle);
    }
    ::closedir(entries);
}

} // namespace platform
