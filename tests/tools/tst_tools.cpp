// The command-line tools as the shell, scripts and theme authors use them: kesta-store in every
// form, with its output and exit status; kesta-skin-check over the demo's themes (clean) and over
// a copy of one with known faults laid over it (tests/data/skin-check), compared with the
// expected report line by line.

#include "test_environment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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

QString source(const QString &relative)
{
    return qEnvironmentVariable("KESTA_SOURCE_DIR") + u'/' + relative;
}

QByteArray skinCheck(const QStringList &args, int *exitCode)
{
    QProcess process;
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + QStringLiteral("/kesta-skin-check"),
                  args);
    process.waitForFinished(60000);
    *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

void copyInto(const QString &from, const QString &to)
{
    QVERIFY(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-rT"), from, to}) == 0);
}

} // namespace

class TestTools : public QObject
{
    Q_OBJECT

private slots:
    void kestaStoreForms();
    void sharedFiles_data()
    {
        addTextRows({"setup", "command", "status", "check"}, "tables/shared_files.txt");
    }
    void sharedFiles();
    void skinCheckReportsEveryProblemOnItsLine_data();
    void skinCheckReportsEveryProblemOnItsLine();
};

void TestTools::kestaStoreForms()
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

void TestTools::sharedFiles()
{
    QFETCH(QString, setup);
    QFETCH(QString, command);
    QFETCH(QString, status);
    QFETCH(QString, check);
    if (otherUser().isEmpty())
        QSKIP("needs a second user, which only root may add");
    TestEnvironment env;
    QFile::setPermissions(env.root(), QFile::permissions(env.root()) | QFile::ExeOther);
    const QString prologue = R"sh(cd "$1"; export PATH="$2:$PATH" XDG_CONFIG_HOME="$1/config"
other() { setpriv --reuid=kesta-test --regid=kesta-test --clear-groups "$@"; }
lockfile() {
    d=/run/user/$(id -u)
    case $(stat -c %u:%A "$d" 2>/dev/null) in
        "$(id -u)":d????-??-?) ;;
        *) d=$(getent passwd "$(id -u)" | cut -d: -f6)/.cache ;;
    esac
    echo "$d/kesta-terminal-locks/$(printf %s "$(realpath "$1")" | sha1sum | cut -c1-40).flock"
}
)sh";
    const auto run = [&](const QString &script) {
        return QProcess::execute("sh", {"-c", prologue + script, "sh", env.root(),
                                        qEnvironmentVariable("KESTA_BIN_DIR")});
    };
    QCOMPARE(run(setup), 0);
    QCOMPARE(run(command), status.toInt());
    QCOMPARE(run(check), 0);
}

void TestTools::skinCheckReportsEveryProblemOnItsLine_data()
{
    QTest::addColumn<QString>("demoTheme");
    QTest::addColumn<QString>("faults"); // a folder of tests/data/skin-check laid over the copy
    QTest::addColumn<int>("exitCode");

    QTest::newRow("Default") << "Default" << QString() << 0;
    QTest::newRow("Amber") << "Amber" << QString() << 0;
    QTest::newRow("Broken") << "Default"
                            << "Broken" << 1;
    QTest::newRow("Empty") << QString() << "Empty" << 1;
}

void TestTools::skinCheckReportsEveryProblemOnItsLine()
{
    QFETCH(QString, demoTheme);
    QFETCH(QString, faults);
    QFETCH(int, exitCode);
    const QString name = faults.isEmpty() ? demoTheme : faults;
    QTemporaryDir program;
    const QString theme = program.filePath(QStringLiteral("Themes/") + name);
    QVERIFY(QDir().mkpath(theme));
    if (!demoTheme.isEmpty()) {
        copyInto(source(QStringLiteral("demo/Themes/") + demoTheme), theme);
        QVERIFY(QFile::copy(source(QStringLiteral("demo/Themes/%1.bmp").arg(demoTheme)),
                            theme + QStringLiteral(".bmp")));
    }
    QByteArray expected = "0 error(s), 0 warning(s) in Themes/" + name.toUtf8() + '\n';
    if (faults == "Broken") {
        // What git does not keep: a pipe and a folder where skins are, a folder and a link
        // loop where pictures are, a pipe where a sound is.
        for (const char *pipe : {"/Fifo.skn", "/pipe.wav"})
            QCOMPARE(mkfifo(QFile::encodeName(theme + pipe).constData(), 0600), 0);
        QVERIFY(QDir(theme).mkdir("Folder.skn") && QDir(theme).mkdir("folder.bmp"));
        QVERIFY(QFile::link("loop.bmp", theme + "/loop.bmp"));
    }
    if (!faults.isEmpty()) {
        if (QDir(source("tests/data/skin-check/" + faults)).exists())
            copyInto(source(QStringLiteral("tests/data/skin-check/") + faults), theme);
        QFile file(source(QStringLiteral("tests/data/skin-check/%1.expected").arg(faults)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        expected = file.readAll();
    }

    int status = -1;
    const QByteArray report = skinCheck({program.path(), name}, &status);
    QCOMPARE(QString::fromUtf8(report).split(u'\n'), QString::fromUtf8(expected).split(u'\n'));
    QCOMPARE(status, exitCode);

    // The theme folder alone names the same theme; --json lists the same problems.
    const QJsonArray problems =
        QJsonDocument::fromJson(skinCheck({"--json", theme}, &status)).array();
    QCOMPARE(problems.size(), report.count('\n') - 1);
    QCOMPARE(status, exitCode);
}

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
