// Seeded random input to the real console and its dialogs for SOAK_SECONDS (20 unless set; `make
// soak` gives ten minutes), on a display and a sound server of its own, over a private copy of the
// demo whose buttons play over and click sounds one at a time ("Multiple" off). A console that a
// QUIT ends, or that dies, is started again. It fails on a death by signal (each leaves its
// backtraces in the build folder), on a console that stops answering, on memory that grows, and
// on a theme, skin, override or settings file that no longer reads. SOAK_SEED replays the choices.

#include "console_session.h"
#include "platform/profile_document.h"
#include "random_input.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int DefaultSeconds = 20;
constexpr qint64 FirstMinuteMs = 60 * 1000;
constexpr qint64 AllowedGrowthKb = 50 * 1024;
constexpr int PingEveryMs = 2000;
// Well beyond the pause after an accepted password, in which the console answers nothing.
constexpr int AnswerWithinMs = 10000;
constexpr int RecentEvents = 12;

// The peak resident memory of a process so far, in kB; 0 when it cannot be read, and while the
// process dumps its core: writing the core brings every page in and the peak past 150 MB.
qint64 peakMemoryKb(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly))
        return 0;
    qint64 peak = 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.first() == "CoreDumping:" && fields.value(1) != "0")
            return 0;
        if (fields.first() == "VmHWM:")
            peak = fields.value(1).toLongLong();
    }
    return peak;
}

// gdb's backtrace of the failing thread and then of every thread, written to file; the file, or
// why there is none.
QString saveBacktraces(const QStringList &target, const QString &file)
{
    if (QStandardPaths::findExecutable(u"gdb"_s).isEmpty())
        return u"none: gdb is not installed (scripts/install-deps.sh)"_s;
    QDir().mkpath(QFileInfo(file).absolutePath());
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.setStandardOutputFile(file);
    startChild(
        gdb, u"gdb"_s,
        QStringList{u"-batch"_s, u"-nx"_s, u"-ex"_s, u"bt"_s, u"-ex"_s, u"thread apply all bt"_s} +
            target,
        QProcessEnvironment::systemEnvironment());
    if (!gdb.waitForFinished(120000))
        stopChild(gdb);
    return file;
}

QString consoleProgram()
{
    return qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-security"_s;
}

bool isIni(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"skn"_s || suffix == u"ini"_s || suffix == u"master"_s;
}

// The first line of an INI file that is neither blank, nor a comment, nor a header, nor an entry.
QString strayLine(const QByteArray &bytes)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    const QString text = bytes.startsWith("\xff\xfe")
                             ? QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.sliced(2))
                             : QString::fromUtf8(bytes);
    for (const QString &line : text.split(lineBreak)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u';') && !trimmed.startsWith(u'[') &&
            !trimmed.contains(u'='))
            return trimmed;
    }
    return {};
}

// What of a file must last: a picture's or a sound's bytes; an INI file's sections and keys,
// whose values may change (the console writes them).
QStringList lastingParts(const QString &path, const QByteArray &bytes)
{
    if (!isIni(path))
        return {u"its bytes "_s +
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()};
    const platform::ProfileDocument document(bytes);
    QStringList parts;
    for (const QString &section : document.sectionNames()) {
        for (const QString &key : document.keyNames(section).value_or(QStringList()))
            parts.append(u"[%1] %2"_s.arg(section, key));
    }
    return parts;
}

using FileParts = QHash<QString, QStringList>;

// The files of some folders and files with what of each must last; a file that does not open or
// an INI file with a stray line goes to problems.
FileParts readFiles(const QStringList &places, QStringList &problems)
{
    QStringList paths;
    for (const QString &place : places) {
        if (QFileInfo(place).isFile())
            paths.append(place);
        for (QDirIterator it(place, QDir::Files | QDir::System, QDirIterator::Subdirectories);
             it.hasNext();)
            paths.append(it.next());
    }
    FileParts files;
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            problems.append(path + u": does not open"_s);
            continue;
        }
        const QByteArray bytes = file.readAll();
        if (const QString stray = isIni(path) ? strayLine(bytes) : QString(); !stray.isEmpty())
            problems.append(path + u": a line that is no entry: "_s + stray.left(80));
        files.insert(path, lastingParts(path, bytes));
    }
    return files;
}

