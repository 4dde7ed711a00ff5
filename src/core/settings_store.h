#pragma once

#include <QString>

#include <optional>

// The per-user settings store shared with the shell: one INI file per application,
// $XDG_CONFIG_HOME/<application>/settings.ini, with sections and keys matched without regard
// to case. Any single-line text is stored and read back exactly.
//
// The store holds the shell's password, so it is used only while its folder is the user's alone:
// a real folder (no symbolic link) the user owns and nobody else may write to. Missing folders
// are created so (mode 0700, whatever the umask), the file with mode 0600. Otherwise, and
// whenever the store cannot be read or written, the console shows "Error Retrieving Key" or
// "Error Writing Key" once until the file changes, and the reason goes to the log.
namespace settings {

inline const QString application = QStringLiteral("KESTA Terminal");

struct Lookup
{
    std::optional<QString> value; // nothing when the entry is absent or the store unusable
    QString error;                // why the store could not be read
};

// The stored text, or why it could not be read.
Lookup lookup(const QString &app, const QString &section, const QString &key);

// The stored text, defaultValue when the entry is absent, or std::nullopt (after the message, as
// get() shows it) when the store cannot be read: for a caller that must not take a failure for
// the default.
std::optional<QString> read(const QString &app, const QString &section, const QString &key,
                            const QString &defaultValue = {});

// The stored text, or defaultValue when the entry is absent or the store cannot be read.
QString get(const QString &app, const QString &section, const QString &key,
            const QString &defaultValue = {});

// Creates or replaces the entry. False when the text holds a line break or the file could not
// be written; the store then keeps its old content.
[[nodiscard]] bool save(const QString &app, const QString &section, const QString &key,
                        const QString &value);

// Removes the entry; removing an absent entry succeeds.
[[nodiscard]] bool remove(const QString &app, const QString &section, const QString &key);

// Where the store of an application lives.
QString filePath(const QString &app);

} // namespace settings
