#include "core/settings_store.h"

#include "core/core_log.h"
#include "core/message_once.h"
#include "platform/message_box.h"
#include "platform/preview_mode.h"
#include "platform/private_folder.h"
#include "platform/profile_engine.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

namespace settings {
namespace {

constexpr auto privateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr auto privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
// Owner, group and others; Qt adds what this process may do as the "user" bits.
constexpr QFileDevice::Permissions modeBits(0x7077);

// Why the store's folder may not be used; with create, missing folders are made private first.
// A store that does not exist yet is no reason: reads then find nothing.
QString whyNotUsable(const QString &path, bool create)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (create) {
        if (const QString why = platform::createPrivateFolders(folder.filePath()); !why.isEmpty())
            return why;
    } else if (!folder.exists() && !folder.isSymLink()) {
        return {};
    }
    if (const QString why = platform::whyNotPrivate(folder.filePath()); !why.isEmpty())
        return QStringLiteral("the store folder %1 %2").arg(folder.filePath(), why);
    return {};
}

// The folder and file are the user's alone from the first write; a new file is created so, and
// the engine keeps the file's mode from then on.
QString prepare(const QString &path)
{
    if (const QString why = whyNotUsable(path, true); !why.isEmpty())
        return why;
    const QString folder = QFileInfo(path).absolutePath();
    if ((QFile::permissions(folder) & modeBits) != privateFolder)
        QFile::setPermissions(folder, privateFolder);
    if (QFile::exists(path) && (QFile::permissions(path) & modeBits) != privateFile)
        QFile::setPermissions(path, privateFile);
    return {};
}

bool failed(const QString &message, const QString &path, const QString &what)
{
    qCWarning(lcCore).noquote() << what;
    if (isNewFor(message, path))
        platform::showMessage(message);
    return false;
}

bool writeFailed(const QString &path, const QString &section, const QString &key,
                 const QString &why)
{
    return failed(QStringLiteral("Error Writing Key"), path,
                  QStringLiteral("cannot change %1, [%2] %3: %4").arg(path, section, key, why));
}

} // namespace

QString filePath(const QString &app)
{
    QString folderName = app;
    folderName.replace(u'/', u'_').replace(u'\\', u'_');
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           folderName + QStringLiteral("/settings.ini");
}

Lookup lookup(const QString &app, const QString &section, const QString &key)
{
    const QString path = filePath(app);
    if (const QString why = whyNotUsable(path, false); !why.isEmpty())
        return {std::nullopt, why};
    const platform::ProfileValue found = platform::lookupProfileValue(section, key, path);
    if (found.failed)
        return {std::nullopt, found.error.isEmpty() ? QStringLiteral("unreadable") : found.error};
    return {found.value, {}};
}

std::optional<QString> read(const QString &app, const QString &section, const QString &key,
                            const QString &defaultValue)
{
    const Lookup found = lookup(app, section, key);
    if (!found.error.isEmpty()) {
        const QString path = filePath(app);
        failed(QStringLiteral("Error Retrieving Key"), path,
               QStringLiteral("cannot read %1, [%2] %3: %4").arg(path, section, key, found.error));
        return std::nullopt;
    }
    return found.value.value_or(defaultValue);
}

QString get(const QString &app, const QString &section, const QString &key,
            const QString &defaultValue)
{
    return read(app, section, key, defaultValue).value_or(defaultValue);
}

bool save(const QString &app, const QString &section, const QString &key, const QString &value)
{
    const QString path = filePath(app);
    if (!platform::previewMode()) {
        if (const QString why = prepare(path); !why.isEmpty())
            return writeFailed(path, section, key, why);
    }
    const platform::ProfileWrite result =
        platform::writeProfileString(section, key, platform::valueThatReadsBack(value), path,
                                     platform::NewFileAccess::OwnerOnly);
    return result.ok || writeFailed(path, section, key, result.error);
}

bool remove(const QString &app, const QString &section, const QString &key)
{
    const QString path = filePath(app);
    if (const QString why = whyNotUsable(path, false); !why.isEmpty())
        return writeFailed(path, section, key, why);
    const platform::ProfileWrite result =
        platform::writeProfileString(section, key, std::nullopt, path);
    return result.ok || writeFailed(path, section, key, result.error);
}

} // namespace settings
