// The CHANGE... editors on a button of terminal.skn whose command holds commas and quotes and
// whose sound fields are empty: what each writes to the override file and voicecontrol.ini
// (read back by kesta-store), what they never write, the restore and the theme choice.

#include "console_fixture.h"
#include "core/settings_store.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>

using Answer = std::optional<QString>;

namespace {

const QStringList buttons{"07=b.bmp,B,0,300,9,9,,,False,CHANGECOMMAND",
                          "08=b.bmp,B,0,310,9,9,,,False,CHANGESOUNDCLICK",
                          "09=b.bmp,B,0,320,9,9,,,False,CHANGESOUNDOVER",
                          "10=b.bmp,B,0,330,9,9,,,False,CHANGESECURITY",
                          "11=b.bmp,B,0,340,9,9,,,False,CHANGEVOICECONTROL",
                          "12=b.bmp,B,0,350,9,9,,,False,CHANGEDEFAULT",
                          "13=b.bmp,B,0,360,9,9,,,False,CHANGETHEME",
                          "14=b.bmp,B,0,370,9,9,,,False,QUIT",
                          "[SECURITY]",
                          "01=14 DEFAULT Quit button"};
enum Button
{
    Command = 1,
    Click,
    Over,
    Protection,
    Voice,
    Restore,
    Theme,
    Quit
};

// Protection list: 0 SECURITY, 1 its Quit button, 2 TERMINAL, 3 Start button, 4 Short line.
const QByteArray terminal = "05=truecolor.bmp,B,0,0,10,10,,,True,\"/opt/my tool/run\" -a,b,,c\n"
                            "06=x,B,1,2,3,4,o,c\n[SECURITY]\n01=05 DEFAULT Start button\n"
                            "02=06 DEFAULT Short line\n";
const QString startLine = "truecolor.bmp,B,0,0,10,10,%1,%2,%3,%4";
const QString startCommand = "\"/opt/my tool/run\" -a,b,,c";

struct Editing : ConsoleFixture
{
    Editing()
        : ConsoleFixture(buttons, terminal)
    {
        writeBytes(theme("voicecontrol.master"), "[TERMINAL]\n05=master start\n");
    }
    void select(int row) { console->lstBox(1)->setCurrentRow(row); }
    QString shown() const
    {
        return console->lblInfo(5)->text() + '|' + console->lblInfo(6)->text() + '|' +
               console->lstBox(1)->item(3)->text();
    }
};

} // namespace

class TestSettingEditors : public QObject
{
    Q_OBJECT

private slots:
    void editorWritesItsOwnField_data();
    void editorWritesItsOwnField();
    void writesNothing_data();
    void writesNothing();
    void toggleGuardsTheConsoleButtonAtItsNextClick();
    void restoreDefaultsReturnsTheThemesButton();
    void themeChoiceIsStored();
};

void TestSettingEditors::editorWritesItsOwnField_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("stored"); // file, section, key, value
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("shown");

    const QString start = "  True  : DEFAULT Start button";
    QTest::newRow("command") << +Command << "/usr/bin/env|x,,y"
                             << QStringList{"terminal.ini", "DEFAULT", "05",
                                            startLine.arg("", "", "True", "/usr/bin/env x,,y")}
                             << "select /opt/my tool/run|-a,b,,c"
                             << "Click: |master start|" + start;
    QTest::newRow("click sound") << +Click << "bell"
                                 << QStringList{"terminal.ini", "DEFAULT", "05",
                                                startLine.arg("", "bell", "True", startCommand)}
                                 << "Sound:|KESTA Terminal|"
                                 << "Click: bell|master start|" + start;
    QTest::newRow("over sound") << +Over << "C:\\sounds\\hum.wav"
                                << QStringList{"terminal.ini", "DEFAULT", "05",
                                               startLine.arg("C:\\sounds\\hum.wav", "", "True",
                                                             startCommand)}
                                << "Sound:|KESTA Terminal|"
                                << "Click: |master start|" + start;
    QTest::newRow("protection") << +Protection << ""
                                << QStringList{"terminal.ini", "DEFAULT", "05",
                                               startLine.arg("", "", "false", startCommand)}
                                << ""
                                << "Click: |master start|  False : DEFAULT Start button";
    QTest::newRow("voice") << +Voice << "open start"
                           << QStringList{"voicecontrol.ini", "TERMINAL", "05", "open start"}
                           << "Say:|KESTA Terminal|master start"
                           << "Click: |open start|" + start;
}

