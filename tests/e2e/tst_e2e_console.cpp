// The real console on a display of its own, met as a person meets it: the pointer on a button,
// the password asked for by a protected button, the shell asking it to end, a second start, and a
// screen reader user with the keyboard alone. What it shows is read from screenshots, what it
// plays from its sound server, what a screen reader hears over a private accessibility bus, what
// it writes with kesta-store.

#include "console_session.h"
#include "screen_checks.h"
#include "test_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString exitKey = u"KESTA Terminal - Security"_s;
const QRgb maskColour = qRgb(255, 0, 255);

} // namespace

class TestE2eConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { stopChild(m_bus); }
    void cleanup();

    void protectedButtonAsksThroughTheShapedDialog();
    void commandEditorOpensTheShapedSelectDialog();
    void secondStartAndExitRequest();
    void protectByKeyboardWithAScreenReader();
    // Last: the sound server it leaves is a new one.
    void pointerOnAndOffAButtonAsTheSoundServerGoesAndComesBack();

private:
    // Clicks, and waits until the dialog whose title matches shows cut to the outline of its
    // background: the screen as it was before shows through the mask colour. Its place (null
    // when it never shows so) and the screen last grabbed.
    QRect clickForShapedDialog(const QString &title, const QImage &background, const QImage &before,
                               QImage &shown);

    // The reader's lines ("role<TAB>name<TAB>states"), or only the focused one's.
    QStringList read(bool focusOnly = false);
    bool waitForFocus(const QString &role, const QString &name);
    // Each line of tests/data/e2e/file is a pattern that one element matches whole.
    bool readsAsIn(const QString &file);

    ConsoleSession m_session;
    QProcess m_cover;
    QProcess m_bus;
    QProcessEnvironment m_busEnvironment;
};

QRect TestE2eConsole::clickForShapedDialog(const QString &title, const QImage &background,
                                           const QImage &before, QImage &shown)
{
    XSession &x = m_session.x();
    const QString dialog = x.click() ? x.waitForWindow(title, 5000) : QString();
    const QRect at = dialog.isEmpty() ? QRect() : x.geometry(dialog).value_or(QRect());
    const auto inOutline = [&] {
        shown = x.grab();
        const ShapeSeen seen = shapeSeen(shown, before, at.topLeft(), background, maskColour);
        return seen.seeThrough > 0.99 && seen.drawn > 0.3;
    };
    return at.size() == background.size() && x.waitFor(inOutline, 5000) ? at : QRect();
}

void TestE2eConsole::initTestCase()
{
    if (!m_session.start())
        QSKIP(qPrintable(u"no end-to-end world here: "_s + m_session.error()));
    // A session bus of the test's own; it starts the accessibility bus when first asked.
    m_busEnvironment = m_session.x().clientEnvironment();
    startChild(m_bus, u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s},
               m_busEnvironment);
    QVERIFY2(m_bus.waitForReadyRead(5000) && m_bus.canReadLine(), "dbus-daemon gives no address");
    const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
    m_busEnvironment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
}

void TestE2eConsole::cleanup()
{
    stopChild(m_cover);
    m_session.stopConsole();
}

void TestE2eConsole::protectedButtonAsksThroughTheShapedDialog()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    // The shell's Terminal launcher, unprotected; the Protect button is itself protected.
    QVERIFY(m_session.clickListLine(u"secinfo"_s, 1));
    const QRect protect = m_session.consoleRect(u"btn_security.bmp"_s);
    const qint64 mark = m_session.soundMark();
    QVERIFY(x.moveTo(protect.center()));
    QCOMPARE(m_session.waitToHear(mark, {u"over"_s}), QStringList{u"over"_s});

    // The dialog takes the outline of its picture: the console shows through the mask colour.
    const QImage before = x.grab();
    const QImage background(m_session.themeFile(u"input.bmp"_s));
    QImage shown;
    const QRect at = clickForShapedDialog(ConsoleSession::InputTitle, background, before, shown);
    QVERIFY2(!at.isNull(), "the input dialog does not show in its outline");
    ConsoleSession::keepScreenshot(u"input"_s, shown, at);

    // A wrong password: the fail sound, no click sound, nothing written.
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, u"wrong"_s));
    const QStringList refused = {u"startup"_s, u"over"_s, u"passstart"_s, u"passfail"_s};
    QCOMPARE(m_session.waitToHear(m_session.startMark(), refused), refused);
    x.pause(300);
    QCOMPARE(m_session.heardSince(m_session.startMark()), refused);
    QVERIFY(!m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s));
}

