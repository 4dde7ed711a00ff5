#include "console/result_words.h"

#include "console/settings_entries.h"
#include "skin/list_lines.h"

#include <QLabel>

namespace console {

QString labelWords(const QList<const QLabel *> &labels)
{
    QStringList shown;
    for (const QLabel *label : labels) {
        const QString text = label ? label->text().trimmed() : QString();
        if (!text.isEmpty())
            shown.append(text);
    }
    return shown.join(QStringLiteral(". "));
}

skin::LineFacts protectionLineFacts(const QString &line)
{
    if (!isEntryLine(line))
        return {line.trimmed(), skin::LineFacts::Kind::Heading};
    return {lineText(line), skin::LineFacts::Kind::Checkable, lineState(line) == u"True"};
}

skin::LineFacts switchLineFacts(const QString &line)
{
    if (!isEntryLine(line))
        return {line.trimmed(), skin::LineFacts::Kind::Heading};
    return {lineText(line), skin::LineFacts::Kind::Checkable, lineState(line) != u"OFF"};
}

QString switchWords(const QString &line)
{
    const QString state = lineState(line) == u"OFF" ? QStringLiteral("off") : QStringLiteral("on");
    return switchKey(lineText(line)) + u' ' + state;
}

QString protectionWords(bool isProtected)
{
    return isProtected ? QStringLiteral("Protected") : QStringLiteral("Not protected");
}

QString themeChosenWords(const QString &theme)
{
    return theme + QStringLiteral(" chosen");
}

QString themeAppliedWords(const QString &theme)
{
    return QStringLiteral("Theme %1 applied").arg(theme);
}

} // namespace console
