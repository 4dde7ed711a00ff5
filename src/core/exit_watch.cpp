#include "core/exit_watch.h"

#include "core/console_window.h"
#include "core/program_state.h"
#include "core/settings_store.h"

namespace core {

bool isExitRequest(const QString &stored)
{
    return stored == QLatin1String("1");
}

bool exitWatchTick(ConsoleWindow &window)
{
    const QString request = settings::get(settings::application, QStringLiteral("EXIT"),
                                          programState().AppTitle, QStringLiteral("0"));
    if (!isExitRequest(request))
        return false;
    window.stopExitWatch();
    window.EndProgram();
    return true;
}

} // namespace core
