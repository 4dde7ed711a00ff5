#include "skin/skin_problem.h"

#include "skin/skin_log.h"

#include <QStringList>

namespace skin {

QString SkinProblem::severityName() const
{
    return severity == Severity::Error ? QStringLiteral("error") : QStringLiteral("warning");
}

QString SkinProblem::text() const
{
    QString where = file;
    if (line > 0)
        where += u':' + QString::number(line);
    where += u':';
    const QString place = QStringList{section, key}.join(u' ').trimmed();
    if (!place.isEmpty())
        where += u' ' + place + u':';
    return QStringLiteral("%1 %2: %3").arg(where, severityName(), message);
}

void reportSkinProblem(const SkinProblem &problem)
{
    qCWarning(lcSkin).noquote() << problem.text();
}

QString indexTakenMessage(const QString &set, int index)
{
    return QStringLiteral("%1(%2) is already laid out").arg(set).arg(index);
}

} // namespace skin
