// The console's buttons and CHANGE... editors, driven as a person would: clicks, and the input
// dialog, the select dialog and the system's prompts answered from scripts. Results are read
// back from the files and the store (kesta-store) and from the sounds played.

#include "console/frm_main.h"
#include "console/open_command.h"
#include "core/settings_store.h"
#include "dialogs/frm_input.h"
#include "dialogs/frm_select.h"
#include "platform/services.h"
#include "recording_sound_output.h"
#include "test_environment.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

using Answer = std::optional<QString>;

namespace {

// clang-format off
enum Button { GuardedQuit = 1, Command, Click, Over, Protection, Voice, Restore, Theme, Quit,
              GuardedPassword, Password };
// clang-format on

// Buttons 1 to 11 from key 06 on. The protection list: 0 SECURITY, 1 its Quit button (key 14),
// 2 TERMINAL, 3 Start, 4 Short line.
const QByteArray consoleSkin = R"([DEFAULT]
msgboxsoundclick=Sound:
msgboxvoicecontrol=Say:
changesoundclick=Click:
01=secinfo,L,0,0,200,200,0,0,0,0,0,0,Sans,8
02=themes,L,0,200,200,50,0,0,0,0,0,0,Sans,8
03=secclick,T,200,0,200,20,0,0,0,0,0,0,Sans,8
04=secvc,T,200,20,200,20,0,0,0,0,0,0,Sans,8
05=ThemePic,P,0,0,4,4
06=b.bmp,B,0,0,9,9,,click,True,QUIT
07=b.bmp,B,0,0,9,9,,click,False,CHANGECOMMAND
08=b.bmp,B,0,0,9,9,,click,False,CHANGESOUNDCLICK
09=b.bmp,B,0,0,9,9,,click,False,CHANGESOUNDOVER
10=b.bmp,B,0,0,9,9,,click,False,CHANGESECURITY
11=b.bmp,B,0,0,9,9,,click,False,CHANGEVOICECONTROL
12=b.bmp,B,0,0,9,9,,click,False,CHANGEDEFAULT
13=b.bmp,B,0,0,9,9,,click,False,CHANGETHEME
14=b.bmp,B,0,0,9,9,,click,0,QUIT
15=b.bmp,B,0,0,9,9,,click,True,PASSWORD
16=b.bmp,B,0,0,9,9,,click,False,PASSWORD
[SECURITY]
01=14 DEFAULT Quit
)";
const QByteArray shellSkin = R"([DEFAULT]
PassStartSound=start
PassOkSound=ok
PassFailSound=fail
Text-Pass1=New:
Text-Pass2=Again:
05=truecolor.bmp,B,0,0,10,10,,,True,"/opt/my tool/run" -a,b,,c
06=x,B,1,2,3,4,o,c
[SECURITY]
01=05 DEFAULT Start
02=06 DEFAULT Short line
)";

// The theme "Test" in a private world, the console loaded from it, and a person who answers
// the dialogs (nullopt quits; "program|arguments" for the select dialog) and the prompts (empty
// cancels) in order. asked: "input masked", "select program|arguments", "prompt|title|default"
// (with "|masked" when the prompt masks what is typed).
struct World
{
    World();
    void answer(QWidget &window);
    QString theme(const QString &name) const { return env.root() + "/Themes/Test/" + name; }
    void click(int button) { emit console.imgButClicked(button); }
    void select(int row) { console.lstBox(1)->setCurrentRow(row); }
    QString sounds() const;
    QString shown() const
    {
        return console.lblInfo(5)->text() + '|' + console.lblInfo(6)->text() + '|' +
               console.lstBox(1)->item(3)->text();
    }

    QList<Answer> dialogAnswers;
    QStringList promptAnswers;
    QStringList asked;
    QList<int> pauses;
    bool ended = false;
    TestEnvironment env;
    RecordingSoundOutput sound;
    platform::ServicesOverride person;
    frmMain console;
};

