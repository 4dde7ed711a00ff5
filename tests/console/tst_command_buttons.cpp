// Console buttons: the protection read on every click, the password gate and its sounds, the
// keywords, the password change and commands handed to the desktop. Results are read back from
// the store, the files, the sounds played and what the person was asked.

#include "console/open_command.h"
#include "console_fixture.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/shell_open.h"

#include <QFile>
#include <QTest>

using Answer = std::optional<QString>;

namespace {

// 07 unprotected QUIT, 08 protected QUIT, 09 protected PASSWORD, 10 unprotected PASSWORD.
const QStringList buttons{
    "07=b.bmp,B,0,300,9,9,,click,False,QUIT", "08=b.bmp,B,0,310,9,9,,click,True,QUIT",
    "09=b.bmp,B,0,320,9,9,,click,True,PASSWORD", "10=b.bmp,B,0,330,9,9,,click,False,PASSWORD"};

} // namespace

class TestCommandButtons : public QObject
{
    Q_OBJECT

private slots:
    void gate_data();
    void gate();
    void protectionIsReadOnEveryClick_data();
    void protectionIsReadOnEveryClick();
    void keywords_data();
    void keywords();
    void passwordChange_data();
    void passwordChange();
    void openCommand_data();
    void openCommand();
};

void TestCommandButtons::gate_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("password");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("passes");

    QTest::newRow("unprotected") << 1 << "secret" << Answer() << true;
    QTest::newRow("right") << 2 << "secret" << Answer("secret") << true;
    QTest::newRow("other case") << 2 << "secret" << Answer("Secret") << false;
    QTest::newRow("trailing blank") << 2 << "secret" << Answer("secret ") << false;
    QTest::newRow("empty entry") << 2 << "secret" << Answer("") << false;
    QTest::newRow("quit dialog") << 2 << "secret" << Answer() << false;
    QTest::newRow("none stored, empty entry") << 2 << "" << Answer("") << true;
    QTest::newRow("none stored, quit dialog") << 2 << "" << Answer() << true;
    QTest::newRow("none stored, any text") << 2 << "" << Answer("x") << false;
}

void TestCommandButtons::gate()
{
    QFETCH(int, button);
    QFETCH(QString, password);
    QFETCH(Answer, answer);
    QFETCH(bool, passes);
    ConsoleFixture f(buttons);
    programState().Password = password;
    f.dialogAnswers = {answer};

    f.click(button);

    QCOMPARE(f.console->ended, passes);
    if (button == 1) {
        QCOMPARE(f.asked, QStringList());
        QCOMPARE(f.sounds(), QStringList{"click"});
        return;
    }
    QCOMPARE(f.asked, QStringList{"input masked"});
    QCOMPARE(f.sounds(),
             passes ? QStringList({"start", "ok", "click"}) : QStringList({"start", "fail"}));
    QCOMPARE(f.console->pauses, passes ? QList<int>{2000} : QList<int>());
}

void TestCommandButtons::protectionIsReadOnEveryClick_data()
{
    QTest::addColumn<QString>("overrideLine");
    QTest::addColumn<bool>("asks");

    QTest::newRow("TRUE") << "b.bmp,B,0,300,9,9,,click,TRUE,QUIT" << true;
    QTest::newRow("-1") << "b.bmp,B,0,300,9,9,,click,-1,QUIT" << true;
    QTest::newRow("0") << "b.bmp,B,0,300,9,9,,click,0,QUIT" << false;
    QTest::newRow("no truth word") << "b.bmp,B,0,300,9,9,,click,yes,QUIT" << true;
    QTest::newRow("no field 9") << "b.bmp,B,0,300,9,9,,click" << false;
    QTest::newRow("empty override, skin's False") << "" << false;
}

void TestCommandButtons::protectionIsReadOnEveryClick()
{
    QFETCH(QString, overrideLine);
    QFETCH(bool, asks);
    ConsoleFixture f(buttons);
    writeBytes(f.theme("security.ini"), "[default]\n07=" + overrideLine.toUtf8() + "\n");
    f.dialogAnswers = {QString()};

    f.click(1);

    QCOMPARE(f.asked, asks ? QStringList{"input masked"} : QStringList());
    QVERIFY(f.console->ended);
}

void TestCommandButtons::keywords_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("Quit") << "Quit"
                          << "ended";
    QTest::newRow("quit") << "quit"
                          << "ended";
    QTest::newRow("password") << "password"
                              << "New:|KESTA Terminal|";
    QTest::newRow("leading blank") << " QUIT"
                                   << "opened  QUIT";
    QTest::newRow("trailing blank") << "PASSWORD "
                                    << "opened PASSWORD";
}

