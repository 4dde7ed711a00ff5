#pragma once

#include <QString>

#include <optional>

// The per-user settings store shared with the shell: one INI file per application,
// $XDG_CONFIG_HOME/<application>/settings.ini, with sections and keys matched without regard
// to case. Any single-line text is stored and read back exactly.
namespace settings {

inline const QString application = QStringLiteral("KESTA Terminal");

// The stored text, defaultValue when the entry is absent, or std::nullopt when the store exists
// but cannot be read: for a caller that must not take a failure for the default.
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