World::World()
    : person({.inputPrompt =
                  [this](const QString &prompt, const QString &title, const QString &defaultText,
                         platform::PromptEcho echo) {
                      asked << prompt + '|' + title + '|' + defaultText +
                                   (echo == platform::PromptEcho::Password ? "|masked" : "");
                      return promptAnswers.isEmpty() ? QString() : promptAnswers.takeFirst();
                  },
              .showModal = [this](QWidget &window) { answer(window); },
              .sleep = [this](int milliseconds) { pauses.append(milliseconds); },
              .endProcess = [this] { ended = true; }})
{
    programState() = ProgramState();
    settings::save(settings::application, "Default", "ProgramDir", env.root());
    settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Test\\");
    for (const char *name : {"Themes/Test/b.bmp", "Themes/Test.bmp", "Themes/Blue.bmp"})
        QImage(4, 4, QImage::Format_RGB32).save(env.path(name));
    for (const char *name : {"start", "ok", "fail", "click"})
        writeBytes(theme(QString(name) + ".wav"), "RIFF");
    writeBytes(theme("terminal.skn"), shellSkin);
    writeBytes(theme("Security.skn"), consoleSkin);
    writeBytes(theme("voicecontrol.master"), "[TERMINAL]\n05=master start\n");

    QVERIFY(console.Form_Load());
}

void World::answer(QWidget &window)
{
    const Answer answer = dialogAnswers.isEmpty() ? "" : dialogAnswers.takeFirst();
    window.show();
    if (auto *input = qobject_cast<frmInput *>(&window)) {
        asked << (input->txtInput->echoMode() == QLineEdit::Normal ? "input clear"
                                                                   : "input masked");
        input->txtInput->setText(answer.value_or(""));
        if (answer)
            input->AcceptInput();
    } else if (auto *chooser = qobject_cast<frmSelect *>(&window)) {
        asked << "select " + chooser->txtSel->text() + '|' + chooser->txtSel2->text();
        chooser->txtSel->setText(answer.value_or("").section('|', 0, 0));
        chooser->txtSel2->setText(answer.value_or("").section('|', 1));
        if (answer)
            chooser->AcceptSelection();
    }
    if (!answer)
        window.close();
}

QString World::sounds() const
{
    QStringList names;
    for (const RecordingSoundOutput::Played &played : sound.played)
        names << QFileInfo(played.diskPath).completeBaseName();
    return names.join(' ');
}

// kesta-store's answer: the store with 2 arguments, an INI file with 3; nullopt when absent.
Answer stored(const QStringList &arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store",
                  (arguments.size() == 2 ? QStringList{"get"} : QStringList{"ini", "get"}) +
                      arguments);
    process.waitForFinished(30000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput()).chopped(1);
}

} // namespace

class TestConsoleCommands : public QObject
{
    Q_OBJECT

private slots:
    void gate_data();
    void gate();
    void keywords_data();
    void keywords();
    void passwordChange_data();
    void passwordChange();
    void openCommand_data();
    void openCommand();
    void editorWritesItsOwnField_data();
    void editorWritesItsOwnField();
    void editorWritesNothing_data();
    void editorWritesNothing();
    void toggledConsoleButtonAsksAtItsNextClick();
    void restoreDefaultsAndThemeChoice();
};

void TestConsoleCommands::gate_data()
{
    // The protected QUIT button of key 06, its flag overridden when flag is not empty.
    QTest::addColumn<QString>("flag");
    QTest::addColumn<QString>("password");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("sounds");
    struct Row
    {
        const char *name, *flag, *password;
        Answer answer;
        const char *sounds;
    };
    const char *passed = "start ok click", *refused = "start fail";
    for (const Row &row :
         std::initializer_list<Row>{{"right", "", "secret", "secret", passed},
                                    {"other case", "", "secret", "Secret", refused},
                                    {"empty entry", "", "secret", "", refused},
                                    {"quit dialog", "", "secret", {}, refused},
                                    {"none stored, empty entry", "", "", "", passed},
                                    {"none stored, quit dialog", "", "", {}, passed},
                                    {"none stored, any text", "", "", "x", refused},
                                    {"override False", ",False,QUIT", "secret", {}, "click"},
                                    {"override 0", ",0,QUIT", "secret", {}, "click"},
                                    {"override -1", ",-1,QUIT", "secret", {}, refused},
                                    {"override, no truth word", ",yes,QUIT", "secret", {}, refused},
                                    {"override, no field 9", ",", "secret", {}, "click"}})
        QTest::newRow(row.name) << QString(row.flag) << QString(row.password) << row.answer
                                << QString(row.sounds);
}

