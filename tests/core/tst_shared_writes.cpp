// Several processes share one file: concurrent writers lose nothing, a writer killed at any
// moment leaves a whole file behind, and locks live only where nobody else can write.

#include "core/ini_access.h"
#include "platform/profile_document.h"
#include "test_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QThread>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Writes count keys prefix1 ... prefixN into [section] of file, one WriteINI each.
void startWriter(QProcess &writer, const QString &file, const QString &section,
                 const QString &prefix, int count)
{
    writer.start(QCoreApplication::applicationDirPath() + u"/profile_writer"_s,
                 {file, section, prefix, QString::number(count)});
    QVERIFY(writer.waitForStarted());
}

QStringList folderEntries(const QString &file)
{
    return QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSharedWrites : public QObject
{
    Q_OBJECT

private slots:
    void twoWritersLoseNothing();
    void killedWriterLeavesAWholeFile();
    void locksOnlyWhereNobodyElseWrites_data();
    void locksOnlyWhereNobodyElseWrites();
};

void TestSharedWrites::twoWritersLoseNothing()
{
    TestEnvironment env;
    const QString file = env.path(u"theme/voicecontrol.ini"_s);
    const QByteArray shellsLines("; the shell's comment\r\n[TERMINAL]\r\n01=open mail\r\n");
    writeBytes(file, shellsLines);

    QProcess first, second;
    startWriter(first, file, u"TERMINAL"_s, u"a"_s, 500);
    startWriter(second, file, u"terminal"_s, u"b"_s, 500);
    QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
    QCOMPARE(first.exitCode() + second.exitCode(), 0);

    const platform::ProfileDocument document(readBytes(file));
    QCOMPARE(document.keyNames(u"TERMINAL").value().size(), 1001);
    for (int i = 1; i <= 500; ++i) {
        for (const QString &prefix : {u"a"_s, u"b"_s})
            QCOMPARE(document.value(u"TERMINAL", prefix + QString::number(i)), QString::number(i));
    }
    QVERIFY(document.bytes().startsWith(shellsLines));
    QCOMPARE(folderEntries(file), QStringList{u"voicecontrol.ini"_s});
}

void TestSharedWrites::killedWriterLeavesAWholeFile()
{
    TestEnvironment env;
    const QString file = env.path(u"theme/Security.ini"_s);
    writeBytes(file, "[DEFAULT]\r\n");

    for (int round = 0; round < 20; ++round) {
        const QString prefix = u"r%1_"_s.arg(round);
        QProcess writer;
        startWriter(writer, file, u"DEFAULT"_s, prefix, 100000);
        QThread::msleep(20 + QRandomGenerator::global()->bounded(60));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());

        // Whatever the moment, the file holds whole lines: keys 1 ... n of this round.
        const platform::ProfileDocument document(readBytes(file));
        QVERIFY(document.bytes().startsWith("[DEFAULT]\r\n") && document.bytes().endsWith("\r\n"));
        const QStringList keys = document.keyNames(u"DEFAULT").value().filter(prefix);
        for (int i = 1; i <= keys.size(); ++i)
            QCOMPARE(document.value(u"DEFAULT", prefix + QString::number(i)), QString::number(i));
    }

    // The lock of a killed writer does not block the next one, and what it left beside the
    // shared file goes with the next write.
    QVERIFY(WriteINI(u"DEFAULT"_s, u"after"_s, u"1"_s, file));
    QCOMPARE(folderEntries(file), QStringList{u"Security.ini"_s});
}

void TestSharedWrites::locksOnlyWhereNobodyElseWrites_data()
{
    // XDG_RUNTIME_DIR: the test's private one, none, or one every user may write to.
    QTest::addColumn<QString>("runtime");
    // What another user put where the lock folder goes: a file, a link to a folder of theirs, an
    // open folder, or a folder of their own.
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("reason"); // why the write fails at once; empty: it succeeds
    QTest::newRow("no session, the name in /tmp taken") << u"none"_s << u"tmp"_s << QString();
    QTest::newRow("open runtime folder") << u"open"_s << QString() << QString();
    QTest::newRow("a file") << u"private"_s << u"file"_s << u"is not a folder"_s;
    QTest::newRow("a link") << u"private"_s << u"link"_s << u"is a symbolic link"_s;
    QTest::newRow("open to all") << u"none"_s << u"open"_s << u"may be written by other users"_s;
    QTest::newRow("another user's") << u"private"_s << u"foreign"_s << u"belongs to another user"_s;
}

void TestSharedWrites::locksOnlyWhereNobodyElseWrites()
{
    QFETCH(QString, runtime);
    QFETCH(QString, taken);
    QFETCH(QString, reason);
    if (taken == u"foreign" && ::geteuid() != 0)
        QSKIP("only root can give a folder to another user");
    TestEnvironment env;
    const QByteArray tmp = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] { qputenv("TMPDIR", tmp); });
    qputenv("TMPDIR", QFile::encodeName(env.path(u"tmp/"_s)));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(env.path(u"cache/"_s)));
    const auto openToAll = QFileDevice::Permissions(0x7777);
    if (runtime == u"none") {
        qunsetenv("XDG_RUNTIME_DIR");
    } else if (runtime == u"open") {
        QDir().mkpath(env.path(u"open"_s));
        QFile::setPermissions(env.path(u"open"_s), openToAll);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(env.path(u"open"_s)));
    }
    const QString folder = env.path(runtime == u"private" ? u"runtime/kesta-terminal-locks"_s
                                                          : u"cache/kesta-terminal-locks"_s);
    if (taken == u"tmp")
        writeBytes(env.path(u"tmp/kesta-terminal-locks-"_s) + QString::number(::getuid()), "");
    else if (taken == u"file")
        writeBytes(folder, "");
    else if (taken == u"link")
        QFile::link(env.path(u"theirs/"_s), folder);
    else if (!taken.isEmpty())
        QDir().mkpath(folder);
    if (taken == u"open")
        QFile::setPermissions(folder, openToAll);
    if (taken == u"foreign")
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);

    if (!reason.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(reason)));
    const QString file = env.path(u"theme/f.ini"_s);
    QCOMPARE(WriteINI(u"S"_s, u"k"_s, u"v"_s, file), reason.isEmpty());
    QCOMPARE(QFile::exists(file), reason.isEmpty());
    if (reason.isEmpty())
        QCOMPARE(QFile::permissions(folder) & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_GUILESS_MAIN(TestSharedWrites)
#include "tst_shared_writes.moc"
