// kesta-store as the shell and scripts use it: every form, its output and its exit status.

#include "test_environment.h"

#include <QProcess>
#include <QTest>

namespace {

// "exit status:output"; FILE in an argument stands for the file given.
QString kestaStore(const QString &arguments, const QString &file = {})
{
    QProcess process;
    process.start("sh", {"-c", "exec \"$0\" " + arguments,
                         qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store", file});
    process.waitForFinished(30000);
    return QString::number(process.exitCode()) + ':' + process.readAllStandardOutput();
}

} // namespace

class TestKestaStore : public QObject
{
    Q_OBJECT

private slots:
    void forms();
};

void TestKestaStore::forms()
{
    TestEnvironment env;
    const QString file = env.path("Themes/Blue/terminal.skn");
    writeBytes(file,
               "[DEFAULT]\r\nSound=True\r\nEmpty=\r\nMarker=NotFound\r\n[S]\r\nname=caf\xE9\r\n");
    const QString stored = env.root() + "\\themes\\BLUE\\Terminal.skn";
    // Text beyond a code-page file's code page reads back exactly; the shell's line keeps its
    // bytes. Bytes that are no UTF-8 are refused, not guessed at. Bad usage changes nothing.
    // Runs of tests/data/tables/kesta_store.txt: "ARGUMENTS => STATUS:OUTPUT".
    for (const QString &run : QString(readBytes(testData("tables/kesta_store.txt"))).split('\n')) {
        if (!run.isEmpty() && !run.startsWith('#'))
            QCOMPARE(kestaStore(run.section(" => ", 0, 0), stored) + " <= " + run,
                     run.section(" => ", 1).replace("\\n", "\n") + " <= " + run);
    }
    QCOMPARE(readBytes(file),
             "[S]\r\nname=caf\xE9\r\nv=\xC5\x81\xC3\xB3\x64\xC5\xBA \xE6\x97\xA5\xE6\x9C\xAC\r\n");

    const QString missing = env.path("Themes/Blue/voicecontrol.ini");
    QCOMPARE(kestaStore("ini delete \"$1\" TERMINAL 01", missing), "0:");
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(kestaStore("ini set \"$1\" S k v", env.root() + "/nowhere/x.ini"), "1:");
}

QTEST_GUILESS_MAIN(TestKestaStore)
#include "tst_kesta_store.moc"
