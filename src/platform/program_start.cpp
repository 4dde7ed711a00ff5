#include "platform/program_start.h"

#include "platform/native_path.h"

#include <QProcess>
#include <QStringList>

namespace platform {

bool startProgram(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty() || words.first().isEmpty())
        return false;
    QString program = words.takeFirst();
    // Commands come from the theme, written for a system that ignores letter case.
    if (program.contains(u'\\') || program.contains(u'/'))
        program = nativePath(program);
    return startProgram(program, words, QString());
}

bool startProgram(const QString &program, const QStringList &arguments,
                  const QString &workingFolder)
{
    if (program.isEmpty())
        return false;
    const QString folder = workingFolder.isEmpty() ? QString() : nativePath(workingFolder);
    // Detached, so that the program outlives a dialog or the console and nobody waits for it.
    return QProcess::startDetached(program, arguments, folder);
}

} // namespace platform
