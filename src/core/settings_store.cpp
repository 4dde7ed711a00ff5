#include "core/settings_store.h"

#include "core/core_log.h"
#include "platform/preview_mode.h"
#include "platform/profile_engine.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>

namespace settings {
namespace {

constexpr auto privateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr auto privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The store holds a password: its folder and file are the user's alone from the first write.
bool preparePrivateFile(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, privateFolder);
    if (QFile::exists(path))
        return QFile::setPermissions(path, privateFile) || true;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly, privateFile) || QFile::exists(path);
}

} // namespace

QString filePath(const QString &app)
{
    QString folderName = app;
    folderName.replace(u'/', u'_').replace(u'\\', u'_');
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           folderName + QStringLiteral("/settings.ini");
}

std::optional<QString> read(const QString &app, const QString &section, const QString &key,
                            const QString &defaultValue)
{
    const platform::ProfileValue found = platform::lookupProfileValue(section, key, filePath(app));
    if (found.failed) {
        qCWarning(lcCore) << "cannot read the settings store:" << found.error;
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
    if (!platform::previewMode() && !preparePrivateFile(path)) {
        qCWarning(lcCore) << "cannot create the settings store" << path;
        return false;
    }
    const platform::ProfileWrite result =
        platform::writeProfileString(section, key, platform::valueThatReadsBack(value), path);
    if (!result.ok)
        qCWarning(lcCore) << "cannot save" << section << key << ":" << result.error;
    return result.ok;
}

bool remove(const QString &app, const QString &section, const QString &key)
{
    const platform::ProfileWrite result =
        platform::writeProfileString(section, key, std::nullopt, filePath(app));
    if (!result.ok)
        qCWarning(lcCore) << "cannot delete" << section << key << ":" << result.error;
    return result.ok;
}

} // namespace settings
