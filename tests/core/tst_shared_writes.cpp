// Several processes share one file: concurrent writers lose nothing, and a writer killed at any
// moment leaves a whole file behind.

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

namespace {

QString writerProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/profile_writer");
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
    const QString file = env.path(QStringLiteral("theme/voicecontrol.ini"));
    writeBytes(file, "; the shell's comment\r\n[TERMINAL]\r\n01=open mail\r\n");

    QProcess first;
    QProcess second;
    first.start(writerProgram(), {file, QStringLiteral("TERMINAL"), QStringLiteral("a"), "500"});
    second.start(writerProgram(), {file, QStringLiteral("terminal"), QStringLiteral("b"), "500"});
    QVERIFY(first.waitForFinished(120000));
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);

    const platform::ProfileDocument document(readBytes(file));
    QCOMPARE(document.keyNames(u"TERMINAL").value().size(), 1001);
    for (int i = 1; i <= 500; ++i) {
        QCOMPARE(document.value(u"TERMINAL", QString(u'a' + QString::number(i))),
                 QString::number(i));
        QCOMPARE(document.value(u"TERMINAL", QString(u'b' + QString::number(i))),
                 QString::number(i));
    }
    QVERIFY(readBytes(file).startsWith("; the shell's comment\r\n[TERMINAL]\r\n01=open mail\r\n"));
    // No temporary file is left beside the shared one.
    QCOMPARE(QDir(env.path(QStringLiteral("theme"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"voicecontrol.ini"});
}

void TestSharedWrites::killedWriterLeavesAWholeFile()
{
    TestEnvironment env;
    const QString file = env.path(QStringLiteral("theme/Security.ini"));
    const QByteArray header("[DEFAULT]\r\n");
    writeBytes(file, header);

    for (int round = 0; round < 20; ++round) {
        QProcess writer;
        writer.start(writerProgram(),
                     {file, QStringLiteral("DEFAULT"),
                      QStringLiteral("r") + QString::number(round) + u'_', "100000"});
        QVERIFY(writer.waitForStarted());
        QThread::msleep(20 + QRandomGenerator::global()->bounded(60));
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());

        // Whatever the moment, the file is a sequence of whole lines, each key written once in
        // order: keys 1 … n of this round and nothing torn.
        const QByteArray bytes = readBytes(file);
        QVERIFY(bytes.startsWith(header));
        QVERIFY(bytes.endsWith("\r\n"));
        const platform::ProfileDocument document(bytes);
        const QStringList keys = document.keyNames(u"DEFAULT").value();
        const QString prefix = QStringLiteral("r") + QString::number(round) + u'_';
        const qsizetype written = std::count_if(keys.begin(), keys.end(), [&](const QString &k) {
            return k.startsWith(prefix) && k.mid(prefix.size()).toInt() > 0;
        });
        for (int i = 1; i <= written; ++i)
            QCOMPARE(document.value(u"DEFAULT", prefix + QString::number(i)), QString::number(i));
    }

    // The lock of a killed writer does not block the next one, and what it left beside the
    // shared file goes with the next write.
    QVERIFY(
        WriteINI(QStringLiteral("DEFAULT"), QStringLiteral("after"), QStringLiteral("1"), file));
    QCOMPARE(QDir(env.path(QStringLiteral("theme"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Security.ini"});
}

void TestSharedWrites::locksOnlyWhereNobodyElseWrites_data()
{
    // XDG_RUNTIME_DIR: the test's private one, none, or one every user may write to.
    QTest::addColumn<QString>("runtime");
    // What another user put where the lock folder goes: a file, a link to a folder of theirs, an
    // open folder, or a folder of their own.
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("reason"); // why the write fails at once; empty: it succeeds
    QTest::newRow("no session, the name in /tmp taken") << "none"
                                                        << "tmp"
                                                        << "";
    QTest::newRow("open runtime folder") << "open"
                                         << ""
                                         << "";
    QTest::newRow("a file") << "private"
                            << "file"
                            << "is not a folder";
    QTest::newRow("a link") << "private"
                            << "link"
                            << "is a symbolic link";
    QTest::newRow("open to all") << "none"
                                 << "open"
                                 << "may be written by other users";
    QTest::newRow("another user's") << "private"
                                    << "foreign"
                                    << "belongs to another user";
}

void TestSharedWrites::locksOnlyWhereNobodyElseWrites()
{
    QFETCH(QString, runtime);
    QFETCH(QString, taken);
    QFETCH(QString, reason);
    if (taken == "foreign" && ::geteuid() != 0)
        QSKIP("only root can give a folder to another user");
    TestEnvironment env;
    const QByteArray tmp = qgetenv("TMPDIR");
    const auto restore = qScopeGuard([&] { qputenv("TMPDIR", tmp); });
    qputenv("TMPDIR", QFile::encodeName(env.path("tmp/")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(env.path("cache/")));
    if (runtime == "none") {
        qunsetenv("XDG_RUNTIME_DIR");
    } else if (runtime == "open") {
        QDir().mkpath(env.path("open"));
        QFile::setPermissions(env.path("open"), QFileDevice::Permissions(0x7777));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(env.path("open")));
    }
    const QString folder = env.path(runtime == "private" ? "runtime/kesta-terminal-locks"
                                                         : "cache/kesta-terminal-locks");
    if (taken == "tmp")
        writeBytes(env.path("tmp/kesta-terminal-locks-") + QString::number(::getuid()), "");
    else if (taken == "file")
        writeBytes(folder, "");
    else if (taken == "link")
        QFile::link(env.path("theirs/"), folder);
    else if (!taken.isEmpty())
        QDir().mkpath(folder);
    if (taken == "open")
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
    if (taken == "foreign")
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);

    if (!reason.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(reason)));
    const QString file = env.path("theme/f.ini");
    QCOMPARE(WriteINI("S", "k", "v", file), reason.isEmpty());
    QCOMPARE(QFile::exists(file), reason.isEmpty());
    if (reason.isEmpty())
        QCOMPARE(QFile::permissions(folder) & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_GUILESS_MAIN(TestSharedWrites)
#include "tst_shared_writes.moc"
