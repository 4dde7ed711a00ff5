// The console's editors on a display of their own, each through the dialog or prompt a person
// answers, with what they wrote read back from the files and the store with kesta-store. One
// console serves the whole file, as one sitting at it would; a test that fails leaves a fresh
// console to the next.

#include "console_session.h"
#include "screen_checks.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The protection list's line of the shell desktop's Terminal launcher, key 01 of [DESKTOP].
constexpr int terminalLauncherLine = 1;
const QString terminalLauncher = u"/usr/bin/x-terminal-emulator"_s;

} // namespace

class TestE2eEditors : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void promptEditors_data();
    void promptEditors();
    void commandThroughTheSelectDialog();
    void protectedRestoreOfDefaults();
    void passwordChangeThroughTwoPrompts();
    void switchFlip();
    void themeChoice();

private:
    std::optional<QString> launcherLine();
    bool clickButton(const QString &picture);

    ConsoleSession m_session;
};

void TestE2eEditors::initTestCase()
{
    if (!m_session.start())
        QSKIP(qPrintable(u"no end-to-end world here: "_s + m_session.error()));
    QVERIFY(m_session.openConsole());
}

void TestE2eEditors::cleanup()
{
    if (!QTest::currentTestFailed())
        return;
    m_session.stopConsole();
    QVERIFY(m_session.openConsole());
}

std::optional<QString> TestE2eEditors::launcherLine()
{
    return m_session.iniGet(u"DESKTOP.ini"_s, u"DESKTOP"_s, u"01"_s);
}

bool TestE2eEditors::clickButton(const QString &picture)
{
    return m_session.x().clickAt(m_session.consoleRect(picture).center());
}

void TestE2eEditors::promptEditors_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("field"); // of the button line from 0; -1 for the whole value

    QTest::newRow("click sound") << u"btn_soundclick.bmp"_s << u"chime"_s << u"DESKTOP.ini"_s << 7;
    QTest::newRow("over sound") << u"btn_soundover.bmp"_s << u"whoosh"_s << u"DESKTOP.ini"_s << 6;
    QTest::newRow("voice command")
        << u"btn_voicecontrol.bmp"_s << u"open a terminal"_s << u"voicecontrol.ini"_s << -1;
}

void TestE2eEditors::promptEditors()
{
    QFETCH(QString, button);
    QFETCH(QString, entry);
    QFETCH(QString, file);
    QFETCH(int, field);

    QVERIFY(m_session.clickListLine(u"secinfo"_s, terminalLauncherLine));
    QVERIFY(clickButton(button));
    QVERIFY(m_session.answer(ConsoleSession::PromptTitle, entry));
    std::optional<QString> value;
    QVERIFY(m_session.x().waitFor(
        [&] { return (value = m_session.iniGet(file, u"DESKTOP"_s, u"01"_s)).has_value(); }, 3000));
    QCOMPARE(field < 0 ? *value : value->section(u',', field, field), entry);
    if (field >= 0)
        QCOMPARE(value->section(u',', 9), terminalLauncher);
}

void TestE2eEditors::commandThroughTheSelectDialog()
{
    XSession &x = m_session.x();
    QVERIFY(m_session.clickListLine(u"secinfo"_s, terminalLauncherLine));
    const QRect command = m_session.consoleRect(u"btn_command.bmp"_s);
    QVERIFY(x.moveTo(command.center()));
    QVERIFY(m_session.waitUntilShown(command.topLeft(), u"btn_commanda.bmp"_s));
    const QImage before = x.grab();
    ConsoleSession::keepScreenshot(u"console"_s, before);

    QVERIFY(x.click());
    const QString dialog = x.waitForWindow(ConsoleSession::SelectTitle, 5000);
    QVERIFY2(!dialog.isEmpty(), "no select dialog");
    const QRect at = x.geometry(dialog).value_or(QRect());
    const QImage background(m_session.themeFile(u"select.bmp"_s));
    QCOMPARE(at.size(), background.size());
    QImage shown;
    QVERIFY2(x.waitFor(
                 [&] {
                     shown = x.grab();
                     const ShapeSeen seen =
                         shapeSeen(shown, before, at.topLeft(), background, qRgb(255, 0, 255));
                     return seen.seeThrough > 0.99 && seen.drawn > 0.3;
                 },
                 5000),
             "the select dialog does not show in its outline");
    ConsoleSession::keepScreenshot(u"select"_s, shown, at, background);

    // A person types the program and its arguments into the two boxes and presses OK.
    const QString skin = m_session.themeFile(u"Security.skn"_s);
    const auto boxCentre = [&](const QString &key) {
        return fieldsRect(skinValue(skin, u"SELECT"_s, key), 0).translated(at.topLeft()).center();
    };
    QVERIFY(x.clickAt(boxCentre(u"InputBox"_s)));
    QVERIFY(x.key(u"ctrl+a"_s));
    QVERIFY(x.type(u"/usr/bin/env"_s));
    QVERIFY(x.clickAt(boxCentre(u"ArgBox"_s)));
    QVERIFY(x.key(u"ctrl+a"_s));
    QVERIFY(x.type(u"-i true"_s));
    const QRect ok =
        layoutRect(skin, u"SELECT"_s, u"dlg_ok.bmp"_s, at.size()).translated(at.topLeft());
    QVERIFY(x.clickAt(ok.center()));
    QVERIFY(x.waitForNoWindow(ConsoleSession::SelectTitle, 5000));

    std::optional<QString> line;
    QVERIFY(x.waitFor([&] { return (line = launcherLine()).has_value(); }, 3000));
    QCOMPARE(line->section(u',', 9), u"/usr/bin/env -i true"_s);
}

