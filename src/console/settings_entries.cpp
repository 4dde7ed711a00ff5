#include "console/settings_entries.h"

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

} // namespace console
