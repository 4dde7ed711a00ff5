#include "platform/display_session.h"

#include "platform/platform_log.h"
#include "platform/pointer_source.h"

#include <QGuiApplication>

namespace platform {

namespace {

const char platformVariable[] = "QT_QPA_PLATFORM";

} // namespace

DisplaySession::DisplaySession()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty(platformVariable))
        return;
    // Qt tries the platforms in order: an X server that does not answer leaves Wayland. Without
    // DISPLAY, Wayland is asked for by name: Qt's default may be X11, which would fail.
    qputenv(platformVariable, qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland" : "xcb;wayland");
    m_requested = true;
}

void DisplaySession::settle()
{
    if (m_requested)
        qunsetenv(platformVariable);
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(u"wayland")) {
        followPointerThroughWindowEvents();
        qCInfo(lcPlatform).noquote()
            << "running on Wayland, not through XWayland: mouse-over effects follow the pointer "
               "only "
               "while it is over the console's own windows, and the compositor, not the console, "
               "places its windows (they keep their sizes)";
    } else if (platform == u"xcb" && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qCInfo(lcPlatform).noquote()
            << "running through XWayland on display" << qEnvironmentVariable("DISPLAY")
            << "under the Wayland session: the console follows the pointer and places its "
               "windows as on X11";
    }
}

bool windowMaskCutsDrawing()
{
    return !QGuiApplication::platformName().startsWith(u"wayland");
}

} // namespace platform
