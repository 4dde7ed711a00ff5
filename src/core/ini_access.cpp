#include "core/ini_access.h"

#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/message_box.h"
#include "platform/profile_engine.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcIni, "kesta.core.ini")

namespace {

const QString notFound = QStringLiteral("NotFound");
constexpr int readBufferSize = 32000;

bool reportWrite(const platform::ProfileWrite &result, const QString &file)
{
    if (result.ok)
        return true;
    qCWarning(lcIni) << "cannot change" << file << ":" << result.error;
    platform::showMessage(QStringLiteral("Error Writing Key"));
    return false;
}

} // namespace

std::optional<QString> readIni(const QString &section, const QString &key, const QString &file)
{
    QString &slot = programState().INIValue;
    slot.clear();
    const platform::ProfileRead read =
        platform::getProfileString(section, key, notFound, readBufferSize, file);
    if (read.failed) {
        qCWarning(lcIni) << "cannot read" << file << ":" << read.error;
        platform::showMessage(QStringLiteral("Error Retrieving Key"));
        return std::nullopt;
    }
    if (read.text == notFound)
        return std::nullopt;
    slot = read.text;
    return read.text;
}

bool ReadINI(const QString &section, const QString &key, const QString &file)
{
    return readIni(section, key, file).has_value();
}

bool WriteINI(const QString &section, const QString &key, const QString &value, const QString &file)
{
    programState().INIValue.clear();
    return reportWrite(platform::writeProfileString(section, key, value, file), file);
}

bool DeleteINI(const QString &target, const QString &section, const QString &key, bool iniMode,
               bool quiet)
{
    if (!iniMode)
        return settings::remove(target, section, key);
    // Nothing is shown either way: a failed delete is the caller's to handle.
    platform::ProfileWrite result;
    if (section.isEmpty()) {
        result = platform::deleteProfileFile(target);
    } else {
        const std::optional<QString> keyOrAll = key.isEmpty() ? std::nullopt : std::optional(key);
        result = platform::writeProfileString(section, keyOrAll, std::nullopt, target);
    }
    if (!result.ok && !quiet)
        qCWarning(lcIni) << "cannot delete from" << target << ":" << result.error;
    return result.ok;
}
