// ReadINI, WriteINI and DeleteINI on real files: the "NotFound" rule, the INIValue slot, the
// buffer cut, file-name case, deletes, and failures that must leave the old file whole.

#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <sys/stat.h>

class TestIniAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void readsByTheNotFoundRule_data();
    void readsByTheNotFoundRule();
    void cutsLongValues();
    void slotHoldsOnlyTheLastRead();
    void writeEmptiesTheSlot();
    void writeCreatesFileAndSeesOtherWriters();
    void matchesFileNamesWithoutCase();
    void deletes();
    void deleteInMissingFileCreatesNothing();
    void refusesTextThatWouldBreakTheFile_data();
    void refusesTextThatWouldBreakTheFile();
    void failuresShowTheMessageAndKeepTheFile();
    void readOnlyAndFullFileSystems();

private:
    std::unique_ptr<TestEnvironment> env;
    QString file;
};

void TestIniAccess::init()
{
    env = std::make_unique<TestEnvironment>();
    file = env->path(QStringLiteral("theme/Security.skn"));
}

void TestIniAccess::cleanup()
{
    env.reset();
}

void TestIniAccess::readsByTheNotFoundRule_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    QTest::newRow("value") << QByteArray("[S]\r\nk=v\r\n") << true << "v";
    QTest::newRow("stored NotFound") << QByteArray("[S]\r\nk=NotFound\r\n") << false << "";
    QTest::newRow("other case of NotFound is found")
        << QByteArray("[S]\r\nk=notfound\r\n") << true << "notfound";
    QTest::newRow("empty value is found") << QByteArray("[S]\r\nk=\r\n") << true << "";
    QTest::newRow("quotes removed") << QByteArray("[S]\r\nk=\"  v  \"\r\n") << true << "  v  ";
    QTest::newRow("one quote pair only") << QByteArray("[S]\r\nk=\"\"x\"\"\r\n") << true << "\"x\"";
    QTest::newRow("mismatched quotes stay") << QByteArray("[S]\r\nk=\"v'\r\n") << true << "\"v'";
    QTest::newRow("lone quote stays") << QByteArray("[S]\r\nk=\"\r\n") << true << "\"";
    QTest::newRow("empty quotes") << QByteArray("[S]\r\nk=\"\"\r\n") << true << "";
    QTest::newRow("missing key") << QByteArray("[S]\r\nj=v\r\n") << false << "";
    QTest::newRow("missing section") << QByteArray("[T]\r\nk=v\r\n") << false << "";
    QTest::newRow("cut at the first NUL") << QByteArray("[S]\r\nk=\"a\0b\"\r\n", 14) << true << "a";
}

void TestIniAccess::readsByTheNotFoundRule()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(QString, value);
    writeBytes(file, content);
    programState().INIValue = QStringLiteral("stale");

    QCOMPARE(ReadINI(QStringLiteral("S"), QStringLiteral("k"), file), found);
    QCOMPARE(programState().INIValue, value);
    QCOMPARE(readIni(QStringLiteral("S"), QStringLiteral("k"), file).has_value(), found);
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::cutsLongValues()
{
    writeBytes(file,
               "[S]\r\nk=" + QByteArray(40000, 'x') + "\r\nj=" + QByteArray(31999, 'y') + "\r\n");
    QVERIFY(ReadINI(QStringLiteral("S"), QStringLiteral("k"), file));
    QCOMPARE(programState().INIValue.size(), 31999);
    QVERIFY(ReadINI(QStringLiteral("S"), QStringLiteral("j"), file));
    QCOMPARE(programState().INIValue.size(), 31999);
}

void TestIniAccess::slotHoldsOnlyTheLastRead()
{
    writeBytes(file, "[S]\r\na=1\r\nb=2\r\n");
    QVERIFY(ReadINI(QStringLiteral("S"), QStringLiteral("a"), file));
    QVERIFY(ReadINI(QStringLiteral("S"), QStringLiteral("b"), file));
    QCOMPARE(programState().INIValue, QStringLiteral("2"));
    QVERIFY(!ReadINI(QStringLiteral("S"), QStringLiteral("c"), file));
    QCOMPARE(programState().INIValue, QString());
    QVERIFY(!ReadINI(QStringLiteral("S"), QStringLiteral("a"), env->path("theme/none.skn")));
    QCOMPARE(programState().INIValue, QString());
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::writeEmptiesTheSlot()
{
    programState().INIValue = QStringLiteral("left over");
    QVERIFY(WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), file));
    QCOMPARE(programState().INIValue, QString());
}

