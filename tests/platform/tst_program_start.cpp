#include "platform/program_start.h"
#include "test_environment.h"

#include <QFile>
#include <QTest>

// Starts a recorder script that writes its arguments, one per line, to a file beside it.
class TestProgramStart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_env.reset(); }

    void startsWithoutAShell_data();
    void startsWithoutAShell();
    void storedPathIsMapped();
    void failsSilently_data();
    void failsSilently();

private:
    QStringList recorded() const;

    std::unique_ptr<TestEnvironment> m_env;
    QString m_script; // in a folder whose name has a blank
    QString m_record;
};

void TestProgramStart::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_script = m_env->path("Tool Box/record.sh");
    m_record = m_env->path("record.txt");
    const QByteArray record = QFile::encodeName(m_record);
    // Written aside and moved into place, so that the test never reads half a file.
    writeBytes(m_script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record + ".part\"\nmv \"" +
                             record + ".part\" \"" + record + "\"\n");
    QFile::setPermissions(m_script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList TestProgramStart::recorded() const
{
    return QString::fromUtf8(readBytes(m_record)).split('\n', Qt::SkipEmptyParts);
}

void TestProgramStart::startsWithoutAShell_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no arguments") << "" << QStringList();
    QTest::newRow("quotes group, blanks separate")
        << "-x  \"two words\" last" << QStringList{"-x", "two words", "last"};
    QTest::newRow("nothing a shell would expand or redirect")
        << "$HOME > out ; `id` *" << QStringList{"$HOME", ">", "out", ";", "`id`", "*"};
    QTest::newRow("backslashes are ordinary")
        << "C:\\Tools\\x.exe" << QStringList{"C:\\Tools\\x.exe"};
}

void TestProgramStart::startsWithoutAShell()
{
    QFETCH(QString, arguments);
    QFETCH(QStringList, expected);
    QVERIFY(platform::startProgram('"' + m_script + "\" " + arguments));
    QTRY_VERIFY(QFile::exists(m_record));
    QCOMPARE(recorded(), expected);
    QVERIFY(m_env->messages.isEmpty());
}

// Commands written for a system with backslashes that ignores letter case still start.
void TestProgramStart::storedPathIsMapped()
{
    QString stored = m_script;
    stored.replace("Tool Box/record.sh", "TOOL BOX/Record.SH").replace('/', '\\');
    QVERIFY(platform::startProgram('"' + stored + "\" -v"));
    QTRY_VERIFY(QFile::exists(m_record));
    QCOMPARE(recorded(), QStringList{"-v"});
}

void TestProgramStart::failsSilently_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::newRow("empty") << "";
    QTest::newRow("empty quotes") << "\"\" -x";
    QTest::newRow("missing program") << "/no/such/folder/program -x";
    QTest::newRow("not executable") << "TEST_ENV/record.txt";
}

void TestProgramStart::failsSilently()
{
    QFETCH(QString, commandLine);
    writeBytes(m_record, "data");
    commandLine.replace("TEST_ENV", m_env->root());
    QVERIFY(!platform::startProgram(commandLine));
    QVERIFY(m_env->messages.isEmpty());
}

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_program_start.moc"