void TestE2eConsole::commandEditorOpensTheShapedSelectDialog()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    QVERIFY(m_session.clickListLine(u"secinfo"_s, 1));
    const QRect command = m_session.consoleRect(u"btn_command.bmp"_s);
    QVERIFY(x.moveTo(command.center()));
    QVERIFY(m_session.waitUntilShown(command.topLeft(), u"btn_commanda.bmp"_s));
    const QImage before = x.grab();
    ConsoleSession::keepScreenshot(u"console"_s, before);

    const QImage background(m_session.themeFile(u"select.bmp"_s));
    QImage shown;
    const QRect at = clickForShapedDialog(ConsoleSession::SelectTitle, background, before, shown);
    QVERIFY2(!at.isNull(), "the select dialog does not show in its outline");
    ConsoleSession::keepScreenshot(u"select"_s, shown, at);
}

void TestE2eConsole::secondStartAndExitRequest()
{
    XSession &x = m_session.x();
    // A request left over from an earlier run is cleared at start-up, not obeyed.
    QVERIFY(m_session.store({u"set"_s, u"EXIT"_s, exitKey, u"1"_s}));
    QVERIFY(m_session.openConsole());
    QCOMPARE(m_session.store({u"get"_s, u"EXIT"_s, exitKey}).value_or(u"missing"_s), u"0"_s);

    // Started again while another window covers it: the second ends by itself and brings the
    // first forward, which keeps running.
    const QRect quit = m_session.consoleRect(u"btn_quit.bmp"_s);
    const QImage normal(m_session.themeFile(u"btn_quit.bmp"_s));
    startChild(m_cover, QCoreApplication::applicationDirPath() + u"/e2e_cover"_s, {},
               x.clientEnvironment());
    QVERIFY2(!x.waitForWindow(u"^KESTA e2e cover$"_s, 5000).isEmpty(), "no covering window");
    QVERIFY2(x.waitFor([&] { return shareShowing(x.grab(), quit.topLeft(), normal) < 0.01; }, 5000),
             "the console is not covered");
    QVERIFY(m_session.store({u"set"_s, u"EXIT"_s, exitKey, u"2"_s}));
    QProcess second;
    startChild(second, qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-security"_s, {},
               m_session.consoleEnvironment());
    QVERIFY2(x.finish(second, 10000), "the second console does not end by itself");
    QVERIFY2(m_session.waitUntilShown(quit.topLeft(), u"btn_quit.bmp"_s),
             "the running console does not come forward");
    QCOMPARE(m_session.console().state(), QProcess::Running);
    QCOMPARE(m_session.store({u"get"_s, u"EXIT"_s, exitKey}).value_or(u"missing"_s), u"2"_s);

    // The shell's exit request ends it within a second.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_session.store({u"request-exit"_s}));
    QVERIFY2(m_session.console().waitForFinished(int(qMax<qint64>(1, 1000 - clock.elapsed()))),
             "the console still runs a second after the exit request");
    QCOMPARE(m_session.console().exitStatus(), QProcess::NormalExit);
    QVERIFY(x.windows(ConsoleSession::ConsoleTitle).isEmpty());
}

