#include "platform/native_path.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace platform {
namespace {

// The names of one folder by their case-folded form, kept until the folder changes, so that
// looking up a missing name again (an override file that does not exist, read for every layout
// line) does not list the folder again.
struct FolderNames
{
    QDateTime modified;
    QHash<QString, QString> byFoldedName;
};

QString matchInFolder(const QString &folder, const QString &name)
{
    static QMutex mutex;
    static QHash<QString, FolderNames> cache;
    const QFileInfo info(folder);
    if (!info.isDir())
        return {};
    const QDateTime modified = info.lastModified();
    QMutexLocker locker(&mutex);
    FolderNames &names = cache[folder];
    if (names.byFoldedName.isEmpty() || names.modified != modified) {
        names.modified = modified;
        names.byFoldedName.clear();
        const QStringList entries = QDir(folder).entryList(
            QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
        for (const QString &entry : entries) {
            const QString folded = entry.toCaseFolded();
            if (!names.byFoldedName.contains(folded)) // the first in name order wins
                names.byFoldedName.insert(folded, entry);
        }
        if (cache.size() > 512)
            cache.clear(); // a bound for themes with very many folders; the cache refills
    }
    return names.byFoldedName.value(name.toCaseFolded());
}

} // namespace

QString nativePath(const QString &storedPath)
{
    QString path = storedPath;
    path.replace(u'\\', u'/');
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;

    const bool absolute = path.startsWith(u'/');
    const QStringList parts = path.split(u'/');
    QString resolved = absolute ? QStringLiteral("/") : QString();
    bool matching = true;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        if (part.isEmpty() && i + 1 < parts.size())
            continue;
        QString name = part;
        const QString folder = resolved.isEmpty() ? QStringLiteral(".") : resolved;
        if (matching && !part.isEmpty() && part != u"." && part != u".." &&
            !QFileInfo::exists(folder + u'/' + part)) {
            const QString match = matchInFolder(folder, part);
            if (match.isEmpty())
                matching = false; // nothing below a missing folder can exist
            else
                name = match;
        }
        if (!resolved.isEmpty() && !resolved.endsWith(u'/'))
            resolved += u'/';
        resolved += name;
    }
    return resolved;
}

} // namespace platform
