// Several processes share one file: concurrent writers lose nothing, a writer killed at any
// moment leaves a whole file behind, and locks live only where nobody else can write.

#include "core/ini_access.h"
#include "platform/profile_document.h"
#include "test_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>

namespace {

// Writes count keys prefix1 ... prefixN into [section] of file, one WriteINI each.
void startWriter(QProcess &writer, const QString &file, const QString &section,
                 const QString &prefix, int count)
{
    writer.start(QCoreApplication::applicationDirPath() + "/profile_writer",
                 {file, section, prefix, QString::number(count)});
    QVERIFY(writer.waitForStarted());
}

// Keys prefix1 ... prefixN of [DEFAULT] hold 1 ... N, after the shell's lines.
void verifyWhole(const QString &file, const QString &prefix, int count = -1)
{
    const platform::ProfileDocument document(readBytes(file));
    const QStringList keys = document.keyNames(u"DEFAULT").value_or(QStringList()).filter(prefix);
    QVERIFY(count < 0 || keys.size() == count);
    for (int i = 1; i <= keys.size(); ++i)
        QCOMPARE(document.value(u"DEFAULT", prefix + QString::number(i)), QString::number(i));
    QVERIFY(document.bytes().startsWith("; the shell's\r\n[DEFAULT]\r\n"));
}

} // namespace

class TestSharedWrites : public QObject
{
    Q_OBJECT

private slots:
    void writersLoseNothingEvenWhenKilled();
    void locksOnlyWhereNobodyElseWrites();
};

void TestSharedWrites::writersLoseNothingEvenWhenKilled()
{
    TestEnvironment env;
    const QString file = env.path("theme/voicecontrol.ini");
    writeBytes(file, "; the shell's\r\n[DEFAULT]\r\n");
    QProcess first, second;
    startWriter(first, file, "DEFAULT", "a", 500);
    startWriter(second, file, "default", "b", 500);
    QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
    QCOMPARE(first.exitCode() + second.exitCode(), 0);
    verifyWhole(file, "a", 500);
    verifyWhole(file, "b", 500);

    for (int round = 0; round < 10; ++round) {
        QProcess writer;
        startWriter(writer, file, "DEFAULT", QString("r%1_").arg(round), 100000);
        QThread::msleep(20 + 6 * round); // later and later
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        verifyWhole(file, QString("r%1_").arg(round));
    }
    // The lock of a killed writer does not block the next one, and what it left beside the
    // shared file goes with the next write.
    QVERIFY(WriteINI("DEFAULT", "after", "1", file));
    QCOMPARE(QDir(env.path("theme")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"voicecontrol.ini"});
}

void TestSharedWrites::locksOnlyWhereNobodyElseWrites()
{
    // Another user's link where the lock folder goes: the write is refused, nothing is written.
    TestEnvironment env;
    QFile::link(env.path("theirs/"), env.path("runtime/kesta-terminal-locks"));
    QVERIFY(!WriteINI("S", "k", "v", env.path("theme/f.ini")));
    QVERIFY(!QFile::exists(env.path("theme/f.ini")));
}

QTEST_GUILESS_MAIN(TestSharedWrites)
#include "tst_shared_writes.moc"
