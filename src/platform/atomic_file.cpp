#include "platform/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace platform {
namespace {

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

QString temporaryPrefix(const QFileInfo &info)
{
    return QStringLiteral(".") + info.fileName() + QStringLiteral(".");
}

QString temporaryNameBeside(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + u'/' + temporaryPrefix(info) +
           QString::number(QRandomGenerator::global()->generate(), 36) + QStringLiteral(".new");
}

// Write errors of a full disk may only show when the data is forced out, so the check is done
// before the rename and not left to a later, silent write-back.
bool writeAll(QFile &file, const QByteArray &bytes)
{
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return false;
#endif
    return file.size() == bytes.size();
}

} // namespace

void removeAbandonedReplacements(const QString &path)
{
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    const QStringList pattern{temporaryPrefix(info) + QStringLiteral("*.new")};
    const QStringList leftovers = folder.entryList(pattern, QDir::Files | QDir::Hidden);
    for (const QString &name : leftovers)
        folder.remove(name);
}

bool replaceFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    const QString finalPath = target.isSymLink() ? target.symLinkTarget() : path;
    const QString temporary = temporaryNameBeside(finalPath);

    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return fail(error, file.errorString());
    if (QFileInfo::exists(finalPath))
        file.setPermissions(QFile::permissions(finalPath));
    if (!writeAll(file, bytes)) {
        const QString why = file.errorString();
        file.close();
        QFile::remove(temporary);
        return fail(error, why.isEmpty() ? QStringLiteral("the disk is full") : why);
    }
    file.close();
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(finalPath).constData()) != 0) {
        QFile::remove(temporary);
        return fail(error, QStringLiteral("cannot replace the file"));
    }
    return true;
}

} // namespace platform
