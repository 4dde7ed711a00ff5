#include "app/program_options.h"

#include <QTest>

using app::Invocation;

class TestProgramOptions : public QObject
{
    Q_OBJECT

private slots:
    void consoleArguments_data();
    void consoleArguments();
};

void TestProgramOptions::consoleArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("text"); // how what is printed begins

    QTest::newRow("none: the console starts") << QStringList{} << int(Invocation::Run) << "";
    QTest::newRow("help")
        << QStringList{"--help"} << int(Invocation::PrintHelp)
        << "Usage: kesta-security [--help | --version | --preview THEME_FOLDER]\n";
    QTest::newRow("version") << QStringList{"-v"} << int(Invocation::PrintVersion)
                             << "kesta-security " + app::version() + "\n";
    QTest::newRow("the first of two")
        << QStringList{"--version", "-h"} << int(Invocation::PrintVersion) << "kesta-security ";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << int(Invocation::Refuse)
                                    << "kesta-security: unknown option '--bogus'\n";
    QTest::newRow("help hides no mistake") << QStringList{"-h", "-x"} << int(Invocation::Refuse)
                                           << "kesta-security: unknown option '-x'\n";
    QTest::newRow("Qt's own options are no exception")
        << QStringList{"-platform", "xcb"} << int(Invocation::Refuse)
        << "kesta-security: unknown option '-platform'\n";
    QTest::newRow("preview without its folder")
        << QStringList{"--preview"} << int(Invocation::Refuse)
        << "kesta-security: --preview needs a theme folder\n";
    QTest::newRow("an argument") << QStringList{"file.skn"} << int(Invocation::Refuse)
                                 << "kesta-security: unexpected argument 'file.skn'\n";
}

void TestProgramOptions::consoleArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QString, text);

    const Invocation invocation = app::parseConsoleArguments(arguments);
    QCOMPARE(int(invocation.action), action);
    QVERIFY2(text.isEmpty() ? invocation.text.isEmpty() : invocation.text.startsWith(text),
             qPrintable(invocation.text));
}

QTEST_MAIN(TestProgramOptions)
#include "tst_program_options.moc"
