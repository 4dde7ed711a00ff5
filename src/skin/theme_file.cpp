#include "skin/theme_file.h"

#include "core/ini_access.h"
#include "platform/profile_document.h"
#include "platform/profile_engine.h"
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
    ThemeFile overrides(m_path.chopped(3) + QStringLiteral("ini"));
    // The override file of an override file is the file itself.
    overrides.m_snapshot = m_overrideSnapshot;
    overrides.m_overrideSnapshot = m_overrideSnapshot;
    return overrides;
}

ThemeFile ThemeFile::frozen() const
{
    ThemeFile result(m_path);
    result.m_snapshot =
        std::make_shared<platform::ProfileSnapshot>(platform::profileSnapshot(m_path));
    if (m_path.size() >= 3)
        result.m_overrideSnapshot = std::make_shared<platform::ProfileSnapshot>(
            platform::profileSnapshot(m_path.chopped(3) + QStringLiteral("ini")));
    return result;
}

std::optional<QString> ThemeFile::text(const QString &section, const QString &key) const
{
    return m_snapshot ? readIni(section, key, *m_snapshot) : readIni(section, key, m_path);
}

QString ThemeFile::text(const QString &section, const QString &key, const QString &fallback) const
{
    return text(section, key).value_or(fallback);
}

QString ThemeFile::elementName(const QString &section, const QString &key) const
{
    const QString nameKey = key + QStringLiteral(".Name");
    for (const ThemeFile &file : {overrideFile(), *this}) {
        const QString name = file.text(section, nameKey, {}).trimmed();
        if (!name.isEmpty())
            return name;
    }
    return {};
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

int ThemeFile::lineOf(const QString &section, const QString &key) const
{
    if (!m_snapshot)
        return platform::profileKeyLine(section, key, m_path).value_or(0);
    const platform::ProfileDocument *document = m_snapshot->document();
    return document ? document->keyLine(section, key).value_or(0) : 0;
}

QStringList ThemeFile::keys(const QString &section) const
{
    if (!m_snapshot)
        return platform::profileKeyNames(section, m_path).value_or(QStringList());
    const platform::ProfileDocument *document = m_snapshot->document();
    return document ? document->keyNames(section).value_or(QStringList()) : QStringList();
}

QStringList ThemeFile::sections() const
{
    if (!m_snapshot)
        return platform::profileSectionNames(m_path);
    const platform::ProfileDocument *document = m_snapshot->document();
    return document ? document->sectionNames() : QStringList();
}

SkinProblem ThemeFile::problem(const QString &section, const QString &key, const QString &message,
                               SkinProblem::Severity severity) const
{
    return {m_path, lineOf(section, key), section, key, severity, message};
}

SkinProblem ThemeFile::layoutProblem(const QString &section, int n, const QString &message,
                                     SkinProblem::Severity severity) const
{
    const QString key = layoutKey(n);
    const ThemeFile overrides = overrideFile();
    if (!overrides.path().isEmpty() && overrides.lineOf(section, key) > 0)
        return overrides.problem(section, key, message, severity);
    return problem(section, key, message, severity);
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
