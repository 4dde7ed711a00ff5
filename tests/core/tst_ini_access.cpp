// ReadINI, WriteINI and DeleteINI on real files: the "NotFound" rule, the INIValue slot, the
// buffer cut, file-name case, deletes, and failures that must leave the old file whole; several
// processes sharing one file (concurrent writers lose nothing whatever name and environment they
// have, a writer killed at any moment leaves a whole file, a shell that takes no lock keeps its
// lines); the per-user settings store; numbers and Booleans written as text.

#include "core/ini_access.h"
#include "core/number_text.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/atomic_file.h"
#include "platform/file_watch.h"
#include "platform/native_path.h"
#include "platform/profile_document.h"
#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes count keys prefix1 ... prefixN into [section] of file, one WriteINI each.
void startWriter(QProcess &writer, const QString &file, const QString &section,
                 const QString &prefix, int count)
{
    writer.start(QCoreApplication::applicationDirPath() + "/profile_writer",
                 {file, section, prefix, QString::number(count)});
    QVERIFY(writer.waitForStarted());
}

int runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return process.exitCode();
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

class TestIniAccess : public QObject
{
    Q_OBJECT

private slots:
    void init() { file = env.emplace().path("t/Security.skn"); }
    void reads_data();
    void reads();
    void writesWhatReadsBackAndDeletes();
    void refusesTextThatWouldBreakTheFile_data();
    void refusesTextThatWouldBreakTheFile();
    void failuresShowTheMessageOncePerFile();
    void aFullDiskLeavesTheFileWhole();
    void writersLoseNothingEvenWhenKilled();
    void aShellWithoutTheLockKeepsItsLines();
    void keepsWhatAnotherWriterIsWriting();
    void putsNothingInPlaceOfAFileChangedSinceItsRead();
    void settingsStoreRoundTripsPrivatelyAndSeesTheShell();
    void aPassLooksOnceAndSeesItsOwnWrites();
    void numberTextForms();

private:
    std::optional<TestEnvironment> env;
    QString file;
};

void TestIniAccess::reads_data()
{
    // The file ("-": none; "<NUL>" a NUL; "<long>": 32,000 "x"), whether [S] k is found and the
    // value INIValue then holds ("<long>": 31,999 "x").
    addTextRows({"content", "found", "value"}, "tables/ini_reads.txt");
}

void TestIniAccess::reads()
{
    QFETCH(QString, content);
    QFETCH(QString, found);
    QFETCH(QString, value);
    if (content != "-")
        writeBytes(file, content.replace("<long>", QString(32000, 'x'))
                             .toUtf8()
                             .replace("<NUL>", QByteArray(1, '\0')));
    programState().INIValue = "stale";
    QCOMPARE(ReadINI("S", "k", file), found == "yes");
    QCOMPARE(programState().INIValue, value.replace("<long>", QString(31999, 'x')));
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::writesWhatReadsBackAndDeletes()
{
    // A file named in other case, with backslashes, as the shell stores it.
    const QString real = env->path("p/Themes/Blue/Terminal.skn");
    const QString stored = env->root() + "/P\\themes\\blue\\terminal.skn";
    writeBytes(real, "[A]\r\nk=1\r\nj=2\r\n;note\r\n[B]\r\nk=3\r\n");
    // Of two names in other case, the first in name order is the file.
    writeBytes(env->path("p/Themes/Blue/terminal.SKN"), "[B]\r\nk=other\r\n");
    QCOMPARE(readIni("b", "K", stored), "3");
    for (const QString value : {" a b ", "\"q\"", "'x", "\t"}) {
        QVERIFY(WriteINI("B", "k", value, stored));
        QCOMPARE(readIni("B", "k", stored), value);
    }
    // Another program rewrites the file between two reads with the same size.
    writeBytes(real, "[A]\r\nk=1\r\nj=2\r\n;note\r\n[B]\r\nk=4\r\n");
    QCOMPARE(readIni("B", "k", stored), "4");
    QVERIFY(DeleteINI(stored, "a", "K", true, false));
    QVERIFY(DeleteINI(stored, "B", QString(), true, false));
    QCOMPARE(readBytes(real), "[A]\r\nj=2\r\n;note\r\n");
    QVERIFY(DeleteINI(stored, QString(), QString(), true, false));
    QVERIFY(!QFile::exists(real));
    QVERIFY(DeleteINI(stored, "S", "k", true, true));
    QVERIFY(!QFile::exists(real)); // deleting from a missing file creates nothing
    // A new file keeps the name as written, inside the folders that exist.
    QVERIFY(WriteINI("S", "k", "v", env->root() + "\\p\\THEMES\\Blue\\New.ini"));
    QCOMPARE(QDir(env->path("p/Themes/Blue")).entryList(QDir::Files),
             QStringList({"New.ini", "terminal.SKN"}));
    QVERIFY(env->messages.isEmpty());
}

void TestIniAccess::refusesTextThatWouldBreakTheFile_data()
{
    addTextRows({"section", "key", "value", "through"}, "tables/refused_writes.txt");
}

// Each row through every path that must refuse it: nothing changes in the file or the store.
void TestIniAccess::refusesTextThatWouldBreakTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, through);
    value.replace("<NUL>", QChar(0)).replace("<half>", QChar(0xDC00));
    value.replace("<long>", QString(32000, 'x'));
    writeBytes(file, "[S]\r\nk=old\r\n");
    QVERIFY(!WriteINI(section, key, value, file));
    QCOMPARE(readBytes(file), "[S]\r\nk=old\r\n");
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
    if (through == "engine")
        return;
    QVERIFY(settings::save(settings::application, "S", "k", "old"));
    const QString store = settings::filePath(settings::application);
    const QByteArray stored = readBytes(store);
    QVERIFY(!settings::save(settings::application, section, key, value));
    if (through == "all") {
        const QString tool = qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store";
        QCOMPARE(runQuietly(tool, {"ini", "set", file, section, key, value}), 1);
        QCOMPARE(runQuietly(tool, {"set", section, key, value}), 1);
    }
    QCOMPARE(readBytes(file), "[S]\r\nk=old\r\n");
    QCOMPARE(readBytes(store), stored);
}

