// ReadINI, WriteINI and DeleteINI on real files: the "NotFound" rule, the INIValue slot, the
// buffer cut, file-name case, deletes, and failures that must leave the old file whole.

#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestIniAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { env.reset(); }
    void readsByTheNotFoundRule_data();
    void readsByTheNotFoundRule();
    void writesWhatReadsBack();
    void matchesFileNamesWithoutCase();
    void deletes();
    void refusesTextThatWouldBreakTheFile_data();
    void refusesTextThatWouldBreakTheFile();
    void failuresShowTheMessageOncePerFile();

private:
    std::unique_ptr<TestEnvironment> env;
    QString file;
};

void TestIniAccess::init()
{
    env = std::make_unique<TestEnvironment>();
    file = env->path(u"theme/Security.skn"_s);
}

void TestIniAccess::readsByTheNotFoundRule_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    QTest::newRow("value") << QByteArray("[S]\r\nk=v\r\n") << true << u"v"_s;
    QTest::newRow("stored NotFound") << QByteArray("[S]\r\nk=NotFound\r\n") << false << QString();
    QTest::newRow("other case of NotFound")
        << QByteArray("[S]\nk=notfound\n") << true << "notfound";
    QTest::newRow("empty value") << QByteArray("[S]\r\nk=\r\n") << true << QString();
    QTest::newRow("quotes removed") << QByteArray("[S]\nk=\"  v  \"\n") << true << u"  v  "_s;
    QTest::newRow("one quote pair only") << QByteArray("[S]\nk=\"\"x\"\"\n") << true << "\"x\"";
    QTest::newRow("mismatched quotes stay") << QByteArray("[S]\nk=\"v'\n") << true << "\"v'";
    QTest::newRow("cut at the first NUL") << QByteArray("[S]\nk=\"a\0b\"\n", 12) << true << "a";
    QTest::newRow("missing key") << QByteArray("[S]\r\nj=v\r\n") << false << QString();
    QTest::newRow("no file") << QByteArray() << false << QString();
    QTest::newRow("cut to the buffer") << "[S]\nk=" + QByteArray(32000, 'x') + '\n'
                                       << true << QString(31999, u'x');
}

void TestIniAccess::readsByTheNotFoundRule()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(QString, value);
    if (!content.isNull())
        writeBytes(file, content);
    programState().INIValue = u"stale"_s;

    QCOMPARE(ReadINI(u"S"_s, u"k"_s, file), found);
    QCOMPARE(programState().INIValue, value);
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::writesWhatReadsBack()
{
    programState().INIValue = u"left over"_s;
    QVERIFY(WriteINI(u"S"_s, u"k"_s, u"1"_s, file));
    QCOMPARE(programState().INIValue, QString());
    QCOMPARE(readBytes(file), QByteArray("[S]\r\nk=1\r\n"));

    // Another program rewrites the file between two reads with the same size.
    QCOMPARE(readIni(u"S"_s, u"k"_s, file), u"1"_s);
    writeBytes(file, "[S]\r\nk=2\r\n");
    QCOMPARE(readIni(u"S"_s, u"k"_s, file), u"2"_s);

    // Edge blanks and quotes included.
    for (const QString &value : {u" a b "_s, u"\"q\""_s, u"'x"_s, u"\t"_s}) {
        QVERIFY(WriteINI(u"S"_s, u"k"_s, value, file));
        QCOMPARE(readIni(u"S"_s, u"k"_s, file), value);
    }
}

void TestIniAccess::matchesFileNamesWithoutCase()
{
    const QString real = env->path(u"prog/Themes/Blue/Terminal.skn"_s);
    writeBytes(real, "[DEFAULT]\r\nSound=True\r\n");
    const QString stored = env->root() + u"/PROG\\themes\\blue\\terminal.skn"_s;

    QCOMPARE(readIni(u"default"_s, u"sound"_s, stored), u"True"_s);
    QVERIFY(WriteINI(u"DEFAULT"_s, u"Multiple"_s, u"False"_s, stored));
    QCOMPARE(readBytes(real), QByteArray("[DEFAULT]\r\nSound=True\r\nMultiple=False\r\n"));
    // A new file keeps the name as written, inside the folders that exist.
    QVERIFY(WriteINI(u"S"_s, u"k"_s, u"v"_s, env->root() + u"\\prog\\THEMES\\Blue\\New.ini"_s));
    QCOMPARE(QDir(env->path(u"prog/Themes/Blue"_s)).entryList(QDir::Files),
             (QStringList{u"New.ini"_s, u"Terminal.skn"_s}));
}

