#include "console/settings_entries.h"

#include "core/ini_access.h"
#include "core/program_state.h"
#include "platform/native_path.h"
#include "skin/theme_paths.h"
#include "skin/value_forms.h"

#include <algorithm>

namespace console {
namespace {

constexpr qsizetype prefixLength = 10;
constexpr qsizetype stateLength = 7;

QStringView firstWord(QStringView text)
{
    const qsizetype blank = text.indexOf(u' ');
    return blank < 0 ? text : text.first(blank);
}

} // namespace

bool isEntryLine(QStringView line)
{
    return line.startsWith(u"  ");
}

QString lineText(QStringView line)
{
    return line.size() > prefixLength ? line.sliced(prefixLength).toString() : QString();
}

QString lineState(QStringView line)
{
    return line.first(std::min(line.size(), stateLength)).trimmed().toString();
}

QString protectionLine(bool isProtected, const QString &text)
{
    return (isProtected ? QStringLiteral("  True  : ") : QStringLiteral("  False : ")) + text;
}

QString switchLine(bool isOn, const QString &entry)
{
    return (isOn ? QStringLiteral("  ON    : ") : QStringLiteral("  OFF   : ")) + entry;
}

QString indexKey(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

SecurityEntry securityEntry(const QString &entry)
{
    SecurityEntry result;
    result.number = entry.left(2);
    result.text = entry.mid(3);
    result.section = entrySection(result.text);
    return result;
}

QString entrySection(QStringView text)
{
    return firstWord(text).toString();
}

QString switchKey(QStringView entry)
{
    QStringView key = firstWord(entry);
    if (key.endsWith(u':'))
        key.chop(1);
    return key.toString();
}

skin::ButtonLine readButtonLine(const QString &section, const QString &number,
                                const QString &skinFile)
{
    // An override line that exists but is empty does not hide the theme's own line.
    const QString overridden =
        readIni(section, number, skin::overrideFilePath(skinFile)).value_or(QString());
    if (!overridden.isEmpty())
        return skin::ButtonLine(overridden);
    return skin::ButtonLine(readIni(section, number, skinFile).value_or(QString()));
}

QString skinFileOfHeader(const QString &header)
{
    return platform::nativePath(ThemePath() + header + QStringLiteral(".skn"));
}

QString terminalSkinFile()
{
    return ThemePath() + QStringLiteral("terminal.skn");
}

QString consoleSkinFile()
{
    return ThemePath() + programState().SkinName + QStringLiteral(".skn");
}

} // namespace console