void TestIniAccess::failuresShowTheMessageOncePerFile()
{
    QVERIFY(!WriteINI("S", "k", "v", env->root() + "/nowhere/x.ini"));
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
    // A folder where the file should be: each message shows once for the file until it changes.
    env->messages.clear();
    QDir().mkpath(file);
    for (const QString key : {"k", "j"}) {
        QVERIFY(!ReadINI("S", key, file));
        QVERIFY(!WriteINI("S", "k", "v", file));
    }
    QCOMPARE(env->messages, QStringList({"Error Retrieving Key", "Error Writing Key"}));
    // A pipe there now, which would block the reader until something writes to it.
    QVERIFY(QDir().rmdir(file));
    QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
    QVERIFY(!ReadINI("S", "k", file));
    QVERIFY(!WriteINI("S", "k", "v", file));
    QCOMPARE(env->messages.size(), 4);
}

// The file may grow no larger than 64 bytes, as on a full disk: the write fails and leaves the
// old file whole, with nothing beside it.
void TestIniAccess::aFullDiskLeavesTheFileWhole()
{
    writeBytes(file, "[S]\r\nk=old\r\n");
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit full{64, limit.rlim_max};
    const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails
    setrlimit(RLIMIT_FSIZE, &full);
    const bool written = WriteINI("S", "k", QString(100, 'x'), file);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, signalBefore);
    QVERIFY(!written);
    QCOMPARE(readBytes(file), "[S]\r\nk=old\r\n");
    QCOMPARE(QDir(env->path("t")).entryList(QDir::Files | QDir::Hidden), {"Security.skn"});
    QCOMPARE(env->messages, QStringList{"Error Writing Key"});
}

