// How soon the console acts on what the shell writes, on a virtual display, each figure the
// median of several runs taken in turns with its peer: the same console with its file watch
// polling every 500 ms (KESTA_FILE_WATCH=poll), as the exit request was watched before.
// - the exit request: from the moment the shell starts writing it to the end of the process;
// - a switch the shell flips in terminal.skn: from the moment it starts writing to the first
//   change on the screen (the switch list shows the new state; the theme has no animation).
// Needs Xvfb; without it the benchmark says so and reports nothing.
#include "bench_report.h"
#include "console_world.h"
#include "core/ini_access.h"
#include "core/settings_store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace {

const QString consoleProgram = QStringLiteral(KESTA_BIN_DIR "/kesta-security");
constexpr int runs = 7;

// The whole screen as the X server holds it.
class Screen
{
public:
    explicit Screen(const QString &display)
        : m_connection(xcb_connect(qPrintable(display), nullptr))
    {
        if (xcb_connection_has_error(m_connection) == 0)
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    }
    ~Screen() { xcb_disconnect(m_connection); }
    bool isOpen() const { return m_root != nullptr; }

    QByteArray grab() const
    {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            m_connection,
            xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root->root, 0, 0,
                          m_root->width_in_pixels, m_root->height_in_pixels, ~0u),
            nullptr);
        if (!reply)
            return {};
        const QByteArray pixels(reinterpret_cast<const char *>(xcb_get_image_data(reply)),
                                xcb_get_image_data_length(reply));
        std::free(reply);
        return pixels;
    }

private:
    xcb_connection_t *m_connection;
    xcb_screen_t *m_root = nullptr;
};

// The console on its own store; ready once it has cleared the exit request and settled.
class Console
{
public:
    Console(const QString &display, const QString &home, const QString &programDir, bool polled)
        : m_home(home)
    {
        m_process = bench::startOnDisplay(
            display, home, consoleProgram, {}, programDir,
            polled ? QStringList{QStringLiteral("KESTA_FILE_WATCH=poll")} : QStringList{});
    }
    ~Console() { bench::stop(*m_process); }

    bool ready()
    {
        for (int wait = 0; wait < 200; ++wait) {
            QThread::msleep(50);
            if (storeValue(QStringLiteral("EXIT"), QStringLiteral("KESTA Terminal - Security")) ==
                u"0") {
                QThread::sleep(3); // laid out and shown
                return m_process->state() == QProcess::Running;
            }
        }
        return false;
    }

    // Milliseconds from the start of the shell's write to the end of the process; -1 when it
    // did not end within 10 s.
    double exitTime()
    {
        QElapsedTimer clock;
        clock.start();
        if (!asShell([] {
                return settings::save(settings::application, QStringLiteral("EXIT"),
                                      QStringLiteral("KESTA Terminal - Security"),
                                      QStringLiteral("1"));
            }))
            return -1.0;
        if (!m_process->waitForFinished(10000))
            return -1.0;
        return double(clock.nsecsElapsed()) / 1e6;
    }

    // Milliseconds from the start of the shell's write of a switch, turned the other way, to
    // the first change on the screen; -1 when nothing changed within 3 s.
    double switchTime(const Screen &screen, const QString &terminalSkin)
    {
        const bool on = readIni(QStringLiteral("DEFAULT"), QStringLiteral("Clock"), terminalSkin)
                            .value_or(QString()) == u"False";
        const QByteArray before = screen.grab();
        QElapsedTimer clock;
        clock.start();
        if (!WriteINI(QStringLiteral("DEFAULT"), QStringLiteral("Clock"),
                      on ? QStringLiteral("True") : QStringLiteral("False"), terminalSkin))
            return -1.0;
        while (clock.elapsed() < 3000) {
            if (screen.grab() != before)
                return double(clock.nsecsElapsed()) / 1e6;
        }
        return -1.0;
    }

private:
    // The shell's side of the store, which this process shares by XDG_CONFIG_HOME.
    template<typename Write>
    bool asShell(Write write) const
    {
        qputenv("XDG_CONFIG_HOME", (m_home + QStringLiteral("/config")).toUtf8());
        return write();
    }
    QString storeValue(const QString &section, const QString &key) const
    {
        return asShell([&] { return true; })
                   ? settings::get(settings::application, section, key, QStringLiteral("-"))
                   : QString();
    }

    QString m_home;
    std::unique_ptr<QProcess> m_process;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    bench::VirtualDisplay display;
    const QString programDir = root.filePath(QStringLiteral("program"));
    if (display.display().isEmpty() || !QFile::exists(consoleProgram) ||
        !bench::copyDemo(QStringLiteral(KESTA_DEMO_DIR), programDir, true)) {
        std::fprintf(stderr, "bench_shell_changes: needs Xvfb and %s\n",
                     qPrintable(consoleProgram));
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", root.filePath(QStringLiteral("shell-runtime")).toUtf8());
    QDir().mkpath(root.filePath(QStringLiteral("shell-runtime")));
    QFile::setPermissions(root.filePath(QStringLiteral("shell-runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const Screen screen(display.display());
    const QString terminalSkin = programDir + QStringLiteral("/Themes/Default/terminal.skn");
    std::vector<double> exitNotified, exitPolled, switchNotified, switchPolled;
    for (int run = 0; run < runs && screen.isOpen(); ++run) {
        for (const bool polled : {false, true}) {
            Console console(display.display(),
                            root.filePath(QStringLiteral("c%1-%2").arg(run).arg(polled)),
                            programDir, polled);
            if (!console.ready()) {
                std::fprintf(stderr, "bench_shell_changes: a console did not start\n");
                return 1;
            }
            // Each write a while after the last: the poll's phase differs from run to run.
            QThread::msleep(137 * run % 500);
            (polled ? switchPolled : switchNotified)
                .push_back(console.switchTime(screen, terminalSkin));
            QThread::msleep(300 + 113 * run % 500);
            (polled ? exitPolled : exitNotified).push_back(console.exitTime());
        }
    }
    for (const auto &[name, samples] :
         {std::pair{"exit, notified", exitNotified}, std::pair{"exit, polled", exitPolled},
          std::pair{"switch, notified", switchNotified},
          std::pair{"switch, polled", switchPolled}}) {
        QStringList figures;
        for (double sample : samples)
            figures << QString::number(sample, 'f', 1);
        std::fprintf(stderr, "bench_shell_changes: %s: %s ms\n", name,
                     qPrintable(figures.join(u' ')));
    }
    const auto failed = [](const std::vector<double> &samples) {
        return samples.size() < runs || *std::min_element(samples.cbegin(), samples.cend()) < 0;
    };
    if (failed(exitNotified) || failed(exitPolled) || failed(switchNotified) ||
        failed(switchPolled)) {
        std::fprintf(stderr, "bench_shell_changes: a console did not act on the shell's write\n");
        return 1;
    }
    const double exit = bench::median(exitNotified);
    bench::printRow("exit request: the shell's write to the console's end", exit,
                    "the same, store polled every 500 ms (as before)", bench::median(exitPolled),
                    "ms", "<= 50 ms", exit <= 50.0);
    const double shown = bench::median(switchNotified);
    bench::printRow("a switch flipped by the shell: write to the list showing it", shown,
                    "the same, files polled every 500 ms", bench::median(switchPolled), "ms",
                    "<= 100 ms", shown <= 100.0);
    return 0;
}
