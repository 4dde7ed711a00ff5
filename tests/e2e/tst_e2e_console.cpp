// The real console on a display of its own, met as a person meets it: the pointer on a button,
// the password asked for by a protected button, the shell asking it to end, a second start. What
// it shows is read from screenshots, what it plays from its sound server, what it writes with
// kesta-store.

#include "console_session.h"
#include "screen_checks.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString exitKey = u"KESTA Terminal - Security"_s;
const QRgb maskColour = qRgb(255, 0, 255);

// Every file under root, but those under a folder of `except`, with a hash of its content.
QMap<QString, QByteArray> filesUnder(const QString &root, const QStringList &except)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (std::any_of(except.begin(), except.end(),
                        [&](const QString &folder) { return path.startsWith(folder + u'/'); }))
            continue;
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly)
                               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5)
                               : QByteArray());
    }
    return files;
}

// As an editor saves: the new content beside, then renamed over the file.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

class TestE2eConsole : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void pointerOnAndOffAButton();
    void protectedButtonAsksThroughTheShapedDialog();
    void commandEditorOpensTheShapedSelectDialog();
    void exitRequestEndsTheConsoleWithinOneSecond();
    void secondStartBringsTheFirstForward();
    void previewFollowsItsThemeAndWritesNothing();
    // Last: the sound server it leaves is a new one.
    void soundServerComesBack();

private:
    // Clicks, and waits until the dialog whose title matches shows cut to the outline of its
    // background: the screen as it was before shows through the mask colour. Its place (null
    // when it never shows so) and the screen last grabbed.
    QRect clickForShapedDialog(const QString &title, const QImage &background, const QImage &before,
                               QImage &shown);

    ConsoleSession m_session;
    QProcess m_cover;
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
}

void TestE2eConsole::cleanup()
{
    stopChild(m_cover);
    m_session.stopConsole();
}

void TestE2eConsole::pointerOnAndOffAButton()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    const QRect quit = m_session.consoleRect(u"btn_quit.bmp"_s);

    qint64 mark = m_session.soundMark();
    QVERIFY(x.moveTo(quit.center()));
    QVERIFY2(m_session.waitUntilShown(quit.topLeft(), u"btn_quita.bmp"_s), "no over picture");
    // Moving on the button and resting there for several hover passes plays nothing more.
    QVERIFY(x.moveTo(quit.center() + QPoint(30, 4)));
    x.pause(600);
    QCOMPARE(m_session.waitToHear(mark, {u"over"_s}), QStringList{u"over"_s});
    // Played again on every pass, it would sound on without a break.
    QVERIFY(m_session.heardLengthsMs(mark).value(0) < 300);

    mark = m_session.soundMark();
    QVERIFY(x.moveTo(quit.center() + QPoint(0, 3 * quit.height())));
    QVERIFY2(m_session.waitUntilShown(quit.topLeft(), u"btn_quit.bmp"_s), "no normal picture");
    x.pause(400);
    QCOMPARE(m_session.heardSince(mark), QStringList{});
}

void TestE2eConsole::soundServerComesBack()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
    const QRect quit = m_session.consoleRect(u"btn_quit.bmp"_s);
    const auto overAndOff = [&] {
        return x.moveTo(quit.center()) &&
               m_session.waitUntilShown(quit.topLeft(), u"btn_quita.bmp"_s) &&
               x.moveTo(quit.center() + QPoint(0, 3 * quit.height())) &&
               m_session.waitUntilShown(quit.topLeft(), u"btn_quit.bmp"_s);
    };
    // Gone as a crash leaves it: the console goes on, silent.
    m_session.pulse().kill();
    QVERIFY(overAndOff());
    QCOMPARE(m_session.console().state(), QProcess::Running);

    // Back at the same address: after the console's pause between two attempts, heard again.
    QVERIFY(m_session.pulse().start() && m_session.pulse().startRecording());
    x.pause(600);
    const qint64 mark = m_session.soundMark();
    QVERIFY(overAndOff());
    QCOMPARE(m_session.waitToHear(mark, {u"over"_s}), QStringList{u"over"_s});
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

    // A wrong password: the fail sound, no click sound, nothing written.
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, u"wrong"_s));
    const QStringList refused = {u"startup"_s, u"over"_s, u"passstart"_s, u"passfail"_s};
    QCOMPARE(m_session.waitToHear(m_session.startMark(), refused), refused);
    x.pause(300);
    QCOMPARE(m_session.heardSince(m_session.startMark()), refused);
    QVERIFY(!m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s));

    // The right password shows as "#" only: the box looks as it does with "#" typed instead
    // (but for the blinking cursor's columns).
    QVERIFY(x.click());
    QVERIFY(!x.waitForWindow(ConsoleSession::InputTitle, 5000).isEmpty());
    QImage empty;
    QVERIFY(x.waitFor(
        [&] {
            empty = x.grab();
            return shapeSeen(empty, before, at.topLeft(), background, maskColour).drawn > 0.5;
        },
        5000));
    const QRect box =
        fieldsRect(skinValue(m_session.themeFile(u"terminal.skn"_s), u"INPUT"_s, u"InputBox"_s), 0)
            .translated(at.topLeft());
    QVERIFY(x.type(ConsoleSession::Password));
    // Settled: two screenshots in a row alike, the text clearly there.
    QImage typed = empty;
    QVERIFY2(x.waitFor(
                 [&] {
                     const QImage previous = std::exchange(typed, x.grab());
                     return differingColumnSpan(empty, typed, box) > 40 &&
                            differingColumnSpan(previous, typed, box) <= 3;
                 },
                 3000),
             "the typed password does not show");
    ConsoleSession::keepScreenshot(u"input"_s, typed, at, background);
    QVERIFY(x.key(u"ctrl+a"_s));
    QVERIFY(x.type(QString(ConsoleSession::Password.size(), u'#')));
    QVERIFY2(x.waitFor([&] { return differingColumnSpan(typed, x.grab(), box) <= 3; }, 3000),
             "the password shows in clear");
    QVERIFY(x.key(u"ctrl+a"_s));

    // It runs the command only after the pause that follows an accepted password.
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, ConsoleSession::Password));
    QElapsedTimer clock;
    clock.start();
    std::optional<QString> line;
    QVERIFY(x.waitFor(
        [&] {
            return (line = m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s)).has_value();
        },
        8000));
    QVERIFY2(clock.elapsed() >= 1800, qPrintable(u"ran after %1 ms"_s.arg(clock.elapsed())));
    QCOMPARE(line->section(u',', 8, 8), u"true"_s);
    const QStringList accepted = refused + QStringList{u"passstart"_s, u"passok"_s, u"click"_s};
    QCOMPARE(m_session.waitToHear(m_session.startMark(), accepted), accepted);
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
    ConsoleSession::keepScreenshot(u"select"_s, shown, at, background);
}

