// Programs started from a command line as the theme writes it: no shell in between, stored
// paths mapped to the disk, failures silent. The program is a script that records its
// arguments, one per line, in a folder whose name has a blank.

#include "platform/program_start.h"
#include "test_environment.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProgramStart : public QObject
{
    Q_OBJECT

private slots:
    void startsWithoutAShell_data();
    void startsWithoutAShell();
};

void TestProgramStart::startsWithoutAShell_data()
{
    QTest::addColumn<QString>("commandLine"); // SCRIPT: the recorder's path, quoted
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("starts");
    QTest::newRow("no arguments") << u"SCRIPT"_s << QStringList() << true;
    QTest::newRow("quotes group, blanks separate")
        << u"SCRIPT -x  \"two words\" last"_s << QStringList{"-x", "two words", "last"} << true;
    QTest::newRow("nothing a shell would expand or redirect")
        << u"SCRIPT $HOME > out ; `id` *"_s << QStringList{"$HOME", ">", "out", ";", "`id`", "*"}
        << true;
    QTest::newRow("backslashes are ordinary")
        << u"SCRIPT C:\\Tools\\x.exe"_s << QStringList{"C:\\Tools\\x.exe"} << true;
    // Written for a system with backslashes that ignores letter case.
    QTest::newRow("stored path") << u"STORED -v"_s << QStringList{"-v"} << true;
    QTest::newRow("empty") << QString() << QStringList() << false;
    QTest::newRow("empty quotes") << u"\"\" -x"_s << QStringList() << false;
    QTest::newRow("missing program") << u"/no/such/folder/program -x"_s << QStringList() << false;
    QTest::newRow("not executable") << u"RECORD"_s << QStringList() << false;
}

void TestProgramStart::startsWithoutAShell()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, arguments);
    QFETCH(bool, starts);
    TestEnvironment env;
    const QString script = env.path(u"Tool Box/record.sh"_s);
    const QString record = env.path(u"record.txt"_s);
    // Written aside and moved into place, so that the test never reads half a file.
    writeBytes(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.part\"\nmv \"$0.part\" \"" +
                           QFile::encodeName(record) + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString stored = script;
    stored.replace(u"Tool Box/record.sh"_s, u"TOOL BOX/Record.SH"_s).replace(u'/', u'\\');
    commandLine.replace(u"SCRIPT"_s, u'"' + script + u'"')
        .replace(u"STORED"_s, u'"' + stored + u'"')
        .replace(u"RECORD"_s, env.path(u"data.txt"_s));
    writeBytes(env.path(u"data.txt"_s), "data");

    QCOMPARE(platform::startProgram(commandLine), starts);
    if (starts) {
        QTRY_VERIFY(QFile::exists(record));
        QCOMPARE(QString::fromUtf8(readBytes(record)).split(u'\n', Qt::SkipEmptyParts), arguments);
    }
    QVERIFY(env.messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_program_start.moc"
