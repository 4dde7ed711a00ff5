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
    // Detached, so that the program outlives a dialog or the console and nobody waits for it.
    return QProcess::startDetached(program, words);
}

} // namespace platform
