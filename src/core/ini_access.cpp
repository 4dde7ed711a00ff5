#include "core/ini_access.h"

#include "core/core_log.h"
#include "core/message_once.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/message_box.h"
#include "platform/profile_engine.h"

#include <QLoggingCategory>

#include <optional>

namespace {

const QString notFound = QStringLiteral("NotFound");
constexpr int readBufferSize = 32000;

struct Failure
{
    QString message;
    QString logged;
};
const Failure readFailure{QStringLiteral("Error Retrieving Key"), QStringLiteral("cannot read")};
const Failure writeFailure{QStringLiteral("Error Writing Key"), QStringLiteral("cannot change")};

// Every failure goes to the log, naming where it happened (never the value: it may be a
// password); the person sees the message once per file until the file changes.
void report(const Failure &failure, const QString &file, const QString &section, const QString &key,
            const QString &reason)
{
    qCWarning(lcCore).noquote()
        << QStringLiteral("%1 %2, [%3] %4: %5").arg(failure.logged, file, section, key, reason);
    if (isNewFor(failure.message, file))
        platform::showMessage(failure.message);
}

// Why value could be written but not read back as it is, or empty when it can.
QString unreadable(const QString &value)
{
    if (value == notFound)
        return QStringLiteral("the value would read as not found");
    if (value.size() >= readBufferSize)
        return QStringLiteral("the value is longer than a read returns");
    return {};
}

} // namespace

std::optional<QString> readIni(const QString &section, const QString &key, const QString &file)
{
    QString &slot = programState().INIValue;
    slot.clear();
    const platform::ProfileRead read =
        platform::getProfileString(section, key, notFound, readBufferSize, file);
    if (read.failed) {
        report(readFailure, file, section, key, read.error);
        return std::nullopt;
    }
    if (read.text == notFound)
        return std::nullopt;
    slot = read.text;
    return read.text;
}

std::optional<QString> readIni(const QString &section, const QString &key,
                               const platform::ProfileSnapshot &file)
{
    QString &slot = programState().INIValue;
    slot.clear();
    const platform::ProfileRead read = file.read(section, key, notFound, readBufferSize);
    if (read.failed || read.text == notFound)
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
    if (const QString why = unreadable(value); !why.isEmpty()) {
        report(writeFailure, file, section, key, why);
        return false;
    }
    const platform::ProfileWrite result =
        platform::writeProfileString(section, key, platform::valueThatReadsBack(value), file);
    if (!result.ok)
        report(writeFailure, file, section, key, result.error);
    return result.ok;
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
        qCWarning(lcCore).noquote() << QStringLiteral("cannot delete from %1, [%2] %3: %4")
                                           .arg(target, section, key, result.error);
    return result.ok;
}