// The files that no longer read as they did, each with what is wrong.
QStringList unreadableSince(const FileParts &before, const QStringList &places)
{
    QStringList found;
    const FileParts now = readFiles(places, found);
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const auto parts = now.constFind(it.key());
        if (parts == now.cend()) {
            found.append(it.key() + u": gone, or no longer a file"_s);
            continue;
        }
        for (const QString &part : it.value()) {
            if (!parts->contains(part, Qt::CaseInsensitive))
                found.append(it.key() + u": no longer has "_s + part);
        }
    }
    return found;
}

} // namespace

class TestE2eSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomInput();

private:
    bool consoleRuns();
    void startConsole();
    void noteEnd();
    void checkAnswers();
    void endConsole();
    void noteHang(const QString &what, const QString &evidence);
    void sampleMemory(qint64 elapsedMs);
    QString evidenceFile(const QString &what) const;
    void report(const QStringList &unreadable) const;

    ConsoleSession m_session;
    QStringList m_places; // of the files that must still read
    FileParts m_files;
    int m_seconds = DefaultSeconds;
    quint32 m_seed = 0;
    QString m_window;
    QStringList m_recent;
    int m_events = 0;
    int m_starts = 0;
    int m_deaths = 0;
    QString m_hung; // what showed that the console stopped answering
    qint64 m_peakKb = 0;
    qint64 m_firstMinutePeakKb = 0;
};

void TestE2eSoak::initTestCase()
{
    if (const int seconds = qEnvironmentVariableIntValue("SOAK_SECONDS"); seconds > 0)
        m_seconds = seconds;
    bool given = false;
    m_seed = qEnvironmentVariable("SOAK_SEED").toUInt(&given);
    if (!given)
        m_seed = QRandomGenerator::system()->generate();
    qInfo("soak of %d s, seed %u: SOAK_SEED=%u makes the same choices", m_seconds, m_seed, m_seed);
    if (!m_session.start(ConsoleSession::Recording::Off))
        QSKIP(qPrintable(u"no end-to-end world here: "_s + m_session.error()));
    // The console's own buttons leave its protection list, so that no random input can give one
    // of them a program to start. The shell's buttons, edited freely, never run here.
    for (const QString &theme : {u"Default"_s, u"Amber"_s}) {
        for (const QString &skin : {u"Security.skn"_s, u"Security1280.skn"_s}) {
            QVERIFY(m_session.store({u"ini"_s, u"delete"_s,
                                     m_session.programDir() + u"/Themes/"_s + theme + u'/' + skin,
                                     u"SECURITY"_s}));
        }
    }
    m_places = {m_session.programDir(), m_session.settingsFile()};
    QStringList problems;
    m_files = readFiles(m_places, problems);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u"; "_s)));
}

void TestE2eSoak::randomInput()
{
    RandomInput input(m_session, m_seed);
    QElapsedTimer clock;
    clock.start();
    QDeadlineTimer nextPing(PingEveryMs);
    while (clock.elapsed() < m_seconds * 1000LL && m_hung.isEmpty()) {
        if (!consoleRuns()) {
            noteEnd();
            startConsole();
            continue;
        }
        m_recent.append(input.step());
        if (m_recent.size() > RecentEvents)
            m_recent.removeFirst();
        ++m_events;
        sampleMemory(clock.elapsed());
        if (nextPing.hasExpired()) {
            checkAnswers();
            nextPing.setRemainingTime(PingEveryMs);
        }
    }
    endConsole();
    const QStringList unreadable = unreadableSince(m_files, m_places);
    report(unreadable);
    QCOMPARE(m_deaths, 0);
    QVERIFY2(m_hung.isEmpty(), qPrintable(m_hung));
    QVERIFY2(m_peakKb - m_firstMinutePeakKb <= AllowedGrowthKb, "memory is not flat");
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(u"; "_s)));
}

bool TestE2eSoak::consoleRuns()
{
    // Nothing runs the event loop here: without a wait, an ended console would seem to run on.
    m_session.console().waitForFinished(0);
    return m_session.console().state() != QProcess::NotRunning;
}