void TestCommandButtons::keywords()
{
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    ConsoleFixture f(buttons);
    writeBytes(f.env.path(" QUIT"), "");
    writeBytes(f.env.path("PASSWORD"), "");
    QString opened;
    platform::setDesktopOpenHandler([&](const QUrl &url) {
        opened = "opened " + url.fileName();
        return true;
    });
    programState().consoleButtons.at(1).command = command;

    f.click(1);
    platform::setDesktopOpenHandler({});

    QCOMPARE(f.console->ended ? "ended" : f.asked.value(0, opened), outcome);
}

void TestCommandButtons::passwordChange_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<Answer>("gateAnswer");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("sounds");

    const QStringList changed{"click", "start", "ok"};
    const QStringList refused{"click", "start", "fail"};
    QTest::newRow("equal") << 4 << Answer() << QStringList{"new", "new"} << "new" << changed;
    QTest::newRow("different") << 4 << Answer() << QStringList{"new", "New"} << "old" << refused;
    QTest::newRow("empty") << 4 << Answer() << QStringList{"", ""} << "old" << refused;
    QTest::newRow("first cancelled") << 4 << Answer() << QStringList{"", "new"} << "old" << refused;
    QTest::newRow("gate refused") << 3 << Answer("new") << QStringList{"new", "new"} << "old"
                                  << QStringList{"start", "fail"};
    QTest::newRow("behind the gate") << 3 << Answer("old") << QStringList{"new", "new"} << "new"
                                     << QStringList{"start", "ok", "click", "start", "ok"};
}

void TestCommandButtons::passwordChange()
{
    QFETCH(int, button);
    QFETCH(Answer, gateAnswer);
    QFETCH(QStringList, entries);
    QFETCH(QString, stored);
    QFETCH(QStringList, sounds);
    ConsoleFixture f(buttons);
    settings::save(settings::application, "DEFAULT", "Password", "old");
    programState().Password = "old";
    if (button == 3)
        f.dialogAnswers = {gateAnswer};
    f.promptAnswers = entries;

    f.click(button);

    QCOMPARE(ConsoleFixture::store({"DEFAULT", "Password"}), stored);
    QCOMPARE(f.sounds(), sounds);
    if (f.asked.size() > 1)
        QCOMPARE(f.asked.mid(f.asked.size() - 2),
                 QStringList({"New:|KESTA Terminal|", "Again:|KESTA Terminal|"}));
    // The running console's gate now takes what the store holds, and nothing else.
    f.dialogAnswers = {QString("old")};
    f.click(2);
    QCOMPARE(f.console->ended, stored == "old");
}

void TestCommandButtons::openCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("quoted program, options") << "\"%R/Tool Box/rec\" -x \"a b\""
                                             << "%R\n-x\na b";
    QTest::newRow("no closing quote") << "\"%R/Tool Box/rec"
                                      << "%R";
    QTest::newRow("program on PATH, file") << "rec notes.txt"
                                           << "%R\nnotes.txt";
    QTest::newRow("document") << "notes.txt"
                              << "file://%R/notes.txt";
    QTest::newRow("relative document, option") << "Docs/notes.txt -p"
                                               << "file://%R/Docs/notes.txt";
    QTest::newRow("executable bit, no program") << "%R/fake.exe"
                                                << "file://%R/fake.exe";
    QTest::newRow("address") << "https://example.org/a?b=c d"
                             << "https://example.org/a?b=c";
    QTest::newRow("missing") << "nothere.txt"
                             << "";
}

void TestCommandButtons::openCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, outcome);
    TestEnvironment env;
    const QString root = env.root();
    programState().ProgramDir = root;
    const QString record = root + "/record.txt";
    writeBytes(env.path("Tool Box/rec"), "#!/bin/sh\n{ pwd; printf '%s\\n' \"$@\"; } > \"" +
                                             record.toUtf8() + ".part\"\nmv \"" + record.toUtf8() +
                                             ".part\" \"" + record.toUtf8() + "\"\n");
    writeBytes(env.path("fake.exe"), "MZ not for this system");
    for (const char *name : {"Tool Box/rec", "fake.exe"})
        QFile::setPermissions(env.path(name), QFile::ReadOwner | QFile::ExeOwner);
    writeBytes(env.path("notes.txt"), "");
    writeBytes(env.path("Docs/notes.txt"), "");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(root + "/Tool Box:") + path);
    QString opened;
    platform::setDesktopOpenHandler([&](const QUrl &url) {
        opened = url.toString();
        return true;
    });

    OpenCommand(command.replace("%R", root));
    if (QTest::currentDataTag() != QByteArray("missing") && opened.isEmpty())
        QTRY_VERIFY(QFile::exists(record));
    platform::setDesktopOpenHandler({});
    qputenv("PATH", path);

    const QString started = QFile::exists(record) ? QString(readBytes(record)).trimmed() : "";
    QCOMPARE(opened.isEmpty() ? started : opened, outcome.replace("%R", root));
}

QTEST_MAIN(TestCommandButtons)
#include "tst_command_buttons.moc"
