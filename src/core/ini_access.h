#pragma once

#include <QString>

#include <optional>

namespace platform {
class ProfileSnapshot;
}

// INI access for the whole console, over the platform's profile engine.
//
// ReadINI and WriteINI keep the program-wide slot programState().INIValue as the console has
// always defined it: both empty it when they begin, and a successful read leaves the value
// there. readIni() gives the same result as a return value for callers that prefer it.

// True when the key was found; the value is then in INIValue, else INIValue is empty.
// A stored value that is exactly "NotFound" counts as not found. Values longer than 31999
// characters come back cut to 31999. A failure other than a missing file, section or key
// returns false and is logged with file, section, key and reason; it shows "Error Retrieving
// Key" unless that message was shown for the file since the file last changed.
bool ReadINI(const QString &section, const QString &key, const QString &file);

// ReadINI, with the value as result (std::nullopt when not found). Also fills INIValue.
std::optional<QString> readIni(const QString &section, const QString &key, const QString &file);

// readIni() on one version of a file (platform::profileSnapshot): the same value and INIValue,
// but a file that does not read is neither logged nor shown; its snapshot says so.
std::optional<QString> readIni(const QString &section, const QString &key,
                               const platform::ProfileSnapshot &file);

// Writes key=value into [section] of file, creating what is missing. On failure returns false
// with the file as it was, logs file, section, key and reason, and shows "Error Writing Key"
// unless that message was shown for the file since the file last changed.
[[nodiscard]] bool WriteINI(const QString &section, const QString &key, const QString &value,
                            const QString &file);

// iniMode true: target is an INI file; an empty section deletes the file, an empty key the
// whole section, otherwise only the key. iniMode false: target is the settings-store
// application and (section, key) is deleted from the store. quiet true silences every
// failure. Returns false on failure.
[[nodiscard]] bool DeleteINI(const QString &target, const QString &section, const QString &key,
                             bool iniMode, bool quiet);