void TestConsoleCommands::gate()
{
    QFETCH(QString, flag);
    QFETCH(QString, password);
    QFETCH(Answer, answer);
    QFETCH(QString, sounds);
    World w;
    if (!flag.isEmpty())
        writeBytes(w.theme("security.ini"), "[default]\n06=b.bmp,B,0,0,9,9,,click" +
                                                flag.chopped(flag == "," ? 1 : 0).toUtf8());
    programState().Password = password;
    w.dialogAnswers = {answer};

    w.click(GuardedQuit);

    const bool asks = sounds.startsWith("start"), passes = sounds.endsWith("click");
    QCOMPARE(w.sounds(), sounds);
    QCOMPARE(w.asked, asks ? QStringList{"input masked"} : QStringList());
    QCOMPARE(w.ended, passes);
    QCOMPARE(w.pauses, asks && passes ? QList<int>{2000} : QList<int>());
    QCOMPARE(programState().DialogText, QString()); // the typed text is not kept
}

void TestConsoleCommands::keywords_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outcome");
    for (const auto &[command, outcome] : {std::pair{"Quit", "ended"},
                                           {"password", "New:|KESTA Terminal||masked"},
                                           {" QUIT", "opened  QUIT"},
                                           {"PASSWORD ", "opened PASSWORD"}})
        QTest::newRow(command) << QString(command) << QString(outcome);
}

void TestConsoleCommands::keywords()
{
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    World w;
    writeBytes(w.env.path(" QUIT"), "");
    writeBytes(w.env.path("PASSWORD"), "");
    QString opened;
    const platform::ServicesOverride desktop({.openWithDesktop = [&](const QUrl &url) {
        opened = "opened " + url.fileName();
        return true;
    }});
    programState().consoleButtons.at(Quit).command = command;

    w.click(Quit);
    QCOMPARE(w.ended ? "ended" : w.asked.value(0, opened), outcome);
}

void TestConsoleCommands::passwordChange_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("gateAnswer");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sounds");
    struct Row
    {
        const char *name;
        int button;
        const char *gateAnswer;
        QStringList entries;
        const char *password, *sounds;
    };
    const QString unstorable = QString("new") + QChar(0xD800);
    for (const Row &row : std::initializer_list<Row>{
             {"equal", Password, "", {"new", "new"}, "new", "click start ok"},
             {"the store refuses it",
              Password,
              "",
              {unstorable, unstorable},
              "old",
              "click start fail"},
             {"different", Password, "", {"new", "New"}, "old", "click start fail"},
             {"cancelled", Password, "", {}, "old", "click start fail"},
             {"gate refused", GuardedPassword, "new", {"new", "new"}, "old", "start fail"},
             {"behind the gate",
              GuardedPassword,
              "old",
              {"new", "new"},
              "new",
              "start ok click start ok"}})
        QTest::newRow(row.name) << row.button << QString(row.gateAnswer) << row.entries
                                << QString(row.password) << QString(row.sounds);
}

void TestConsoleCommands::passwordChange()
{
    QFETCH(int, button);
    QFETCH(QString, gateAnswer);
    QFETCH(QStringList, entries);
    QFETCH(QString, password);
    QFETCH(QString, sounds);
    World w;
    settings::save(settings::application, "DEFAULT", "Password", "old");
    programState().Password = "old";
    w.dialogAnswers = {gateAnswer};
    w.promptAnswers = entries;

    w.click(button);

    QCOMPARE(stored({"DEFAULT", "Password"}), password);
    QCOMPARE(w.sounds(), sounds);
    if (sounds.endsWith("ok"))
        QCOMPARE(w.asked.mid(w.asked.size() - 2),
                 QStringList({"New:|KESTA Terminal||masked", "Again:|KESTA Terminal||masked"}));
    // The running console's gate takes the password the store holds, and nothing else.
    w.dialogAnswers = {"old"};
    w.click(GuardedQuit);
    QCOMPARE(w.ended, password == "old");
}