void TestIniAccess::writersLoseNothingEvenWhenKilled()
{
    const QString shared = env->path("theme/voicecontrol.ini");
    writeBytes(shared, "; the shell's\r\n[DEFAULT]\r\n");
    // One writer names the file through a link and finds no runtime folder in its environment:
    // both still take the one lock of the file.
    QVERIFY(QFile::link(shared, env->path("link.ini")));
    QProcessEnvironment elsewhere = QProcessEnvironment::systemEnvironment();
    elsewhere.remove("XDG_RUNTIME_DIR");
    elsewhere.insert("XDG_CACHE_HOME", env->path("cache"));
    QProcess first, second;
    second.setProcessEnvironment(elsewhere);
    startWriter(first, shared, "DEFAULT", "a", 500);
    startWriter(second, env->path("link.ini"), "default", "b", 500);
    QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
    QCOMPARE(first.exitCode() + second.exitCode(), 0);
    verifyWhole(shared, "a", 500);
    verifyWhole(shared, "b", 500);
    QVERIFY(QFileInfo(env->path("link.ini")).isSymLink());

    for (int round = 0; round < 10; ++round) {
        QProcess writer;
        startWriter(writer, shared, "DEFAULT", QString("r%1_").arg(round), 100000);
        QThread::msleep(20 + 6 * round); // later and later
        ::kill(static_cast<pid_t>(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        verifyWhole(shared, QString("r%1_").arg(round));
    }
    // The lock of a killed writer does not block the next one, and what it left beside the
    // shared shared goes with the next write.
    QVERIFY(WriteINI("DEFAULT", "after", "1", shared));
    QCOMPARE(QDir(env->path("theme")).entryList(QDir::Files | QDir::Hidden),
             QStringList{"voicecontrol.ini"});
}

// A shell that rewrites the file in place without the lock, truncating it a moment before it
// writes, while kesta-store writes other keys: however their writes meet, a write never builds
// on the truncated file, so every line of the shell's survives.
void TestIniAccess::aShellWithoutTheLockKeepsItsLines()
{
    const QString shared = env->path("theme/voicecontrol.ini");
    QByteArray lines = "; the shell's\r\n[DEFAULT]\r\nrounds=0\r\n";
    for (int i = 1; i <= 30; ++i)
        lines += "line" + QByteArray::number(i) + '=' + QByteArray::number(i) + "\r\n";
    writeBytes(shared, lines);
    QProcess shell;
    shell.start(QCoreApplication::applicationDirPath() + "/profile_writer",
                {"--rewrite", shared, "8"});
    QVERIFY(shell.waitForStarted());
    const QString tool = qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store";
    for (int i = 1; !shell.waitForFinished(0); ++i)
        runQuietly(tool, {"ini", "set", shared, "DEFAULT", QString("k%1").arg(i), "v"});
    QCOMPARE(shell.exitCode(), 0);
    verifyWhole(shared, "line", 30);
}

// A new file that a live writer holds beside the shared one is its, not a dead writer's.
void TestIniAccess::keepsWhatAnotherWriterIsWriting()
{
    QFile held(env->path("t/.Security.skn.other.new"));
    QVERIFY(held.open(QIODevice::WriteOnly));
    QCOMPARE(::flock(held.handle(), LOCK_EX), 0);
    QVERIFY(WriteINI("S", "k", "v", file));
    QVERIFY(held.exists());
}

// The shell rewrites the file between a write's read and its rename: the write puts nothing in
// place, whether it replaces the file or, for a file with a second name, writes into it.
void TestIniAccess::putsNothingInPlaceOfAFileChangedSinceItsRead()
{
    for (const bool secondName : {false, true}) {
        writeBytes(file, "[S]\r\nk=old\r\n");
        if (secondName)
            QCOMPARE(::link(qPrintable(file), qPrintable(file + ".hard")), 0);
        const platform::FileVersion read{readBytes(file), *platform::stampOfPath(file)};
        writeBytes(file, "[S]\r\nk=the shell's\r\n");
        QCOMPARE(platform::replaceFile(file, read, "[S]\r\nk=mine\r\n").outcome,
                 platform::Replacement::Stale);
        QCOMPARE(readBytes(file), "[S]\r\nk=the shell's\r\n");
    }
}

// The store takes any single line back exactly, keeps its folder and file private, and sees the
// shell's writes at once.
void TestIniAccess::settingsStoreRoundTripsPrivatelyAndSeesTheShell()
{
    const QString app = settings::application;
    // The shell wrote a line in its code page: every other line still takes any text, such as
    // what the INI format treats specially.
    writeBytes(env->path("config/KESTA Terminal/settings.ini"), "[Shell]\r\nOwner=Ren\xE9\r\n");
    for (const QString value :
         {" 1", "1 ", "", "\"q\"", "'x", "a=b;c", "[s]", "NotFound", "\u00e9\u20ac"}) {
        QVERIFY(settings::save(app, "Random", "k", value));
        QCOMPARE(settings::get(app, "RANDOM", "K", "absent"), value);
    }
    QCOMPARE(settings::get(app, "Shell", "Owner"), QString::fromUtf16(u"Ren\u00e9"));
    QVERIFY(!settings::save(app, "EXIT", "x", "0\r\n[EXIT]\r\nx=1"));
    QVERIFY(settings::remove(app, "RANDOM", "K"));
    QCOMPARE(settings::get(app, "Random", "k", "absent"), "absent");
    const QFileInfo store(settings::filePath(app));
    QCOMPARE(store.absoluteFilePath(), env->root() + "/config/KESTA Terminal/settings.ini");
    QCOMPARE(QFile::permissions(store.absolutePath()) & 0x7077, QFileDevice::Permissions(0x7000));
    QCOMPARE(QFile::permissions(store.absoluteFilePath()) & 0x7077,
             QFileDevice::Permissions(0x6000));

    QVERIFY(settings::save(app, "EXIT", "KESTA Terminal - Security", "0"));
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), "0");
    const QString tool = qEnvironmentVariable("KESTA_BIN_DIR") + "/kesta-store";
    QCOMPARE(QProcess::execute(tool, {"set", "exit", "kesta terminal - security", " 1"}), 0);
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security"), " 1");

    // A store folder that leads elsewhere is not read: the console says so once.
    env->messages.clear();
    QVERIFY(QDir(env->root()).rename("config/KESTA Terminal", "theirs"));
    QVERIFY(QFile::link(env->path("theirs"), store.absolutePath()));
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security", "absent"), "absent");
    QCOMPARE(settings::get(app, "EXIT", "KESTA Terminal - Security", "absent"), "absent");
    QCOMPARE(env->messages, QStringList{"Error Retrieving Key"});
}

