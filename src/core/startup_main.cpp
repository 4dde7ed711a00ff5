#include "core/startup_main.h"

#include "core/console_window.h"
#include "core/core_log.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "core/window_placement.h"
#include "platform/screen_metrics.h"
#include "platform/single_instance.h"

namespace core {
namespace {

// No stored text holds a line break, so this default tells an absent entry from any value.
const QString absentMark = QStringLiteral("\n");

std::optional<QString> stored(const QString &section, const QString &key)
{
    QString value = settings::get(settings::application, section, key, absentMark);
    if (value == absentMark)
        return std::nullopt;
    return value;
}

QString storedOr(const QString &section, const QString &key)
{
    return settings::get(settings::application, section, key, QString());
}

void placeWindow(ConsoleWindow &window)
{
    const platform::TwipsFactors factors = window.twipsFactors();
    if (shellIsRunning(stored(QStringLiteral("General"), QStringLiteral("Running")))) {
        const QString screen = QStringLiteral("Screen");
        const StoredScreenArea area{
            stored(screen, QStringLiteral("Left")), stored(screen, QStringLiteral("Top")),
            stored(screen, QStringLiteral("Right")), stored(screen, QStringLiteral("Bottom"))};
        window.place(placeInShellArea(area, window.auxiliaryRectangle(), factors,
                                      platform::devicePixelRatio()));
    } else {
        window.place(placeInsideAuxiliary(window.auxiliaryRectangle()));
    }
}

} // namespace

StartupResult StartupMain(ConsoleWindow &window, platform::SingleInstance &instance)
{
    ProgramState &state = programState();
    window.hideFakeButton();

    if (!instance.claim()) {
        // Whatever looks for the running console by its title must not find this one.
        window.setCaption(QStringLiteral("KESTA Terminal - starting"));
        instance.activateRunning();
        return StartupResult::AlreadyRunning;
    }

    window.setCaption(state.AppTitle);
    // An exit request left over from an earlier run must not end this one.
    if (!settings::save(settings::application, QStringLiteral("EXIT"), state.AppTitle,
                        QStringLiteral("0")))
        qCWarning(lcCore) << "the exit request of an earlier run could not be cleared";
    window.startExitWatch();
    placeWindow(window);

    state.ProgramDir = storedOr(QStringLiteral("Default"), QStringLiteral("ProgramDir"));
    state.ThemeDir = storedOr(QStringLiteral("Default"), QStringLiteral("ThemeDir"));
    state.InitialControlCount = window.elementCount();
    window.openTheme();

    window.applyBackGround();
    // The sound starts before the console is visible.
    window.playStartupSound();
    // A progressive build is there to be watched, so the window shows first; any other console
    // shows once, laid out, when its caller has filled it, instead of an empty window first.
    if (state.Animated)
        window.showAndRunEvents();
    window.layOut();
    return StartupResult::Started;
}

} // namespace core