void TestE2eEditors::protectedRestoreOfDefaults()
{
    QVERIFY(
        m_session.store({u"ini"_s, u"set"_s, m_session.themeFile(u"DESKTOP.ini"_s), u"DESKTOP"_s,
                         u"01"_s, u"ico_terminal.bmp,B,24,24,56,56,tick,chime,True,xterm"_s}));
    QVERIFY(m_session.store({u"ini"_s, u"set"_s, m_session.themeFile(u"voicecontrol.ini"_s),
                             u"DESKTOP"_s, u"01"_s, u"open a terminal"_s}));
    QVERIFY(m_session.clickListLine(u"secinfo"_s, terminalLauncherLine));
    QVERIFY(clickButton(u"btn_default.bmp"_s));
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, ConsoleSession::Password));
    QVERIFY2(m_session.x().waitFor(
                 [&] {
                     return !launcherLine() &&
                            !m_session.iniGet(u"voicecontrol.ini"_s, u"DESKTOP"_s, u"01"_s);
                 },
                 8000),
             "the override line or the voice command is still there");
}

void TestE2eEditors::passwordChangeThroughTwoPrompts()
{
    const QString newPassword = u"n3w pass"_s;
    QVERIFY(clickButton(u"btn_password.bmp"_s));
    QVERIFY(m_session.answer(ConsoleSession::InputTitle, ConsoleSession::Password));
    QVERIFY(m_session.answer(ConsoleSession::PromptTitle, newPassword, 8000));
    QVERIFY(m_session.answer(ConsoleSession::PromptTitle, newPassword));
    QVERIFY(m_session.x().waitFor(
        [&] { return m_session.storeGet(u"DEFAULT"_s, u"Password"_s) == newPassword; }, 3000));
    QVERIFY(m_session.store({u"set"_s, u"DEFAULT"_s, u"Password"_s, ConsoleSession::Password}));
}

void TestE2eEditors::switchFlip()
{
    // The shell switches in order: Sound, Multiple, Animated, Clock (on in the demo).
    constexpr int clockLine = 3;
    const auto clock = [&] {
        return m_session.iniGet(u"terminal.skn"_s, u"DEFAULT"_s, u"Clock"_s);
    };
    QCOMPARE(clock().value_or(u"missing"_s), u"True"_s);
    QVERIFY(m_session.clickListLine(u"secturn"_s, clockLine));
    QVERIFY(m_session.x().waitFor([&] { return clock() == u"False"_s; }, 3000));
    // Elsewhere on the line: two clicks at one spot in quick succession are a double click,
    // which clicks once.
    QVERIFY(m_session.clickListLine(u"secturn"_s, clockLine, 120));
    QVERIFY(m_session.x().waitFor([&] { return clock() == u"True"_s; }, 3000));
}

void TestE2eEditors::themeChoice()
{
    XSession &x = m_session.x();
    const QRect preview = m_session.consoleRect(u"themepic"_s);
    const QImage before = x.grab().copy(preview);
    QVERIFY(m_session.clickListLine(u"secthemes"_s, 0)); // Amber
    QVERIFY2(x.waitFor([&] { return x.grab().copy(preview) != before; }, 3000),
             "the preview does not change");
    QVERIFY(clickButton(u"btn_theme.bmp"_s));
    QVERIFY(x.waitFor(
        [&] { return m_session.storeGet(u"Default"_s, u"ThemeDir"_s) == u"\\Themes\\Amber\\"_s; },
        3000));
    QVERIFY(m_session.store({u"set"_s, u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Default\\"_s}));
}

QTEST_GUILESS_MAIN(TestE2eEditors)
#include "tst_e2e_editors.moc"