void TestSettingEditors::editorWritesItsOwnField()
{
    QFETCH(int, button);
    QFETCH(QString, answer);
    QFETCH(QStringList, stored);
    QFETCH(QString, asked);
    QFETCH(QString, shown);
    Editing f;
    const QByteArray skin = readBytes(f.theme("terminal.skn"));
    f.select(3);
    f.dialogAnswers = {answer};
    f.promptAnswers = {answer};

    f.click(button);

    stored[0] = f.theme(stored[0]);
    QCOMPARE(ConsoleFixture::store(stored.mid(0, 3)), stored[3]);
    QCOMPARE(f.asked.join('\n'), asked);
    QCOMPARE(f.shown(), shown);
    QCOMPARE(f.console->lblInfo(0)->text(), "05 TERMINAL DEFAULT");
    QCOMPARE(readBytes(f.theme("terminal.skn")), skin);
}

void TestSettingEditors::writesNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("button");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("asks");

    QTest::newRow("command, dialog quit") << 3 << +Command << Answer() << true;
    QTest::newRow("command, dialog left empty") << 3 << +Command << Answer("|") << true;
    QTest::newRow("click sound cancelled") << 3 << +Click << Answer("") << true;
    QTest::newRow("over sound with a comma") << 3 << +Over << Answer("a,b") << true;
    QTest::newRow("voice cancelled") << 3 << +Voice << Answer("") << true;
    QTest::newRow("short line, command") << 4 << +Command << Answer("x|") << false;
    QTest::newRow("short line, click sound") << 4 << +Click << Answer("bell") << false;
    QTest::newRow("short line, protection") << 4 << +Protection << Answer() << false;
    QTest::newRow("no selection, protection") << -1 << +Protection << Answer() << false;
    QTest::newRow("no selection, voice") << -1 << +Voice << Answer("x") << false;
    QTest::newRow("no selection, restore") << -1 << +Restore << Answer() << false;
}

void TestSettingEditors::writesNothing()
{
    QFETCH(int, row);
    QFETCH(int, button);
    QFETCH(Answer, answer);
    QFETCH(bool, asks);
    Editing f;
    f.select(row);
    const QString before = f.shown();
    f.dialogAnswers = {answer};
    f.promptAnswers = {answer.value_or(QString())};

    f.click(button);

    QCOMPARE(f.asked.size(), asks ? 1 : 0);
    QCOMPARE(f.shown(), before);
    for (const char *name : {"terminal.ini", "voicecontrol.ini", "Security.ini"})
        QVERIFY2(!QFile::exists(f.theme(name)), name);
}

void TestSettingEditors::toggleGuardsTheConsoleButtonAtItsNextClick()
{
    Editing f;
    f.select(1);
    const QStringList key{f.theme("Security.ini"), "DEFAULT", "14"};
    for (const char *flag : {"true", "false", "true"}) {
        f.click(Protection);
        QCOMPARE(ConsoleFixture::store(key), QString("b.bmp,B,0,370,9,9,,,%1,QUIT").arg(flag));
    }
    QCOMPARE(f.console->lstBox(1)->item(1)->text(), "  True  : DEFAULT Quit button");
    f.dialogAnswers = {QString()};
    f.click(Quit);
    QCOMPARE(f.asked, QStringList{"input masked"});
    QVERIFY(f.console->ended);
}

void TestSettingEditors::restoreDefaultsReturnsTheThemesButton()
{
    Editing f;
    f.select(3);
    f.promptAnswers = {"bell", "hi"};
    for (Button button : {Click, Protection, Voice})
        f.click(button);
    QCOMPARE(f.shown(), "Click: bell|hi|  False : DEFAULT Start button");

    f.click(Restore);

    QCOMPARE(ConsoleFixture::store({f.theme("terminal.ini"), "DEFAULT", "05"}), std::nullopt);
    QCOMPARE(ConsoleFixture::store({f.theme("voicecontrol.ini"), "TERMINAL", "05"}), std::nullopt);
    QCOMPARE(f.shown(), "Click: |master start|  True  : DEFAULT Start button");
    QCOMPARE(f.console->lstBox(1)->count(), 5);
}

void TestSettingEditors::themeChoiceIsStored()
{
    Editing f;
    settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Other\\");
    f.click(Theme);
    QCOMPARE(ConsoleFixture::store({"Default", "ThemeDir"}), "\\Themes\\Test\\");

    f.console->lstBox(2)->setCurrentRow(0);
    f.click(Theme);
    QCOMPARE(ConsoleFixture::store({"Default", "ThemeDir"}), "\\Themes\\Blue\\");
}

QTEST_MAIN(TestSettingEditors)
#include "tst_setting_editors.moc"
