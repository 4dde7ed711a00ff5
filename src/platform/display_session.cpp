#include "platform/display_session.h"

#include "platform/platform_log.h"
#include "platform/pointer_source.h"

#include <QGuiApplication>
#include <QList>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

const char platformVariable[] = "QT_QPA_PLATFORM";

struct HeldMessage
{
    QtMsgType type;
    QString category;
    QString text;
};
QList<HeldMessage> held;
const char *programName = "";

// What is missing, as the person running the program can check it.
QString missingDisplay()
{
    if (!qEnvironmentVariableIsEmpty(platformVariable))
        return QStringLiteral("the display platform %1=%2 does not start")
            .arg(QLatin1String(platformVariable), qEnvironmentVariable(platformVariable));
    QStringList named;
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            named << QStringLiteral("%1=%2").arg(QLatin1String(variable),
                                                 qEnvironmentVariable(variable));
    }
    if (named.isEmpty())
        return QStringLiteral("no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    return QStringLiteral("no display answers at %1").arg(named.join(QStringLiteral(" or ")));
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        held.append({type, QString::fromLatin1(context.category), text});
        return;
    }
    const QString line = QStringLiteral("%1: %2; to run without a display, set %3=offscreen\n")
                             .arg(QString::fromLocal8Bit(programName), missingDisplay(),
                                  QLatin1String(platformVariable));
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

DisplaySession::DisplaySession(const char *program)
{
    programName = program;
    m_previousHandler = qInstallMessageHandler(holdMessage);
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
    qInstallMessageHandler(m_previousHandler);
    for (const HeldMessage &message : std::as_const(held)) {
        const QByteArray category = message.category.toLatin1();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        qt_message_output(message.type, context, message.text);
    }
    held.clear();
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