void TestE2eSoak::startConsole()
{
    // Every console meets the world the soak is about, whatever the last one changed: sounds
    // on, one at a time, and the password the random input types now and then.
    for (const QString &theme : {u"Default"_s, u"Amber"_s}) {
        const QString skin = m_session.programDir() + u"/Themes/"_s + theme + u"/terminal.skn"_s;
        m_session.store({u"ini"_s, u"set"_s, skin, u"DEFAULT"_s, u"Sound"_s, u"True"_s});
        m_session.store({u"ini"_s, u"set"_s, skin, u"DEFAULT"_s, u"Multiple"_s, u"False"_s});
    }
    m_session.store({u"set"_s, u"DEFAULT"_s, u"Password"_s, ConsoleSession::Password});
    ++m_starts;
    m_window.clear();
    if (m_session.startConsole())
        m_window = m_session.consoleWindow();
    else if (consoleRuns())
        noteHang(u"its window does not show"_s, u"start"_s);
}

void TestE2eSoak::noteEnd()
{
    QProcess &console = m_session.console();
    if (m_starts == 0 || console.exitStatus() != QProcess::CrashExit)
        return;
    ++m_deaths;
    // The kernel has written the core in full by the time the death is seen.
    const QFileInfoList cores =
        QDir(m_session.workFolder()).entryInfoList({u"core*"_s}, QDir::Files, QDir::Time);
    QString backtraces = u"none: no core file (see /proc/sys/kernel/core_pattern)"_s;
    if (!cores.isEmpty())
        backtraces = saveBacktraces({consoleProgram(), cores.first().filePath()},
                                    evidenceFile(u"death-%1"_s.arg(m_deaths)));
    for (const QFileInfo &core : cores)
        QFile::remove(core.filePath());
    qWarning("death %d by signal %d after event %d; backtraces: %s; the events before it:\n  %s",
             m_deaths, console.exitCode(), m_events, qPrintable(backtraces),
             qPrintable(m_recent.join(u"\n  "_s)));
}

void TestE2eSoak::checkAnswers()
{
    if (m_window.isEmpty() || !consoleRuns() ||
        m_session.x().answersPing(m_window, AnswerWithinMs) || !consoleRuns())
        return;
    noteHang(u"it leaves its window's ping unanswered for %1 s"_s.arg(AnswerWithinMs / 1000),
             u"hang"_s);
}

void TestE2eSoak::endConsole()
{
    if (consoleRuns() && m_hung.isEmpty()) {
        m_session.store({u"request-exit"_s});
        if (!m_session.console().waitForFinished(AnswerWithinMs))
            noteHang(u"the shell's exit request does not end it"_s, u"exit"_s);
    }
    // A console ended here because it hangs did not die by itself.
    if (!consoleRuns())
        noteEnd();
    m_session.stopConsole();
}

void TestE2eSoak::noteHang(const QString &what, const QString &evidence)
{
    const QString backtraces =
        saveBacktraces({consoleProgram(), QString::number(m_session.console().processId())},
                       evidenceFile(evidence));
    m_hung = u"the console stops answering: "_s + what + u"; backtraces: "_s + backtraces;
    qWarning("%s; the events before:\n  %s", qPrintable(m_hung),
             qPrintable(m_recent.join(u"\n  "_s)));
}

void TestE2eSoak::sampleMemory(qint64 elapsedMs)
{
    const qint64 peak = peakMemoryKb(m_session.console().processId());
    m_peakKb = std::max(m_peakKb, peak);
    if (elapsedMs < FirstMinuteMs)
        m_firstMinutePeakKb = std::max(m_firstMinutePeakKb, peak);
}

QString TestE2eSoak::evidenceFile(const QString &what) const
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           u"/../soak/seed-%1-%2.txt"_s.arg(m_seed).arg(what));
}

void TestE2eSoak::report(const QStringList &unreadable) const
{
    qInfo("seed %u, %d s: %d events, %d starts, %d deaths by signal", m_seed, m_seconds, m_events,
          m_starts, m_deaths);
    qInfo("peak memory %lld MB, in the first minute %lld MB", m_peakKb / 1024,
          m_firstMinutePeakKb / 1024);
    qInfo("files that no longer read: %s",
          unreadable.isEmpty() ? "none" : qPrintable(unreadable.join(u"\n  "_s)));
}

QTEST_GUILESS_MAIN(TestE2eSoak)
#include "tst_e2e_soak.moc"
