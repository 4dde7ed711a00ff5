// The console installed into a folder of its own runs with nothing of the source or build tree;
// under a headless Wayland compositor it runs through XWayland when there is one and on Wayland
// itself when not, and says which. Each run ends on the shell's exit request. On Wayland itself
// a shaped dialog shows in its outline in what the compositor draws.

#include "test_environment.h"
#include "x_session.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString exitKey = u"KESTA Terminal - Security"_s;

// The exit status, or -1 when the program did not end normally in time.
int run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env,
        QString *output = nullptr)
{
    QProcess process;
    startChild(process, program, arguments, env);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitCode();
}

} // namespace

class TestE2eDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void installedConsoleRunsOnItsOwn();
    void underWayland_data();
    void underWayland();
    void shapedDialogOnWayland();

private:
    QString installed(const QString &path) const { return m_root.filePath(u"prefix/"_s + path); }
    // A private home, store and runtime folder and nothing of the test's environment; the store
    // names the demo copy and holds a stale exit request that the console must reset.
    QProcessEnvironment makeWorld(const QString &name);
    // Runs whileRunning once the console has reset the exit request, then asks it to end; true
    // when it ended with status 0.
    bool runUntilExitRequest(const QProcessEnvironment &env, QString &log,
                             const std::function<void()> &whileRunning = {});

    QTemporaryDir m_root;
};

void TestE2eDesktop::initTestCase()
{
    QCOMPARE(
        run(qEnvironmentVariable("KESTA_CMAKE"),
            {u"--install"_s, qEnvironmentVariable("KESTA_BUILD_DIR"), u"--prefix"_s, installed({})},
            QProcessEnvironment::systemEnvironment()),
        0);
    QVERIFY(copyDemoThemes(m_root.filePath(u"program"_s)));
}