void TestIniAccess::writeCreatesFileAndSeesOtherWriters()
{
    QVERIFY(WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("1"), file));
    QCOMPARE(readBytes(file), QByteArray("[S]\r\nk=1\r\n"));
    QCOMPARE(readIni(QStringLiteral("S"), QStringLiteral("k"), file), QStringLiteral("1"));

    // Another program rewrites the file between two reads with the same size.
    writeBytes(file, "[S]\r\nk=2\r\n");
    QCOMPARE(readIni(QStringLiteral("S"), QStringLiteral("k"), file), QStringLiteral("2"));
    QFile::remove(file);
    QVERIFY(!ReadINI(QStringLiteral("S"), QStringLiteral("k"), file));

    // What a write reports as written reads back exactly, edge blanks and quotes included.
    for (const QString &value : QStringList{" a b ", "\"q\"", "'x", "\t"}) {
        QVERIFY(WriteINI(QStringLiteral("S"), QStringLiteral("k"), value, file));
        QCOMPARE(readIni(QStringLiteral("S"), QStringLiteral("k"), file), value);
    }
}

void TestIniAccess::matchesFileNamesWithoutCase()
{
    const QString real = env->path(QStringLiteral("prog/Themes/Blue/Terminal.skn"));
    writeBytes(real, "[DEFAULT]\r\nSound=True\r\n");
    const QString stored = env->root() + QStringLiteral("/PROG\\themes\\blue\\terminal.skn");

    QCOMPARE(readIni(QStringLiteral("default"), QStringLiteral("sound"), stored),
             QStringLiteral("True"));
    QVERIFY(WriteINI(QStringLiteral("DEFAULT"), QStringLiteral("Multiple"), QStringLiteral("False"),
                     stored));
    QCOMPARE(QDir(env->path("prog/Themes/Blue")).entryList(QDir::Files),
             QStringList{"Terminal.skn"});
    QCOMPARE(readBytes(real), QByteArray("[DEFAULT]\r\nSound=True\r\nMultiple=False\r\n"));

    // A new file keeps the name as written, inside the folders that exist.
    QVERIFY(WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"),
                     env->root() + QStringLiteral("\\prog\\THEMES\\Blue\\New.ini")));
    QVERIFY(QFile::exists(env->path("prog/Themes/Blue/New.ini")));
}

