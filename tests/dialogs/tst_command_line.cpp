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

    QTest::newRow("quoted path with arguments") << "\"C:\\Program Files\\Tool\\tool.exe\" -x"
                                                << "C:\\Program Files\\Tool\\tool.exe"
                                                << "-x"
                                                << "\"C:\\Program Files\\Tool\\tool.exe\" -x";
    QTest::newRow("no blank") << "/usr/bin/tool"
                              << "/usr/bin/tool"
                              << ""
                              << "/usr/bin/tool";
    QTest::newRow("two blanks between program and arguments") << "tool.exe  -a -b"
                                                              << "tool.exe"
                                                              << "-a -b"
                                                              << "tool.exe -a -b";
    QTest::newRow("blanks inside the arguments stay") << "tool a  b "
                                                      << "tool"
                                                      << "a  b"
                                                      << "tool a  b";
    QTest::newRow("empty program with arguments") << " -x"
                                                  << ""
                                                  << "-x"
                                                  << " -x";
    QTest::newRow("both empty") << ""
                                << ""
                                << ""
                                << "";
    QTest::newRow("lower-case drive letter") << "c:\\tools\\run.exe /q"
                                             << "c:\\tools\\run.exe"
                                             << "/q"
                                             << "c:\\tools\\run.exe /q";
    QTest::newRow("quoted path without blank comes back unquoted") << "\"C:\\Tools\\run.exe\" -x"
                                                                   << "C:\\Tools\\run.exe"
                                                                   << "-x"
                                                                   << "C:\\Tools\\run.exe -x";
    QTest::newRow("blanks inside the quotes are trimmed") << "\" /opt/My Tool/run \""
                                                          << "/opt/My Tool/run"
                                                          << ""
                                                          << "\"/opt/My Tool/run\"";
    QTest::newRow("argument right after the closing quote is kept") << "\"/opt/My Tool/run\"-x"
                                                                    << "/opt/My Tool/run"
                                                                    << "-x"
                                                                    << "\"/opt/My Tool/run\" -x";
    QTest::newRow("no closing quote") << "\"/opt/My Tool/run -x"
                                      << "/opt/My Tool/run -x"
                                      << ""
                                      << "\"/opt/My Tool/run -x\"";
    QTest::newRow("tab is no separator") << "run\t-x"
                                         << "run\t-x"
                                         << ""
                                         << "run\t-x";
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
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("slashes") << "/usr/bin/tool" << true << "/usr/bin/"
                             << "tool";
    QTest::newRow("backslashes") << "C:\\Tools\\run.exe" << true << "C:\\Tools\\"
                                 << "run.exe";
    QTest::newRow("mixed, last one counts") << "C:\\Tools/sub\\run" << true << "C:\\Tools/sub\\"
                                            << "run";
    QTest::newRow("folder only") << "/usr/bin/" << true << "/usr/bin/"
                                 << "";
    QTest::newRow("bare name") << "tool.exe" << false << ""
                               << "";
    QTest::newRow("empty") << "" << false << ""
                           << "";
}

void TestCommandLine::programLocation()
{
    QFETCH(QString, program);
    QFETCH(bool, found);
    QFETCH(QString, folder);
    QFETCH(QString, fileName);
    const auto location = dialogs::programLocation(program);
    QCOMPARE(location.has_value(), found);
    if (location) {
        QCOMPARE(location->folder, folder);
        QCOMPARE(location->fileName, fileName);
    }
}

void TestCommandLine::rootHolding_data()
{
    QTest::addColumn<QStringList>("roots");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("expected");
    const QStringList roots = {"/", "/home", "/home/user/usb", "/mnt/data"};
    QTest::newRow("longest root wins") << roots << "/home/user/usb/tool" << 2;
    QTest::newRow("parent mount") << roots << "/home/user/tool" << 1;
    QTest::newRow("the root itself") << roots << "/mnt/data" << 3;
    QTest::newRow("the root with a slash") << roots << "/mnt/data/" << 3;
    QTest::newRow("a name that only starts like a root") << roots << "/homework/tool" << 0;
    QTest::newRow("letter case counts") << roots << "/HOME/user/tool" << 0;
    QTest::newRow("relative path") << roots << "bin/tool" << -1;
    QTest::newRow("no roots") << QStringList() << "/usr/bin" << -1;
}

void TestCommandLine::rootHolding()
{
    QFETCH(QStringList, roots);
    QFETCH(QString, path);
    QFETCH(int, expected);
    QCOMPARE(dialogs::rootHolding(roots, path), expected);
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
