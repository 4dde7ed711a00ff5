#include "console/open_command.h"

#include "console/console_log.h"
#include "core/program_state.h"
#include "platform/shell_open.h"

namespace console {

OpenTarget splitOpenCommand(QStringView text)
{
    if (text.startsWith(u'"')) {
        const qsizetype close = text.indexOf(u'"', 1);
        if (close < 0)
            return {text.sliced(1).toString(), {}};
        return {text.sliced(1, close - 1).toString(), text.sliced(close + 1).toString()};
    }
    // A blank in front of the first word separates nothing: such a command stays one word.
    const qsizetype blank = text.indexOf(u' ', 1);
    if (blank < 0)
        return {text.toString(), {}};
    return {text.first(blank).toString(), text.sliced(blank + 1).toString()};
}

} // namespace console

void OpenCommand(const QString &text)
{
    const console::OpenTarget target = console::splitOpenCommand(text);
    if (!platform::shellOpen(target.file, target.parameters, programState().ProgramDir))
        qCWarning(lcConsole).noquote()
            << QStringLiteral("the command \"%1\" did not open").arg(text);
}
