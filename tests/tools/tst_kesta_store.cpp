// kesta-store as the shell and scripts use it: every form, its output and its exit status.

#include "test_environment.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

Run kestaStore(const QStringList &args)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + QStringLiteral("/kesta-store"), args);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput()};
}

} // namespace

class TestKestaStore : public QObject
{
    Q_OBJECT

private slots:
    void settingsForms();
    void iniForms();
    void badUsage_data();
    void badUsage();
};

void TestKestaStore::settingsForms()
{
    TestEnvironment env;
    QCOMPARE(kestaStore({"get", "General", "Running"}).exitCode, 1);
    const Run withDefault = kestaStore({"get", "General", "Running", "False"});
    QCOMPARE(withDefault.exitCode, 0);
    QCOMPARE(withDefault.out, QByteArray("False\n"));

    QCOMPARE(kestaStore({"set", "Screen", "Left", " 0 "}).exitCode, 0);
    QCOMPARE(kestaStore({"get", "SCREEN", "left"}).out, QByteArray(" 0 \n"));
    QCOMPARE(kestaStore({"set", "Default", "ThemeDir", "\\Themes\\Blue\\"}).exitCode, 0);
    QCOMPARE(kestaStore({"get", "DEFAULT", "ThemeDir"}).out, QByteArray("\\Themes\\Blue\\\n"));
    QCOMPARE(kestaStore({"set", "DEFAULT", "Password", ""}).exitCode, 0);
    const Run empty = kestaStore({"get", "Default", "Password", "unused"});
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(empty.out, QByteArray("\n"));

    QCOMPARE(kestaStore({"request-exit"}).exitCode, 0);
    QCOMPARE(kestaStore({"get", "EXIT", "KESTA Terminal - Security"}).out, QByteArray("1\n"));
    QCOMPARE(kestaStore({"delete", "EXIT", "KESTA Terminal - Security"}).exitCode, 0);
    QCOMPARE(kestaStore({"get", "EXIT", "KESTA Terminal - Security"}).exitCode, 1);
    QCOMPARE(kestaStore({"delete", "EXIT", "never there"}).exitCode, 0);
}

void TestKestaStore::iniForms()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("Themes/Blue/terminal.skn"));
    writeBytes(file, "[DEFAULT]\r\nSound=True\r\nEmpty=\r\nMarker=NotFound\r\n");
    const QString stored = env.root() + QStringLiteral("\\themes\\BLUE\\Terminal.skn");

    QCOMPARE(kestaStore({"ini", "get", stored, "default", "sound"}).out, QByteArray("True\n"));
    const Run empty = kestaStore({"ini", "get", file, "DEFAULT", "Empty"});
    QCOMPARE(empty.exitCode, 0);
    QCOMPARE(empty.out, QByteArray("\n"));
    QCOMPARE(kestaStore({"ini", "get", file, "DEFAULT", "Marker"}).exitCode, 1);
    QCOMPARE(kestaStore({"ini", "get", file, "DEFAULT", "Missing"}).exitCode, 1);

    QCOMPARE(kestaStore({"ini", "set", stored, "GLOBAL", "01", "Sound: all sounds"}).exitCode, 0);
    QCOMPARE(kestaStore({"ini", "delete", file, "DEFAULT", "Empty"}).exitCode, 0);
    QCOMPARE(readBytes(file), QByteArray("[DEFAULT]\r\nSound=True\r\nMarker=NotFound\r\n"
                                         "[GLOBAL]\r\n01=Sound: all sounds\r\n"));
    QCOMPARE(kestaStore({"ini", "delete", file, "default"}).exitCode, 0);
    QCOMPARE(readBytes(file), QByteArray("[GLOBAL]\r\n01=Sound: all sounds\r\n"));

    // Text beyond a code-page file's code page reads back exactly; the shell's line keeps its
    // bytes. Bytes that are no UTF-8 are refused, not guessed at.
    const QString codePage = env.path(QStringLiteral("Themes/Blue/cp.ini"));
    const QByteArray shellLine("[S]\r\nname=caf\xE9\r\n");
    writeBytes(codePage, shellLine);
    const QString text = QString::fromUtf16(u"\u0141\u00f3d\u017a \u65e5\u672c");
    QCOMPARE(kestaStore({"ini", "set", codePage, "S", "v", text}).exitCode, 0);
    QCOMPARE(kestaStore({"ini", "get", codePage, "S", "v"}).out, text.toUtf8() + '\n');
    QCOMPARE(kestaStore({"ini", "get", codePage, "S", "name"}).out, "caf\xC3\xA9\n");
    const QByteArray before = readBytes(codePage);
    QVERIFY(before.startsWith(shellLine));
    QCOMPARE(
        QProcess::execute("sh", {"-c", "exec \"$0\" ini set \"$1\" S v \"$(printf 'caf\\351')\"",
                                 qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store", codePage}),
        1);
    QCOMPARE(readBytes(codePage), before);

    const QString missing = env.path(QStringLiteral("Themes/Blue/voicecontrol.ini"));
    QCOMPARE(kestaStore({"ini", "delete", missing, "TERMINAL", "01"}).exitCode, 0);
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(kestaStore({"ini", "set", env.root() + "/nowhere/x.ini", "S", "k", "v"}).exitCode, 1);
}

void TestKestaStore::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"frobnicate"};
    QTest::newRow("get without key") << QStringList{"get", "General"};
    QTest::newRow("set without value") << QStringList{"set", "General", "Running"};
    QTest::newRow("ini get too short") << QStringList{"ini", "get", "file", "S"};
    QTest::newRow("ini unknown") << QStringList{"ini", "list", "file"};
    QTest::newRow("ini delete, empty section") << QStringList{"ini", "delete", "file", ""};
    QTest::newRow("ini delete, empty key") << QStringList{"ini", "delete", "file", "S", ""};
}

void TestKestaStore::badUsage()
{
    QFETCH(QStringList, args);
    TestEnvironment env;
    const QString file = env.path("skin.skn");
    writeBytes(file, "[S]\r\nk=v\r\n");
    QCOMPARE(kestaStore(args.replaceInStrings(QRegularExpression("^file$"), file)).exitCode, 2);
    QCOMPARE(readBytes(file), "[S]\r\nk=v\r\n");
}

QTEST_GUILESS_MAIN(TestKestaStore)
#include "tst_kesta_store.moc"
