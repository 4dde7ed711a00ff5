// The console installed into a folder of its own runs with nothing of the source or build tree;
// under a headless Wayland compositor it runs through XWayland when there is one and on Wayland
// itself when not, and says which. Each run ends on the shell's exit request. On Wayland itself
// a shaped dialog shows in its outline in what the compositor draws.

#include "screen_checks.h"
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
    // A headless weston drawing into memory on `socket`, with a plain background and no panel;
    // false when it does not start here.
    bool startWeston(QProcess &weston, QProcessEnvironment &env, const QString &socket,
                     const QStringList &options);
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
    // No display at all: one line says what is missing and what to do, and no core is left.
    QProcess displayless;
    startChild(displayless, installed(u"bin/kesta-security"_s), {}, env);
    QVERIFY(displayless.waitForFinished(30000));
    QCOMPARE(displayless.exitStatus(), QProcess::NormalExit);
    QCOMPARE(displayless.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(displayless.readAllStandardError()),
             u"kesta-security: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); to run "
             "without a display, set QT_QPA_PLATFORM=offscreen\n"_s);

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
    QProcess weston;
    if (!startWeston(weston, env, u"wayland-kesta"_s,
                     xwayland ? QStringList{u"--xwayland"_s} : QStringList{}))
        QSKIP("weston does not start here");
    QString display;
    if (xwayland) {
        // Weston names the X display it serves once it listens for X clients.
        const QRegularExpression listening(u"xserver listening on display (:\\d+)"_s);
        const QString westonLog = env.value(u"HOME"_s) + u"/weston.log"_s;
        for (QDeadlineTimer deadline(15000); display.isEmpty() && !deadline.hasExpired();
             QTest::qWait(100))
            display = listening.match(QString::fromUtf8(readBytes(westonLog))).captured(1);
        if (display.isEmpty()) {
            stopChild(weston);
            QSKIP("weston starts no XWayland here");
        }
    }
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

bool TestE2eDesktop::startWeston(QProcess &weston, QProcessEnvironment &env, const QString &socket,
                                 const QStringList &options)
{
    const QString home = env.value(u"HOME"_s);
    writeBytes(home + u"/weston.ini"_s,
               "[shell]\nbackground-color=0xff204060\npanel-position=none\n");
    startChild(weston, u"weston"_s,
               QStringList{u"--backend=headless-backend.so"_s, u"--use-pixman"_s, u"--width=800"_s,
                           u"--height=600"_s, u"--socket="_s + socket,
                           u"--config="_s + home + u"/weston.ini"_s, u"--idle-time=0"_s,
                           u"--log="_s + home + u"/weston.log"_s} +
                   options,
               env);
    const QString path = env.value(u"XDG_RUNTIME_DIR"_s) + u'/' + socket;
    for (QDeadlineTimer deadline(15000);
         !QFile::exists(path) && !deadline.hasExpired() && !weston.waitForFinished(100);) {
    }
    if (!QFile::exists(path)) {
        stopChild(weston);
        return false;
    }
    // As a Wayland session sets it: left to itself, Qt would then choose Wayland.
    env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
    env.insert(u"WAYLAND_DISPLAY"_s, socket);
    return true;
}

// What the compositor draws of the password dialog, from its own screenshot: the desktop shows
// through every pixel of the mask colour, the picture everywhere else that no element covers.
// What cannot be seen here: that the pointer passes through the cut corners and that a button's
// over picture goes when the pointer leaves (a headless weston has no pointer to move), and where
// a compositor that places windows itself puts the dialog.
void TestE2eDesktop::shapedDialogOnWayland()
{
    if (QStandardPaths::findExecutable(u"weston-screenshooter"_s).isEmpty())
        QSKIP("weston is not installed (scripts/install-deps.sh)");
    QProcessEnvironment env = makeWorld(u"shaped"_s);
    QVERIFY(!env.isEmpty());
    QProcess weston;
    if (!startWeston(weston, env, u"wayland-kesta-shaped"_s, {u"--debug"_s}))
        QSKIP("weston does not start here");
    env.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
    const QString home = env.value(u"HOME"_s);
    QProcess dialog;
    dialog.setWorkingDirectory(home);
    startChild(dialog, QCoreApplication::applicationDirPath() + u"/e2e_shaped_dialog"_s,
               {m_root.filePath(u"program"_s), u"Default"_s}, env);
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

    // Where the dialog is: what differs from the desktop, less the picture's own see-through rim.
    const QImage background(m_root.filePath(u"program/Themes/Default/input.bmp"_s));
    const QRgb mask = qRgb(255, 0, 255);
    const QRgb desktop = screen.pixel(0, 0);
    QRect drawn, solid;
    for (int y = 0; y < screen.height(); ++y) {
        for (int x = 0; x < screen.width(); ++x) {
            if (screen.pixel(x, y) != desktop)
                drawn |= QRect(x, y, 1, 1);
        }
    }
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            if ((background.pixel(x, y) & 0xffffff) != (mask & 0xffffff))
                solid |= QRect(x, y, 1, 1);
        }
    }
    QImage before(screen.size(), screen.format());
    before.fill(desktop);
    // The compositor's colours may be a step off the picture's.
    const ShapeSeen seen =
        shapeSeen(screen, before, drawn.topLeft() - solid.topLeft(), background, mask, 2);
    QVERIFY2(seen.seeThrough > 0.99 && seen.drawn > 0.3,
             qPrintable(u"see-through %1, drawn %2"_s.arg(seen.seeThrough).arg(seen.drawn)));
}

QTEST_GUILESS_MAIN(TestE2eDesktop)
#include "tst_e2e_desktop.moc"
