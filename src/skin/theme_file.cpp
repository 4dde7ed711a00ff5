#include "skin/theme_file.h"

#include "core/ini_access.h"
#include "skin/layout_line.h"
#include "skin/value_forms.h"

namespace skin {

ThemeFile::ThemeFile(QString path)
    : m_path(std::move(path))
{}

ThemeFile ThemeFile::overrideFile() const
{
    if (m_path.size() < 3)
        return {};
    return ThemeFile(m_path.chopped(3) + QStringLiteral("ini"));
}

std::optional<QString> ThemeFile::text(const QString &section, const QString &key) const
{
    return readIni(section, key, m_path);
}

QString ThemeFile::text(const QString &section, const QString &key, const QString &fallback) const
{
    return text(section, key).value_or(fallback);
}

bool ThemeFile::boolean(const QString &section, const QString &key, bool fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? toBoolean(*value).value_or(fallback) : fallback;
}

qint32 ThemeFile::wholeNumber(const QString &section, const QString &key, qint32 fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? toWholeNumber(*value).value_or(fallback) : fallback;
}

quint32 ThemeFile::colour(const QString &section, const QString &key, quint32 fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? toColour(*value).value_or(fallback) : fallback;
}

quint32 ThemeFile::maskColour(const QString &section, const QString &key, quint32 fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? maskColourValue(*value) : fallback;
}

QStringList ThemeFile::fields(const QString &section, const QString &key, int expected,
                              const QStringList &fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? fieldList(*value, expected) : fallback;
}

BoxDescription ThemeFile::box(const QString &section, const QString &key,
                              const BoxDescription &fallback) const
{
    const std::optional<QString> value = text(section, key);
    return value ? parseBoxDescription(*value) : fallback;
}

std::optional<QString> ThemeFile::layoutLine(const QString &section, int n) const
{
    const QString key = layoutKey(n);
    std::optional<QString> line = text(section, key);
    if (!line)
        return std::nullopt;
    const ThemeFile overrides = overrideFile();
    if (overrides.path().isEmpty())
        return line;
    if (std::optional<QString> replaced = overrides.text(section, key))
        return replaced;
    return line;
}

ButtonLine ThemeFile::buttonLine(const QString &section, const QString &key) const
{
    const QString overridden = overrideFile().text(section, key, QString());
    if (!overridden.isEmpty())
        return ButtonLine(overridden);
    return ButtonLine(text(section, key, QString()));
}

bool ThemeFile::write(const QString &section, const QString &key, const QString &value) const
{
    return WriteINI(section, key, value, m_path);
}

bool ThemeFile::removeQuietly(const QString &section, const QString &key) const
{
    return DeleteINI(m_path, section, key, true, true);
}

} // namespace skin
