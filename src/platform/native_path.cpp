#include "platform/native_path.h"

#include "platform/file_stamp.h"
#include "platform/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace platform {
namespace {

// The names of one folder by their case-folded form, kept until the folder changes, so that
// looking up a missing name again (an override file that does not exist, read for every layout
// line) does not list the folder again.
struct FolderNames
{
    FileStamp stamp;
    QHash<QString, QString> byFoldedName;
};

QHash<QString, QString> listByFoldedName(const QString &folder)
{
    QHash<QString, QString> names;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        const QString folded = entry.toCaseFolded();
        if (!names.contains(folded)) // the first in name order wins
            names.insert(folded, entry);
    }
    return names;
}

QString matchInFolder(const QString &folder, const QString &name,
                      const std::optional<FileStamp> &stamp)
{
    if (!stamp || !stamp->isFolder)
        return {};
    static QMutex mutex;
    static QHash<QString, FolderNames> cache;
    QMutexLocker locker(&mutex);
    auto found = cache.find(folder);
    if (found == cache.end() || found->stamp != *stamp) {
        if (cache.size() > 512)
            cache.clear(); // a bound for themes with very many folders; the cache refills
        found = cache.insert(folder, {*stamp, listByFoldedName(folder)});
    }
    return found->byFoldedName.value(name.toCaseFolded());
}

// path uses "/" only, has no doubled or trailing separator and is not empty. *stamp is what
// lies at the result.
QString resolve(const QString &path, std::optional<FileStamp> *stamp)
{
    *stamp = stampOfPath(path);
    if (*stamp)
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    if (name.isEmpty() || name == u"." || name == u"..")
        return path;
    QString folder;
    std::optional<FileStamp> folderStamp;
    if (slash == 0) {
        folder = QStringLiteral("/");
        folderStamp = stampOfPath(folder);
    } else if (slash > 0) {
        folder = resolve(path.left(slash), &folderStamp);
    } else {
        folderStamp = stampOfPath(QStringLiteral("."));
    }
    const QString match =
        matchInFolder(folder.isEmpty() ? QStringLiteral(".") : folder, name, folderStamp);
    const QString prefix = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
    if (match.isEmpty())
        return prefix + name;
    *stamp = stampOfPath(prefix + match);
    return prefix + match;
}

struct Look
{
    QString resolved;
    std::optional<FileStamp> stamp;
};

// The looks of this thread's open OneLookPerFile passes, by stored path; no table without one.
struct Looks
{
    int passes = 0;
    QHash<QString, Look> byStoredPath;
};
thread_local Looks looks;

std::optional<QString> realPath(const QString &path)
{
    char resolved[PATH_MAX];
    if (!::realpath(QFile::encodeName(path).constData(), resolved))
        return std::nullopt;
    return QFile::decodeName(resolved);
}

QString lookAtDisk(const QString &storedPath, std::optional<FileStamp> *stamp);

} // namespace

QString nativePath(const QString &storedPath)
{
    std::optional<FileStamp> stamp;
    return nativePath(storedPath, &stamp);
}

OneLookPerFile::OneLookPerFile()
{
    ++looks.passes;
}

OneLookPerFile::~OneLookPerFile()
{
    if (--looks.passes == 0)
        looks.byStoredPath.clear();
}

void OneLookPerFile::forget()
{
    looks.byStoredPath.clear();
}

QString nativePath(const QString &storedPath, std::optional<FileStamp> *stamp)
{
    if (looks.passes > 0) {
        if (const auto seen = looks.byStoredPath.constFind(storedPath);
            seen != looks.byStoredPath.cend()) {
            *stamp = seen->stamp;
            return seen->resolved;
        }
        const QString resolved = lookAtDisk(storedPath, stamp);
        looks.byStoredPath.insert(storedPath, {resolved, *stamp});
        return resolved;
    }
    return lookAtDisk(storedPath, stamp);
}

namespace {

QString lookAtDisk(const QString &storedPath, std::optional<FileStamp> *stamp)
{
    *stamp = std::nullopt;
    QString path = storedPath;
    path.replace(u'\\', u'/');
    while (path.contains(QStringLiteral("//")))
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    if (path.isEmpty())
        return path;
    if (path == u"/") {
        *stamp = stampOfPath(path);
        return path;
    }
    const bool folderForm = path.endsWith(u'/');
    if (folderForm)
        path.chop(1);
    const QString resolved = resolve(path, stamp);
    return folderForm ? resolved + u'/' : resolved;
}

} // namespace

ResolvedFile resolvedFile(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0) {
        if (const std::optional<QString> resolved = realPath(path))
            return {*resolved, {}};
        return {{}, QStringLiteral("the link leads to no file: %1").arg(systemError(errno))};
    }
    if (errno != ENOENT)
        return {{}, systemError(errno)};
    const QFileInfo info(path);
    const std::optional<QString> folder = realPath(info.absolutePath());
    if (!folder)
        return {{}, QStringLiteral("the folder does not exist")};
    return {(folder->endsWith(u'/') ? *folder : *folder + u'/') + info.fileName(), {}};
}

} // namespace platform
