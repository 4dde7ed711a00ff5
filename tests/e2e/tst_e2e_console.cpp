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

    // A reader listening to the bus from now on: what it heard so far, one line per event (see
    // atspi_reader.py), and whether it hears a line matching pattern within a few seconds.
    void startListening();
    QStringList heard();
    bool hears(const QString &pattern);
    // The reader presses the push button: the process prints "pressed" once the press answered.
    void press(QProcess &reader, const QString &button);

    ConsoleSession m_session;
    QProcess m_cover;
    QProcess m_bus;
    QProcess m_listener;
    QStringList m_heard;
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
    // A session bus of the test's own; it starts the accessibility bus when first asked. Its
    // registry is kept off the display: there it would read the X keyboard itself, as any X
    // client may, where the test listens to what the console hands to the bus.
    m_busEnvironment = m_session.x().clientEnvironment();
    QProcessEnvironment daemonEnvironment = m_busEnvironment;
    daemonEnvironment.remove(u"DISPLAY"_s);
    startChild(m_bus, u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s},
               daemonEnvironment);
    QVERIFY2(m_bus.waitForReadyRead(5000) && m_bus.canReadLine(), "dbus-daemon gives no address");
    const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
    m_busEnvironment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
    m_session.addConsoleVariable(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
}

void TestE2eConsole::cleanup()
{
    stopChild(m_listener);
    m_heard.clear();
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
    // Its boxes read by their names, which the theme does not give.
    QVERIFY(readsAsIn(u"reader_select.txt"_s));
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

namespace {

void startReader(QProcess &reader, qint64 pid, const QStringList &mode,
                 const QProcessEnvironment &bus)
{
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own Python, which python3-pyatspi installs into.
    startChild(reader, u"/usr/bin/python3"_s,
               QStringList{qEnvironmentVariable("KESTA_ATSPI_READER"), QString::number(pid)} + mode,
               bus);
}

} // namespace

QStringList TestE2eConsole::read(bool focusOnly)
{
    QProcess reader;
    startReader(reader, m_session.console().processId(), {focusOnly ? u"focus"_s : u""_s},
                m_busEnvironment);
    m_session.x().finish(reader, 30000);
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void TestE2eConsole::startListening()
{
    startReader(m_listener, m_session.console().processId(), {u"listen"_s}, m_busEnvironment);
    QVERIFY2(m_session.x().waitFor([&] { return heard().contains(u"ready"_s); }, 10000),
             "the reader does not listen");
}

QStringList TestE2eConsole::heard()
{
    m_listener.waitForReadyRead(0);
    m_heard +=
        QString::fromUtf8(m_listener.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    return m_heard;
}

bool TestE2eConsole::hears(const QString &pattern)
{
    const QRegularExpression line(u'^' + pattern + u'$');
    if (m_session.x().waitFor([&] { return heard().indexOf(line) >= 0; }, 8000))
        return true;
    qWarning("not heard: %s", qPrintable(pattern));
    return false;
}

void TestE2eConsole::press(QProcess &reader, const QString &button)
{
    startReader(reader, m_session.console().processId(), {u"press"_s, button}, m_busEnvironment);
}

bool TestE2eConsole::waitForFocus(const QString &role, const QString &name)
{
    const QString wanted = role + u'\t' + name + u'\t';
    QStringList focused;
    if (m_session.x().waitFor(
            [&] { return !(focused = read(true)).isEmpty() && focused.last().startsWith(wanted); },
            10000))
        return true;
    qWarning("focused: %s, not %s", qPrintable(focused.join(u" | "_s)), qPrintable(wanted));
    return false;
}

bool TestE2eConsole::readsAsIn(const QString &file)
{
    // A window just shown may not have told the bus all it holds yet.
    const QByteArray expected = readBytes(testData(u"e2e/"_s + file));
    QStringList missing;
    const auto allThere = [&] {
        const QStringList elements = read();
        missing.clear();
        for (const QByteArray &line : expected.split('\n')) {
            const QString element = QString::fromUtf8(line);
            if (!line.isEmpty() && elements.indexOf(QRegularExpression(element)) < 0)
                missing << element;
        }
        return missing.isEmpty();
    };
    if (!expected.isEmpty() && m_session.x().waitFor(allThere, 10000))
        return true;
    qWarning("no element %s", qPrintable(missing.join(u" | "_s)));
    return false;
}

void TestE2eConsole::protectByKeyboardWithAScreenReader()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    // Every command button is a push button named after what it does, that the keyboard reaches;
    // the lists, their lines with their states, the labels and the theme preview speak too. No
    // helper and no picture the theme leaves unnamed is there.
    QVERIFY(readsAsIn(u"reader_console.txt"_s));
    QCOMPARE(read().indexOf(QRegularExpression(u"^(image|push button|list)\t\t.*"_s)), -1);
    startListening();

    // The console takes the keyboard by itself: the first line, past the header. Chosen there,
    // the keyboard stays on it and the labels it fills are told.
    const auto protection = [&] {
        const std::optional<QString> line =
            m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s);
        return line.value_or(QString()).section(u',', 8, 8);
    };
    const QString turned = protection() == u"true"_s ? u"false"_s : u"true"_s;
    const QString launcher = u"DESKTOP - Terminal launcher"_s;
    QVERIFY(waitForFocus(u"check box"_s, launcher));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(hears(u"object:state-changed:showing\tnotification\t.*Password protection: .*\t1\t"_s));
    QVERIFY(waitForFocus(u"check box"_s, launcher));

    // The reader presses Protect and has its answer while the password dialog waits. A wrong
    // password is told.
    QProcess presser;
    press(presser, u"Protect"_s);
    QVERIFY(!x.waitForWindow(ConsoleSession::InputTitle, 5000).isEmpty());
    QVERIFY(waitForFocus(u"password text"_s, u"Password"_s));
    QVERIFY2(x.finish(presser, 5000) && presser.readAllStandardOutput() == "pressed\n",
             "the press does not answer while the dialog is open");
    QVERIFY(readsAsIn(u"reader_input.txt"_s));
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, u"qjxv"_s));
    QVERIFY(hears(u"object:state-changed:showing\tnotification\tWrong password\t1\t"_s));

    // Again with the password: after the pause that follows it, the protection turns, the line's
    // checked state with it, and the label that shows it is told.
    press(presser, u"Protect"_s);
    QVERIFY(waitForFocus(u"password text"_s, u"Password"_s));
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, ConsoleSession::Password));
    QVERIFY(x.finish(presser, 5000));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(x.waitFor([&] { return protection() == turned; }, 8000));
    QVERIFY2(clock.elapsed() >= 1800, qPrintable(u"ran after %1 ms"_s.arg(clock.elapsed())));
    const QStringList accepted = {u"startup"_s,   u"passstart"_s, u"passfail"_s,
                                  u"passstart"_s, u"passok"_s,    u"click"_s};
    QCOMPARE(m_session.waitToHear(m_session.startMark(), accepted), accepted);
    const QString checked = turned == u"true"_s ? u"1"_s : u"0"_s;
    QVERIFY(hears(u"object:state-changed:checked\tcheck box\t"_s + launcher + u"\t"_s + checked +
                  u"\t"_s));
    QVERIFY(hears(u"object:state-changed:showing\tnotification\t.*Password protection: "_s +
                  (turned == u"true"_s ? u"True"_s : u"False"_s) + u".*\t1\t"_s));

    // A switch flipped by keyboard: its new state told, the keyboard still on its line.
    QVERIFY(x.key(u"Tab"_s) && x.key(u"Tab"_s) && x.key(u"Down"_s) && x.key(u"Down"_s) &&
            x.key(u"Down"_s));
    QVERIFY(waitForFocus(u"check box"_s, u"Clock: clock on the bar"_s));
    QVERIFY(x.key(u"Return"_s));
    QVERIFY(hears(u"object:state-changed:checked\tcheck box\tClock: clock on the bar\t0\t"_s));
    QVERIFY(hears(u"object:state-changed:showing\tnotification\tClock off\t1\t"_s));
    QVERIFY(waitForFocus(u"check box"_s, u"Clock: clock on the bar"_s));

    // The new password asked twice, two that differ.
    press(presser, u"Change password"_s);
    QVERIFY(waitForFocus(u"password text"_s, u"Password"_s));
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, ConsoleSession::Password));
    const QString prompt = u"^KESTA Terminal \u2014"_s;
    QVERIFY(waitForFocus(u"password text"_s, u"Type the new terminal password:"_s));
    QVERIFY(m_session.answer(prompt, u"qjxv"_s));
    QVERIFY(waitForFocus(u"password text"_s, u"Type the new password once more:"_s));
    QVERIFY(m_session.answer(prompt, u"qjxw"_s));
    QVERIFY(hears(u"object:state-changed:showing\tnotification\tThe passwords differ\t1\t"_s));

    // Into each of the three entries a key typed no character the bus carried: the keyboard
    // listeners heard none of them, the text events only the mask.
    const QString typed = u"qjxvw"_s + ConsoleSession::Password;
    for (const QString &line : heard()) {
        const QStringList fields = line.split(u'\t');
        const QString text = fields.startsWith(u"key"_s) ? fields.value(1) : fields.value(4);
        QVERIFY2(text.size() != 1 || !typed.contains(text), qPrintable(line));
        if (fields.value(0).startsWith(u"object:text-changed"_s))
            QVERIFY2(QString(text).remove(u'#').remove(QChar(0x25CF)).isEmpty(), qPrintable(line));
    }
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