QStringList TestE2eConsole::read(bool focusOnly)
{
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own Python, which python3-pyatspi installs into.
    startChild(reader, u"/usr/bin/python3"_s,
               {qEnvironmentVariable("KESTA_ATSPI_READER"),
                QString::number(m_session.console().processId()), focusOnly ? u"focus"_s : u""_s},
               m_busEnvironment);
    m_session.x().finish(reader, 30000);
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool TestE2eConsole::waitForFocus(const QString &role, const QString &name)
{
    const QString wanted = role + u'\t' + name + u"\tfocusable focused"_s;
    QStringList focused;
    if (m_session.x().waitFor([&] { return (focused = read(true)).contains(wanted); }, 10000))
        return true;
    qWarning("focused: %s, not %s", qPrintable(focused.join(u" | "_s)), qPrintable(wanted));
    return false;
}

bool TestE2eConsole::readsAsIn(const QString &file)
{
    const QStringList elements = read();
    const QByteArray expected = readBytes(testData(u"e2e/"_s + file));
    bool all = !expected.isEmpty();
    for (const QByteArray &line : expected.split('\n')) {
        if (!line.isEmpty() && elements.indexOf(QRegularExpression(QString::fromUtf8(line))) < 0) {
            qWarning("no element %s", line.constData());
            all = false;
        }
    }
    return all;
}

void TestE2eConsole::protectByKeyboardWithAScreenReader()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    // Every command button is a push button named after what it does, that the keyboard reaches;
    // the lists, the labels and the theme preview speak too.
    QVERIFY(readsAsIn(u"reader_console.txt"_s));

    // The Terminal launcher's line, chosen by keyboard, then Protect, then the password: its
    // protection turns (an earlier case may have turned it on). The console taking the keyboard
    // puts the focus on the first element in layout order.
    const auto protection = [&] {
        const std::optional<QString> line =
            m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s);
        return line.value_or(QString()).section(u',', 8, 8);
    };
    const QString turned = protection() == u"true"_s ? u"false"_s : u"true"_s;
    QVERIFY(x.focus(m_session.consoleWindow()));
    QVERIFY(waitForFocus(u"list"_s, u"Buttons"_s));
    QVERIFY(x.key(u"Down"_s) && x.key(u"Return"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Change password"_s));
    QVERIFY(x.key(u"Tab"_s) && x.key(u"Tab"_s));
    QVERIFY(waitForFocus(u"push button"_s, u"Protect"_s));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(!x.waitForWindow(ConsoleSession::InputTitle, 5000).isEmpty());
    QVERIFY(waitForFocus(u"password text"_s, QString()));
    QVERIFY(readsAsIn(u"reader_input.txt"_s));
    QVERIFY(x.type(ConsoleSession::Password) && x.key(u"Return"_s));

    // It runs the command only after the pause that follows an accepted password.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(x.waitFor([&] { return protection() == turned; }, 8000));
    QVERIFY2(clock.elapsed() >= 1800, qPrintable(u"ran after %1 ms"_s.arg(clock.elapsed())));
    const QStringList accepted = {u"startup"_s, u"passstart"_s, u"passok"_s, u"click"_s};
    QCOMPARE(m_session.waitToHear(m_session.startMark(), accepted), accepted);
}

void TestE2eConsole::pointerOnAndOffAButtonAsTheSoundServerGoesAndComesBack()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    const QRect quit = m_session.consoleRect(u"btn_quit.bmp"_s);
    const auto over = [&] {
        return x.moveTo(quit.center()) &&
               m_session.waitUntilShown(quit.topLeft(), u"btn_quita.bmp"_s);
    };
    const auto off = [&] {
        return x.moveTo(quit.center() + QPoint(0, 3 * quit.height())) &&
               m_session.waitUntilShown(quit.topLeft(), u"btn_quit.bmp"_s);
    };

    qint64 mark = m_session.soundMark();
    QVERIFY2(over(), "no over picture");
    // Moving on the button and resting there for several hover passes plays nothing more.
    QVERIFY(x.moveTo(quit.center() + QPoint(30, 4)));
    x.pause(600);
    QCOMPARE(m_session.waitToHear(mark, {u"over"_s}), QStringList{u"over"_s});
    mark = m_session.soundMark();
    QVERIFY2(off(), "no normal picture");
    x.pause(400);
    QCOMPARE(m_session.heardSince(mark), QStringList{});

    // The sound server gone as a crash leaves it: the console goes on, silent.
    m_session.pulse().kill();
    QVERIFY(over() && off());
    QCOMPARE(m_session.console().state(), QProcess::Running);

    // Back at the same address: after the console's pause between two attempts, heard again.
    QVERIFY(m_session.pulse().start() && m_session.pulse().startRecording());
    x.pause(600);
    mark = m_session.soundMark();
    QVERIFY(over() && off());
    QCOMPARE(m_session.waitToHear(mark, {u"over"_s}), QStringList{u"over"_s});
}

QTEST_GUILESS_MAIN(TestE2eConsole)
#include "tst_e2e_console.moc"
