#include "x_session.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/prctl.h>
#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : 0;
    std::free(reply);
    return value;
}

} // namespace

void startChild(QProcess &process, const QString &program, const QStringList &arguments,
                const QProcessEnvironment &environment)
{
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

void stopChild(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

bool copyDemoThemes(const QString &programDir)
{
    return QDir().mkpath(programDir) &&
           QProcess::execute(u"cp"_s, {u"-rT"_s,
                                       qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/demo/Themes"_s,
                                       programDir + u"/Themes"_s}) == 0;
}

bool XSession::start()
{
    for (const QString &tool : {u"Xvfb"_s, u"xdotool"_s}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_error = tool + u" is not installed (scripts/install-deps.sh)"_s;
            return false;
        }
    }
    // -displayfd picks a free display number, so test files running side by side each get their
    // own, and writes it once the server takes clients. Its log goes to a file: a pipe read by
    // nobody could fill and stop the server.
    m_server.setStandardErrorFile(m_folder.filePath(u"xvfb.log"_s));
    startChild(m_server, u"Xvfb"_s,
               {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"%1x%2x24"_s.arg(Width).arg(Height),
                u"-nolisten"_s, u"tcp"_s, u"-noreset"_s},
               QProcessEnvironment::systemEnvironment());
    QByteArray number;
    QDeadlineTimer deadline(15000);
    while (!number.contains('\n') && !deadline.hasExpired() &&
           m_server.state() != QProcess::NotRunning) {
        m_server.waitForReadyRead(100);
        number += m_server.readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        QFile log(m_folder.filePath(u"xvfb.log"_s));
        log.open(QIODevice::ReadOnly);
        m_error = u"Xvfb gives no display: "_s + QString::fromLocal8Bit(log.readAll());
        return false;
    }
    m_display = u":"_s + QString::fromLatin1(number.trimmed());
    return true;
}

QProcessEnvironment XSession::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, m_display);
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    for (const QString &name : {u"WAYLAND_DISPLAY"_s, u"SESSION_MANAGER"_s, u"XAUTHORITY"_s})
        environment.remove(name);
    return environment;
}

void XSession::pause(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

bool XSession::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    for (QDeadlineTimer deadline(timeoutMs);; QThread::msleep(10)) {
        if (m_idle)
            m_idle();
        if (condition())
            return true;
        if (deadline.hasExpired())
            return false;
    }
}

bool XSession::finish(QProcess &process, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // waitForFinished answers false for a process that has already ended, so ask the state.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(20)) {
        if (m_idle)
            m_idle();
        if (deadline.hasExpired()) {
            stopChild(process);
            return false;
        }
    }
    return process.error() != QProcess::FailedToStart &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool XSession::gesture(const QStringList &commands, QByteArray *output)
{
    QProcess process;
    startChild(process, u"xdotool"_s, commands, clientEnvironment());
    const bool done = finish(process, 10000);
    if (output)
        *output = process.readAllStandardOutput().trimmed();
    return done;
}

QList<XSession::Window> XSession::visibleWindows()
{
    // xdotool's own pattern misses titles beyond ASCII (the system prompt's has a dash), so each
    // title is read as it is. None found is status 1 with no output: an empty list either way.
    QByteArray ids;
    gesture({u"search"_s, u"--onlyvisible"_s, u"--name"_s, u"."_s}, &ids);
    QList<Window> found;
    for (const QString &id : QString::fromLatin1(ids).split(u'\n', Qt::SkipEmptyParts)) {
        QByteArray title;
        if (gesture({u"getwindowname"_s, id}, &title))
            found.append({id, QString::fromUtf8(title)});
    }
    return found;
}

QStringList XSession::windows(const QString &titlePattern)
{
    const QRegularExpression pattern(titlePattern);
    QStringList matching;
    for (const Window &window : visibleWindows()) {
        if (pattern.match(window.title).hasMatch())
            matching.append(window.id);
    }
    return matching;
}

QString XSession::waitForWindow(const QString &titlePattern, int timeoutMs)
{
    QStringList ids;
    waitFor([&] { return (ids = windows(titlePattern)).size() == 1; }, timeoutMs);
    return ids.size() == 1 ? ids.first() : QString();
}

std::optional<QRect> XSession::geometry(const QString &window)
{
    QByteArray output;
    if (!gesture({u"getwindowgeometry"_s, u"--shell"_s, window}, &output))
        return std::nullopt;
    const auto value = [&](const char *name) {
        const QRegularExpression line(QString::fromLatin1(name) + u"=(-?\\d+)"_s);
        return line.match(QString::fromLatin1(output)).captured(1).toInt();
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
}

bool XSession::answersPing(const QString &window, int timeoutMs)
{
    const xcb_window_t id = window.toUInt();
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> owner(
        xcb_connect(m_display.toLatin1().constData(), nullptr), xcb_disconnect);
    xcb_connection_t *connection = owner.get();
    if (id == 0 || xcb_connection_has_error(connection))
        return false;
    // The answer goes to the root window for whoever listens to its structure (Qt names one of
    // these two masks, depending on its version).
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t ping{};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = id;
    ping.type = atom(connection, "WM_PROTOCOLS");
    ping.data.data32[0] = atom(connection, "_NET_WM_PING");
    ping.data.data32[1] = XCB_CURRENT_TIME;
    ping.data.data32[2] = id;
    xcb_send_event(connection, 0, id, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&ping));
    xcb_flush(connection);
    for (const QDeadlineTimer deadline(timeoutMs); !deadline.hasExpired(); QThread::msleep(10)) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const auto *answer = reinterpret_cast<const xcb_client_message_event_t *>(event);
            const bool answered =
                (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && answer->type == ping.type &&
                answer->data.data32[0] == ping.data.data32[0] && answer->data.data32[2] == id;
            std::free(event);
            if (answered)
                return true;
        }
    }
    return false;
}

QImage XSession::grab()
{
    const QString file = m_folder.filePath(u"screen.png"_s);
    QFile::remove(file);
    QProcess process;
    startChild(process, qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-screen-grab"_s, {file},
               clientEnvironment());
    return finish(process, 10000) ? QImage(file).convertToFormat(QImage::Format_RGB32) : QImage();
}