void TestConsoleCommands::openCommand_data()
{
    // %R is ProgramDir; the program "rec" records its working folder and arguments.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outcome");
    for (const auto &[command, outcome] :
         {std::pair{"\"%R/Tool Box/rec\" -x \"a b\"", "%R\n-x\na b"},
          {"\"%R/Tool Box/rec", "%R"},
          {"rec notes.txt", "%R\nnotes.txt"},
          {"Docs/notes.txt -p", "file://%R/Docs/notes.txt"},
          {"%R/fake.exe", "file://%R/fake.exe"},
          {"https://example.org/a?b=c d", "https://example.org/a?b=c"}})
        QTest::newRow(command) << QString(command) << QString(outcome);
}

void TestConsoleCommands::openCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    TestEnvironment env;
    const QString root = programState().ProgramDir = env.root();
    const QByteArray record = QFile::encodeName(root + "/record");
    writeBytes(env.path("Tool Box/rec"), "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } >" + record +
                                             ".part; mv " + record + ".part " + record);
    writeBytes(env.path("fake.exe"), "MZ");
    writeBytes(env.path("Docs/notes.txt"), "");
    for (const char *name : {"Tool Box/rec", "fake.exe"})
        QFile::setPermissions(env.path(name), QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(root + "/Tool Box:") + path);
    QString result;
    const platform::ServicesOverride desktop(
        {.openWithDesktop = [&](const QUrl &url) { return !(result = url.toString()).isEmpty(); }});

    OpenCommand(command.replace("%R", root));
    if (outcome.startsWith("%R"))
        QTRY_VERIFY(QFile::exists(record));
    if (QFile::exists(record))
        result = QString(readBytes(record)).trimmed();
    qputenv("PATH", path);
    QCOMPARE(result, outcome.replace("%R", root));
}

void TestConsoleCommands::editorWritesItsOwnField_data()
{
    // The Start button's line, with the click sound caption, its voice command and list line.
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("stored"); // file, section, key, value
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("shown");

    const QString line = "truecolor.bmp,B,0,0,10,10,%1,%2,%3,%4";
    const QString command = "\"/opt/my tool/run\" -a,b,,c", start = "|master start|  True  : ";
    const QStringList key{"terminal.ini", "DEFAULT", "05"};
    QTest::newRow("command") << +Command << "/usr/bin/env|x,,y"
                             << key + QStringList{line.arg("", "", "True", "/usr/bin/env x,,y")}
                             << "select /opt/my tool/run|-a,b,,c"
                             << "Click: " + start;
    QTest::newRow("click sound") << +Click << "bell"
                                 << key + QStringList{line.arg("", "bell", "True", command)}
                                 << "Sound:|KESTA Terminal|"
                                 << "Click: bell" + start;
    QTest::newRow("over sound") << +Over << "C:\\hum.wav"
                                << key + QStringList{line.arg("C:\\hum.wav", "", "True", command)}
                                << "Sound:|KESTA Terminal|"
                                << "Click: " + start;
    QTest::newRow("protection") << +Protection << ""
                                << key + QStringList{line.arg("", "", "false", command)} << ""
                                << "Click: |master start|  False : ";
    QTest::newRow("voice") << +Voice << "open start"
                           << QStringList{"voicecontrol.ini", "TERMINAL", "05", "open start"}
                           << "Say:|KESTA Terminal|master start"
                           << "Click: |open start|  True  : ";
}