QProcessEnvironment TestE2eDesktop::makeWorld(const QString &name)
{
    const QString home = m_root.filePath(name);
    QDir().mkpath(home + u"/runtime"_s);
    QFile::setPermissions(home + u"/runtime"_s,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env;
    env.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
    env.insert(u"HOME"_s, home);
    env.insert(u"XDG_CONFIG_HOME"_s, home + u"/config"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, home + u"/runtime"_s);
    env.insert(u"PULSE_SERVER"_s, u"unix:"_s + home + u"/no-sound-server"_s);
    for (const QStringList &arguments :
         {QStringList{u"set"_s, u"Default"_s, u"ProgramDir"_s, m_root.filePath(u"program"_s)},
          QStringList{u"set"_s, u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Default\\"_s},
          QStringList{u"request-exit"_s}}) {
        if (run(installed(u"bin/kesta-store"_s), arguments, env) != 0)
            return {};
    }
    return env;
}

bool TestE2eDesktop::runUntilExitRequest(const QProcessEnvironment &env, QString &log,
                                         const std::function<void()> &whileRunning)
{
    QProcess console;
    console.setWorkingDirectory(env.value(u"HOME"_s));
    startChild(console, installed(u"bin/kesta-security"_s), {}, env);
    const QString store = installed(u"bin/kesta-store"_s);
    QString exitRequest;
    for (QDeadlineTimer deadline(20000);
         exitRequest != u"0\n" && !deadline.hasExpired() && !console.waitForFinished(100);)
        run(store, {u"get"_s, u"EXIT"_s, exitKey}, env, &exitRequest);
    if (exitRequest == u"0\n" && whileRunning)
        whileRunning();
    run(store, {u"request-exit"_s}, env);
    const bool ended = console.waitForFinished(5000) &&
                       console.exitStatus() == QProcess::NormalExit && console.exitCode() == 0;
    stopChild(console);
    log = QString::fromUtf8(console.readAllStandardError());
    return ended;
}

void TestE2eDesktop::installedConsoleRunsOnItsOwn()
{
    for (const QByteArray &file : readBytes(testData(u"e2e/installed_files.txt"_s)).split('\n'))
        QVERIFY2(file.isEmpty() || QFile::exists(installed(QString::fromUtf8(file))), file);

    QProcessEnvironment env = makeWorld(u"offscreen"_s);
    QVERIFY(!env.isEmpty());
    QString output; // answered without a display
    for (const QString &tool : {u"kesta-security"_s, u"kesta-store"_s, u"kesta-skin-check"_s}) {
        QCOMPARE(run(installed(u"bin/"_s + tool), {u"--version"_s}, env, &output), 0);
        QVERIFY2(output.contains(QRegularExpression(u"^%1 \\d+\\.\\d+\\.\\d+\\n$"_s.arg(tool))),
                 qPrintable(output));
    }
    QProcess bare; // no display at all: one line says what is missing and what to do, no core
    startChild(bare, installed(u"bin/kesta-security"_s), {}, env);
    QVERIFY(bare.waitForFinished(30000) && bare.exitStatus() == QProcess::NormalExit);
    QCOMPARE(bare.exitCode(), 1);
    QVERIFY(bare.readAllStandardError().endsWith("set QT_QPA_PLATFORM=offscreen\n"));
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    QString log;
    QVERIFY2(runUntilExitRequest(env, log), qPrintable(log));

#ifndef __SANITIZE_ADDRESS__ // a sanitised program names its source files in its reports
    for (QDirIterator it(installed({}), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char *tree : {"KESTA_SOURCE_DIR", "KESTA_BUILD_DIR"})
            QVERIFY2(!bytes.contains(qgetenv(tree)),
                     qPrintable(file.fileName() + u" names "_s + tree));
    }
#endif
}

void TestE2eDesktop::underWayland_data()
{
    QTest::addColumn<bool>("xwayland");
    QTest::addColumn<QString>("said");
    QTest::newRow("with XWayland") << true << u"running through XWayland on display :"_s;
    QTest::newRow("Wayland alone") << false << u"running on Wayland, not through XWayland: "_s;
}

void TestE2eDesktop::underWayland()
{
    QFETCH(bool, xwayland);
    QFETCH(QString, said);
    if (QStandardPaths::findExecutable(u"weston"_s).isEmpty())
        QSKIP("weston is not installed (scripts/install-deps.sh)");
    QProcessEnvironment env = makeWorld(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(!env.isEmpty());
    const QString westonLog = env.value(u"HOME"_s) + u"/weston.log"_s;
    QStringList arguments = {u"--backend=headless-backend.so"_s, u"--socket=wayland-kesta"_s,
                             u"--no-config"_s, u"--idle-time=0"_s, u"--log="_s + westonLog};
    if (xwayland)
        arguments << u"--xwayland"_s;
    QProcess weston;
    startChild(weston, u"weston"_s, arguments, env);
    // Weston names the X display it serves once it listens for X clients.
    const QRegularExpression listening(u"xserver listening on display (:\\d+)"_s);
    QString display;
    const auto ready = [&] {
        display = listening.match(QString::fromUtf8(readBytes(westonLog))).captured(1);
        return QFile::exists(env.value(u"XDG_RUNTIME_DIR"_s) + u"/wayland-kesta"_s) &&
               (!xwayland || !display.isEmpty());
    };
    for (QDeadlineTimer deadline(15000);
         !ready() && !deadline.hasExpired() && !weston.waitForFinished(100);) {
    }
    if (!ready()) {
        stopChild(weston);
        QSKIP("weston does not start here");
    }
    // As a Wayland session sets it: left to itself, Qt would then choose Wayland.
    env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    env.insert(u"WAYLAND_DISPLAY"_s, u"wayland-kesta"_s);
    if (xwayland)
        env.insert(u"DISPLAY"_s, display);
    // An X11 client is seen by the other clients of its X server.
    QString xWindows;
    const auto findOnX = [&] {
        for (int tries = 0; xWindows.isEmpty() && tries < 50; ++tries) {
            QTest::qWait(100);
            run(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--name"_s, u'^' + exitKey + u'$'},
                env, &xWindows);
        }
    };
    QString log;
    const bool ended = runUntilExitRequest(env, log, xwayland ? findOnX : std::function<void()>());
    stopChild(weston);
    QVERIFY2(ended, qPrintable(log));
    QCOMPARE(log.count(said), 1);
    QCOMPARE(xWindows.count(u'\n'), xwayland ? 1 : 0);
}

// What the compositor draws of the password dialog, from its own screenshot: the desktop through
// the mask colour, the dialog elsewhere. (A headless weston has no pointer: whether the pointer
// passes the cut corners and leaves a button's over picture is not seen here.)
void TestE2eDesktop::shapedDialogOnWayland()
{
    QProcessEnvironment env = makeWorld(u"shaped"_s);
    QVERIFY(!env.isEmpty());
    const QString home = env.value(u"HOME"_s);
    QProcess weston; // drawing into memory, so that its screenshot shows what it draws
    startChild(weston, u"weston"_s,
               {u"--backend=headless-backend.so"_s, u"--use-pixman"_s, u"--width=800"_s,
                u"--height=600"_s, u"--shell=fullscreen-shell.so"_s, u"--socket=wayland-shaped"_s,
                u"--debug"_s, u"--log="_s + home + u"/weston.log"_s},
               env);
    for (QDeadlineTimer deadline(15000);
         !QFile::exists(env.value(u"XDG_RUNTIME_DIR"_s) + u"/wayland-shaped"_s) &&
         !deadline.hasExpired() && !weston.waitForFinished(100);) {
    }
    if (weston.state() != QProcess::Running)
        QSKIP("weston does not start here");
    env.insert(u"WAYLAND_DISPLAY"_s, u"wayland-shaped"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
    env.insert(u"QT_WAYLAND_SHELL_INTEGRATION"_s, u"fullscreen-shell-v1"_s); // shown centred
    QProcess dialog;
    startChild(dialog, QCoreApplication::applicationDirPath() + u"/e2e_shaped_dialog"_s,
               {m_root.filePath(u"program"_s)}, env);
    QVERIFY2(dialog.waitForReadyRead(20000) && dialog.readAllStandardOutput() == "shown\n",
             dialog.readAllStandardError().constData());
    QProcess shooter;
    shooter.setWorkingDirectory(home);
    startChild(shooter, u"weston-screenshooter"_s, {}, env);
    const bool shot = shooter.waitForFinished(10000);
    stopChild(dialog);
    stopChild(weston);
    const QStringList shots = QDir(home).entryList({u"wayland-screenshot*.png"_s});
    QVERIFY2(shot && shots.size() == 1, shooter.readAllStandardError().constData());
    const QImage screen(home + u'/' + shots[0]);

    const QImage background(m_root.filePath(u"program/Themes/Default/input.bmp"_s));
    const QPoint at((screen.width() - background.width()) / 2,
                    (screen.height() - background.height()) / 2);
    const QRgb mask = qRgb(255, 0, 255), desktop = screen.pixel(0, 0);
    // Told from the desktop alone: the compositor's colours may be a step off the picture's.
    qint64 masked = 0, seeThrough = 0, covered = 0;
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            const bool isMask = !((background.pixel(x, y) ^ mask) & 0xffffff);
            const bool showsDesktop = screen.pixel(at + QPoint(x, y)) == desktop;
            (isMask ? seeThrough : covered) += isMask == showsDesktop;
            masked += isMask;
        }
    }
    const qint64 solid = qint64(background.width()) * background.height() - masked;
    QVERIFY2(seeThrough > masked * 0.99 && covered > solid * 0.99,
             qPrintable(QString::asprintf("%lld of %lld see-through, %lld of %lld covered",
                                          seeThrough, masked, covered, solid)));
}

QTEST_GUILESS_MAIN(TestE2eDesktop)
#include "tst_e2e_desktop.moc"