// Every form of each text below ("1,5": the process locale may use a comma; the stores never
// do), and the rounding of each number, compared with tests/data/values/number_text.golden.
// Within a pass a file is looked at once, but what this process writes or deletes is seen at
// once, and a change by another program as soon as a file watch tells of it or the pass ends.
void TestIniAccess::aPassLooksOnceAndSeesItsOwnWrites()
{
    const auto value = [this] { return ReadINI("S", "k", file) ? programState().INIValue : "-"; };
    {
        const platform::OneLookPerFile pass;
        QCOMPARE(value(), "-");
        QVERIFY(WriteINI("S", "k", "mine", file));
        QCOMPARE(value(), "mine");
        writeBytes(file, "[S]\r\nk=the shell's, longer\r\n");
        QCOMPARE(value(), "mine");
        QVERIFY(DeleteINI(file, "S", "k", true, true));
        QCOMPARE(value(), "-");
        // A change the process was told of is seen at once, as its own writes are.
        platform::FileWatch watch([this] { return QStringList{file}; },
                                  std::chrono::milliseconds(0));
        QSignalSpy noticed(&watch, &platform::FileWatch::changed);
        writeBytes(file, "[S]\r\nk=the shell's, longer\r\n");
        QVERIFY(noticed.wait(5000));
        QCOMPARE(value(), "the shell's, longer");
    }
    QCOMPARE(value(), "the shell's, longer");
}

void TestIniAccess::numberTextForms()
{
    QStringList texts =
        QString::fromUtf16(u"| \t -3.5x|- 5|.5|1.2.3|1,5|1e3|\u0661\u0662|99999999999|"
                           u"-0.4|2.5|3.5|fast| True |FALSE|0|-1|0.5|12px|Truely")
            .split(u'|');
    texts.insert(8, QString("1") + QString(400, u'0'));
    texts.insert(9, QString("0.") + QString(400, u'0') + u'1');
    texts[0] = QString();
    const auto shown = [](bool found, auto value) {
        return found ? QByteArray::number(value) : QByteArray("none");
    };
    QByteArray out;
    for (const QString &text : texts) {
        const core::LeadingNumber number = core::leadingNumber(text);
        const std::optional<qint32> whole = core::toWholeNumber(text);
        const std::optional<bool> boolean = core::toBoolean(text);
        out += '"' + text.left(16).toUtf8().replace('\t', "\\t") + (text.size() > 16 ? "..." : "") +
               "\": leading " + shown(number.found, number.value) + ", whole " +
               shown(whole.has_value(), whole.value_or(0)) + " or " +
               QByteArray::number(core::wholeNumber(text)) + ", Boolean " +
               (boolean ? (*boolean ? "true" : "false") : "none") + '\n';
    }
    for (const double value : {1.5, 2.5, -1.5, -2.5, 2147483646.5, 2147483647.5, -1e20, qQNaN()})
        out += "rounded " + QByteArray::number(value, 'f', 1) + ": " +
               QByteArray::number(core::roundHalfEven(value)) + '\n';
    compareWithGolden(out, testData("values/number_text.golden"));
}

QTEST_GUILESS_MAIN(TestIniAccess)
#include "tst_ini_access.moc"