void TestE2eConsole::exitRequestEndsTheConsoleWithinOneSecond()
{
    // A request left over from an earlier run is cleared at start-up, not obeyed.
    QVERIFY(m_session.store({u"set"_s, u"EXIT"_s, exitKey, u"1"_s}));
    QVERIFY(m_session.openConsole());
    QCOMPARE(m_session.storeGet(u"EXIT"_s, exitKey).value_or(u"missing"_s), u"0"_s);
    m_session.x().pause(600);
    QCOMPARE(m_session.console().state(), QProcess::Running);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_session.store({u"request-exit"_s}));
    QVERIFY2(m_session.console().waitForFinished(int(qMax<qint64>(1, 1000 - clock.elapsed()))),
             "the console still runs a second after the exit request");
    QCOMPARE(m_session.console().exitStatus(), QProcess::NormalExit);
    QVERIFY(m_session.x().windows(ConsoleSession::ConsoleTitle).isEmpty());
}

void TestE2eConsole::secondStartBringsTheFirstForward()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.openConsole());
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
    QCOMPARE(m_session.storeGet(u"EXIT"_s, exitKey).value_or(u"missing"_s), u"2"_s);
}

void TestE2eConsole::previewFollowsItsThemeAndWritesNothing()
{
    const QString root = QFileInfo(m_session.programDir()).path();
    const QString theme = m_session.programDir() + u"/Themes/Preview"_s;
    QVERIFY(QProcess::execute(u"cp"_s, {u"-rT"_s, m_session.themeFile({}), theme}) == 0);
    // The sound server's recording grows, its client library keeps its cookie in the
    // configuration folder, and the console's working folder is the tests'.
    const QStringList except{theme, root + u"/pulse"_s, root + u"/config/pulse"_s,
                             root + u"/work"_s};
    const QMap<QString, QByteArray> before = filesUnder(root, except);

    QProcess preview;
    QVERIFY(m_session.startConsole(preview, 15000, {u"--preview"_s, theme}));
    const QRect quit = m_session.consoleRect(u"btn_quit.bmp"_s);
    QVERIFY2(m_session.waitUntilShown(quit.topLeft(), u"btn_quit.bmp"_s), "not laid out");

    QFile picture(m_session.themeFile(u"btn_theme.bmp"_s));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    QVERIFY(replaceFile(theme + u"/btn_quit.bmp"_s, picture.readAll()));
    QVERIFY2(m_session.waitUntilShown(quit.topLeft(), u"btn_theme.bmp"_s, 1500),
             "a changed picture does not show");

    QFile skin(theme + u"/Security1280.skn"_s);
    QVERIFY(skin.open(QIODevice::ReadWrite));
    const QByteArray moved =
        skin.readAll().replace("48=btn_quit.bmp,B,1080,484,", "48=btn_quit.bmp,B,1080,540,");
    QVERIFY(skin.resize(0) && skin.write(moved) == moved.size());
    skin.close();
    QVERIFY2(m_session.waitUntilShown(quit.topLeft() + QPoint(0, 56), u"btn_theme.bmp"_s, 1500),
             "a changed layout line does not show");

    stopChild(preview);
    QCOMPARE(filesUnder(root, except), before);
}

QTEST_GUILESS_MAIN(TestE2eConsole)
#include "tst_e2e_console.moc"