void TestConsoleCommands::editorWritesItsOwnField()
{
    QFETCH(int, button);
    QFETCH(QString, answer);
    QFETCH(QStringList, stored);
    QFETCH(QString, asked);
    QFETCH(QString, shown);
    World w;
    const QByteArray skin = readBytes(w.theme("terminal.skn"));
    w.select(3);
    w.dialogAnswers = {answer};
    w.promptAnswers = {answer};

    w.click(button);

    QCOMPARE(::stored({w.theme(stored[0]), stored[1], stored[2]}), stored[3]);
    QVERIFY(QFile::exists(w.theme(stored[0]))); // named as the skin file is, "terminal.ini"
    QCOMPARE(w.asked.join('\n'), asked);
    QCOMPARE(w.shown(), shown + "DEFAULT Start");
    QCOMPARE(w.console.lblInfo(0)->text(), "05 TERMINAL DEFAULT");
    QCOMPARE(readBytes(w.theme("terminal.skn")), skin);
}

void TestConsoleCommands::editorWritesNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("button");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("asks");

    QTest::newRow("command, dialog quit") << 3 << +Command << Answer() << true;
    QTest::newRow("click sound cancelled") << 3 << +Click << Answer("") << true;
    QTest::newRow("over sound with a comma") << 3 << +Over << Answer("a,b") << true;
    QTest::newRow("voice cancelled") << 3 << +Voice << Answer("") << true;
    QTest::newRow("click sound no file can hold") << 3 << +Click << Answer(QChar(0xDC00)) << true;
    QTest::newRow("short line, command") << 4 << +Command << Answer("x|") << false;
    QTest::newRow("short line, click sound") << 4 << +Click << Answer("bell") << false;
    QTest::newRow("short line, protection") << 4 << +Protection << Answer() << false;
    QTest::newRow("no selection, restore") << -1 << +Restore << Answer() << false;
}

void TestConsoleCommands::editorWritesNothing()
{
    QFETCH(int, row);
    QFETCH(int, button);
    QFETCH(Answer, answer);
    QFETCH(bool, asks);
    World w;
    w.select(row);
    const QString before = w.shown();
    w.dialogAnswers = {answer};
    w.promptAnswers = {answer.value_or("")};

    w.click(button);

    QCOMPARE(w.asked.size(), asks ? 1 : 0);
    QCOMPARE(w.shown(), before);
    for (const char *name : {"terminal.ini", "voicecontrol.ini", "Security.ini"})
        QVERIFY2(!QFile::exists(w.theme(name)), name);
}

void TestConsoleCommands::toggledConsoleButtonAsksAtItsNextClick()
{
    World w;
    w.select(1);
    for (const char *flag : {"true", "false", "true"}) {
        w.click(Protection);
        QCOMPARE(stored({w.theme("Security.ini"), "DEFAULT", "14"}),
                 QString("b.bmp,B,0,0,9,9,,click,%1,QUIT").arg(flag));
    }
    QCOMPARE(w.console.lstBox(1)->item(1)->text(), "  True  : DEFAULT Quit");
    w.click(Quit);
    QCOMPARE(w.asked, QStringList{"input masked"});
    QVERIFY(w.ended);
}

void TestConsoleCommands::restoreDefaultsAndThemeChoice()
{
    World w;
    w.select(3);
    w.promptAnswers = {"bell", "hi"};
    for (Button button : {Click, Protection, Voice})
        w.click(button);
    QCOMPARE(w.shown(), "Click: bell|hi|  False : DEFAULT Start");

    w.click(Restore);
    QCOMPARE(stored({w.theme("terminal.ini"), "DEFAULT", "05"}), std::nullopt);
    QCOMPARE(stored({w.theme("voicecontrol.ini"), "TERMINAL", "05"}), std::nullopt);
    QCOMPARE(w.shown(), "Click: |master start|  True  : DEFAULT Start");
    QCOMPARE(w.console.lstBox(1)->count(), 5);

    // No theme clicked: the one the console started with.
    settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Other\\");
    w.click(Theme);
    QCOMPARE(stored({"Default", "ThemeDir"}), "\\Themes\\Test\\");
    w.console.lstBox(2)->setCurrentRow(0);
    w.click(Theme);
    QCOMPARE(stored({"Default", "ThemeDir"}), "\\Themes\\Blue\\");
}

QTEST_MAIN(TestConsoleCommands)
#include "tst_console_commands.moc"
