#include "dialogs/command_line.h"

#include <QTest>

using namespace dialogs;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void splitsAndJoins_data();
    void splitsAndJoins();
    void programLocation_data();
    void programLocation();
    void rootHolding_data();
    void rootHolding();
};

void TestCommandLine::splitsAndJoins_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("joined"); // the line the dialog gives back unchanged
    const auto row = [](const char *name, const char *line, const char *program,
                        const char *arguments, const char *joined) {
        QTest::newRow(name) << QString(line) << QString(program) << QString(arguments)
                            << QString(joined);
    };

    row("quoted path with arguments", "\"C:\\Program Files\\run.exe\" -x",
        "C:\\Program Files\\run.exe", "-x", "\"C:\\Program Files\\run.exe\" -x");
    row("no blank", "/usr/bin/tool", "/usr/bin/tool", "", "/usr/bin/tool");
    row("blanks around the arguments go, inside they stay", "tool  a  b ", "tool", "a  b",
        "tool a  b");
    row("empty program with arguments", " -x", "", "-x", " -x");
    row("both empty", "", "", "", "");
    row("quoted path without blank comes back unquoted", "\"C:\\Tools\\run.exe\" -x",
        "C:\\Tools\\run.exe", "-x", "C:\\Tools\\run.exe -x");
    row("blanks inside the quotes are trimmed", "\" /opt/My Tool/run \"", "/opt/My Tool/run", "",
        "\"/opt/My Tool/run\"");
    row("argument right after the closing quote is kept", "\"/opt/My Tool/run\"-x",
        "/opt/My Tool/run", "-x", "\"/opt/My Tool/run\" -x");
    row("no closing quote", "\"/opt/My Tool/run -x", "/opt/My Tool/run -x", "",
        "\"/opt/My Tool/run -x\"");
    row("tab is no separator", "run\t-x", "run\t-x", "", "run\t-x");
}

void TestCommandLine::splitsAndJoins()
{
    QFETCH(QString, line);
    QFETCH(QString, program);
    QFETCH(QString, arguments);
    QFETCH(QString, joined);
    const CommandLine split = splitCommandLine(line);
    QCOMPARE(split.program, program);
    QCOMPARE(split.arguments, arguments);
    QCOMPARE(joinCommandLine(split.program, split.arguments), joined);
}

void TestCommandLine::programLocation_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("folder"); // "-": no location
    QTest::addColumn<QString>("fileName");
    QTest::newRow("mixed, last one counts") << "C:\\Tools/sub\\run"
                                            << "C:\\Tools/sub\\"
                                            << "run";
    QTest::newRow("folder only") << "/usr/bin/"
                                 << "/usr/bin/"
                                 << "";
    QTest::newRow("bare name") << "tool.exe"
                               << "-"
                               << "";
    QTest::newRow("empty") << ""
                           << "-"
                           << "";
}

void TestCommandLine::programLocation()
{
    QFETCH(QString, program);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    const auto location = dialogs::programLocation(program);
    QCOMPARE(location.has_value(), folder != "-");
    if (location) {
        QCOMPARE(location->folder, folder);
        QCOMPARE(location->fileName, fileName);
    }
}

void TestCommandLine::rootHolding_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("expected");
    // The roots are "/", "/home", "/home/user/usb" and "/mnt/data".
    QTest::newRow("longest root wins") << "/home/user/usb/tool" << 2;
    QTest::newRow("the root itself") << "/mnt/data" << 3;
    QTest::newRow("a name that only starts like a root") << "/homework/tool" << 0;
    QTest::newRow("letter case counts") << "/HOME/user/tool" << 0;
    QTest::newRow("relative path") << "bin/tool" << -1;
}

void TestCommandLine::rootHolding()
{
    QFETCH(QString, path);
    QFETCH(int, expected);
    QCOMPARE(dialogs::rootHolding({"/", "/home", "/home/user/usb", "/mnt/data"}, path), expected);
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