void TestIniAccess::deletes()
{
    QVERIFY(DeleteINI(file, u"S"_s, u"k"_s, true, true));
    QVERIFY(DeleteINI(file, u"S"_s, QString(), true, true));
    QVERIFY(!QFile::exists(file)); // deleting from a missing file creates nothing

    writeBytes(file, "[A]\r\nk=1\r\nj=2\r\n;note\r\n[B]\r\nk=3\r\n");
    QVERIFY(DeleteINI(file, u"a"_s, u"K"_s, true, false));
    QCOMPARE(readBytes(file), QByteArray("[A]\r\nj=2\r\n;note\r\n[B]\r\nk=3\r\n"));
    QVERIFY(DeleteINI(file, u"A"_s, QString(), true, false));
    QCOMPARE(readBytes(file), QByteArray(";note\r\n[B]\r\nk=3\r\n"));
    QVERIFY(DeleteINI(file, QString(), QString(), true, false));
    QVERIFY(!QFile::exists(file));

    QVERIFY(settings::save(settings::application, "Default", "ThemeDir", "\\Themes\\Blue\\"));
    QVERIFY(DeleteINI(settings::application, "DEFAULT", "themedir", false, true));
    QCOMPARE(settings::get(settings::application, "Default", "ThemeDir", "none"), "none");
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::refusesTextThatWouldBreakTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QString s = u"S"_s, k = u"k"_s, v = u"v"_s;
    QTest::newRow("line break in value") << s << k << u"a\r\n[Evil]\r\nx=1"_s;
    QTest::newRow("lone LF in value") << s << k << u"a\nb"_s;
    QTest::newRow("bracket in section") << u"S]x"_s << k << v;
    QTest::newRow("line break in section") << u"S\nT"_s << k << v;
    QTest::newRow("equals in key") << s << u"a=b"_s << v;
    QTest::newRow("comment key") << s << u";k"_s << v;
    QTest::newRow("header key") << s << u"[k"_s << v;
    QTest::newRow("NUL in value") << s << k << u"a"_s + QChar(0) + u"b"_s;
    QTest::newRow("half a surrogate pair") << s << k << QString(QChar(0xDC00));
    QTest::newRow("tab ending a key") << s << u"k\t"_s << v;
    QTest::newRow("tab opening a section") << u" \tS"_s << k << v;
    QTest::newRow("value that reads as not found") << s << k << u"NotFound"_s;
    QTest::newRow("value longer than a read returns") << s << k << QString(32000, u'x');
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
    QCOMPARE(env->messages, QStringList{u"Error Writing Key"_s});
}

void TestIniAccess::failuresShowTheMessageOncePerFile()
{
    const QString missingFolder = env->root() + u"/nowhere/x.ini"_s;
    QVERIFY(!WriteINI(u"S"_s, u"k"_s, u"v"_s, missingFolder));
    QCOMPARE(env->messages, QStringList{u"Error Writing Key"_s});
    QVERIFY(!QFile::exists(missingFolder));

    // A folder where the file should be cannot be read or written. Each message shows once for
    // the file until it changes; the log names every failure, without the value.
    env->messages.clear();
    QDir().mkpath(file);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^cannot change .*/Security.skn, \\[S\\] k: [^v]+$"));
    for (const QString &key : {u"k"_s, u"j"_s}) {
        QVERIFY(!ReadINI(u"S"_s, key, file));
        QVERIFY(!WriteINI(u"S"_s, u"k"_s, u"v"_s, file));
    }
    QCOMPARE(env->messages, (QStringList{u"Error Retrieving Key"_s, u"Error Writing Key"_s}));

    // A pipe there now, which would block the reader until something writes to it.
    QVERIFY(QDir().rmdir(file));
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    QVERIFY(!ReadINI(u"S"_s, u"k"_s, file));
    QVERIFY(!WriteINI(u"S"_s, u"k"_s, u"v"_s, file));
    QCOMPARE(env->messages.size(), 4);
}

QTEST_GUILESS_MAIN(TestIniAccess)
#include "tst_ini_access.moc"