void TestIniAccess::deletes()
{
    writeBytes(file, "[A]\r\nk=1\r\nj=2\r\n;note\r\n[B]\r\nk=3\r\n");
    QVERIFY(DeleteINI(file, QStringLiteral("a"), QStringLiteral("K"), true, false));
    QCOMPARE(readBytes(file), QByteArray("[A]\r\nj=2\r\n;note\r\n[B]\r\nk=3\r\n"));
    QVERIFY(DeleteINI(file, QStringLiteral("A"), QString(), true, false));
    QCOMPARE(readBytes(file), QByteArray(";note\r\n[B]\r\nk=3\r\n"));
    QVERIFY(DeleteINI(file, QStringLiteral("A"), QStringLiteral("gone"), true, true));
    QVERIFY(DeleteINI(file, QString(), QString(), true, false));
    QVERIFY(!QFile::exists(file));
    QVERIFY(DeleteINI(file, QString(), QString(), true, true));

    QVERIFY(settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Blue\\"));
    QVERIFY(DeleteINI(settings::application, "DEFAULT", "themedir", false, true));
    QCOMPARE(settings::get(settings::application, "Default", "ThemeDir", "none"), "none");
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::deleteInMissingFileCreatesNothing()
{
    QVERIFY(DeleteINI(file, QStringLiteral("S"), QStringLiteral("k"), true, true));
    QVERIFY(DeleteINI(file, QStringLiteral("S"), QString(), true, true));
    QVERIFY(!QFile::exists(file));
}

void TestIniAccess::refusesTextThatWouldBreakTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in value") << "S"
                                         << "k"
                                         << "a\r\n[Evil]\r\nx=1";
    QTest::newRow("lone LF in value") << "S"
                                      << "k"
                                      << "a\nb";
    QTest::newRow("bracket in section") << "S]x"
                                        << "k"
                                        << "v";
    QTest::newRow("line break in section") << "S\nT"
                                           << "k"
                                           << "v";
    QTest::newRow("equals in key") << "S"
                                   << "a=b"
                                   << "v";
    QTest::newRow("comment key") << "S"
                                 << ";k"
                                 << "v";
    QTest::newRow("header key") << "S"
                                << "[k"
                                << "v";
    QTest::newRow("NUL in value") << "S"
                                  << "k" << QString("a") + QChar(0) + "b";
    QTest::newRow("half a surrogate pair") << "S"
                                           << "k" << QString(QChar(0xDC00));
    QTest::newRow("tab ending a key") << "S"
                                      << "k\t"
                                      << "v";
    QTest::newRow("tab opening a section") << " \tS"
                                           << "k"
                                           << "v";
    QTest::newRow("value that reads as not found") << "S"
                                                   << "k"
                                                   << "NotFound";
    QTest::newRow("value longer than a read returns") << "S"
                                                      << "k" << QString(32000, u'x');
}

void TestIniAccess::refusesTextThatWouldBreakTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before("[S]\r\nk=old\r\n");
    writeBytes(file, before);
    QVERIFY(!WriteINI(section, key, value, file));
    QCOMPARE(readBytes(file), before);
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
}

void TestIniAccess::failuresShowTheMessageAndKeepTheFile()
{
    const QString missingFolder = env->root() + QStringLiteral("/nowhere/x.ini");
    QVERIFY(
        !WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), missingFolder));
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
    QVERIFY(!QFile::exists(missingFolder));

    // A folder where the file should be cannot be read or written. Each message shows once for
    // the file until it changes; the log names every failure, without the value.
    env->messages.clear();
    QDir().mkpath(file);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^cannot change .*/Security.skn, \\[S\\] k: [^v]+$"));
    for (const char *key : {"k", "j"}) {
        QVERIFY(!ReadINI(QStringLiteral("S"), key, file));
        QVERIFY(!WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), file));
    }
    QCOMPARE(env->messages, (QStringList{"Error Retrieving Key", "Error Writing Key"}));
    QVERIFY(QFileInfo(file).isDir());

    // A pipe there now, which would block the reader until something writes to it.
    QVERIFY(QDir().rmdir(file));
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    QVERIFY(!ReadINI(QStringLiteral("S"), QStringLiteral("k"), file));
    QVERIFY(!WriteINI(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"), file));
    QCOMPARE(env->messages.size(), 4);
}

void TestIniAccess::readOnlyAndFullFileSystems()
{
    // Permission bits do not stop root, so the folders are real read-only and full mounts.
    const QString mount = env->path(QStringLiteral("mnt/x")).chopped(2);
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mount}) != 0)
        QSKIP("cannot mount a small file system here");
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });
    const QString target = mount + QStringLiteral("/terminal.skn");
    const QByteArray before("[DEFAULT]\r\nSound=True\r\n");
    writeBytes(target, before);

    QFile filler(mount + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
    }
    filler.close();
    QVERIFY(
        !WriteINI(QStringLiteral("DEFAULT"), QStringLiteral("Big"), QString(8192, u'v'), target));
    QCOMPARE(readBytes(target), before);

    QFile::remove(filler.fileName());
    QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", mount});
    QVERIFY(!WriteINI(QStringLiteral("DEFAULT"), QStringLiteral("Sound"), QStringLiteral("False"),
                      target));
    QCOMPARE(readBytes(target), before);
    QCOMPARE(readIni(QStringLiteral("DEFAULT"), QStringLiteral("Sound"), target),
             QStringLiteral("True"));
    // The file itself never changed: one message for both failures.
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
}

QTEST_GUILESS_MAIN(TestIniAccess)
#include "tst_ini_access.moc"
