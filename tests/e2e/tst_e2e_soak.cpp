// Seeded random input to the real console and its dialogs for SOAK_SECONDS (20 unless set). It
// fails on a death by signal, a hang (gdb's backtraces go to build/soak), on memory that grows,
// and on a settings or skin file that no longer reads. SOAK_SEED replays.

#include "console_session.h"
#include "platform/profile_document.h"
#include "screen_checks.h"
#include "test_environment.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 AllowedGrowthKb = 50 * 1024;
// Well beyond the pause after an accepted password, in which the console answers nothing.
constexpr int AnswerWithinMs = 10000;

const QStringList keys = {u"Tab"_s,  u"shift+Tab"_s, u"Return"_s, u"Escape"_s,   u"space"_s,
                          u"Down"_s, u"End"_s,       u"ctrl+a"_s, u"BackSpace"_s};
// Letters and what a profile file or a button line takes specially.
const QString alphabet = u"abcdefghijklmnopqrstuvwxyz0123456789   ,;=[]\"\\\u00e9"_s;

// The peak resident memory in kB; 0 while the process dumps its core, which brings every page in.
qint64 peakMemoryKb(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    const QString text = status.open(QIODevice::ReadOnly) ? status.readAll() : QString();
    if (QRegularExpression(u"CoreDumping:\\s*1"_s).match(text).hasMatch())
        return 0;
    return QRegularExpression(u"VmHWM:\\s*(\\d+)"_s).match(text).captured(1).toLongLong();
}

} // namespace

class TestE2eSoak : public QObject
{
    Q_OBJECT

    const QRect m_screen{0, 0, XSession::Width, XSession::Height};
    ConsoleSession m_session;
    QRandomGenerator m_random;
    quint32 m_seed = 0;
    QList<QRect> m_targets; // the console's buttons and lists but Quit
    QRect m_quit;
    QSet<QString> m_lasting;
    QString m_window;
    QStringList m_recent;
    int m_events = 0, m_starts = 0, m_deaths = 0;
    QString m_hung;

    // What of the settings and skin files must last: their sections and keys (the console writes
    // values), as "path: [section] key" with the names in lower case.
    QSet<QString> lastingParts() const
    {
        QStringList paths{m_session.settingsFile()};
        for (QDirIterator it(m_session.programDir(), {u"*.skn"_s, u"*.ini"_s, u"*.master"_s},
                             QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            paths.append(it.next());
        QSet<QString> parts;
        for (const QString &path : paths) {
            const platform::ProfileDocument document(readBytes(path));
            for (const QString &section : document.sectionNames()) {
                for (const QString &key : document.keyNames(section).value_or(QStringList()))
                    parts.insert(u"%1: [%2] %3"_s.arg(path, section.toLower(), key.toLower()));
            }
        }
        return parts;
    }

    // The modal dialog or prompt in front, which takes all input, or else the whole screen.
    QRect front()
    {
        const QList<XSession::Window> windows = m_session.x().visibleWindows();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
            if (!QRegularExpression(ConsoleSession::ConsoleTitle).match(it->title).hasMatch())
                return m_session.x().geometry(it->id).value_or(QRect());
        }
        return m_screen;
    }

    // A point on one of the console's buttons or lists, now and then anywhere on the window. Quit
    // is taken one time in ten, or most consoles would end too soon to tell of memory.
    QPoint pointIn(QRect window)
    {
        if (window == m_screen && m_random.bounded(10) != 0)
            window = m_random.bounded(10 * m_targets.size()) == 0
                         ? m_quit
                         : m_targets.at(m_random.bounded(m_targets.size()));
        return window.topLeft() + QPoint(m_random.bounded(std::max(1, window.width())),
                                         m_random.bounded(std::max(1, window.height())));
    }

    QString step()
    {
        const auto to = [](QPoint at) {
            return QStringList{u"mousemove"_s, QString::number(at.x()), QString::number(at.y())};
        };
        const QRect window = front();
        QStringList gesture;
        const int roll = m_random.bounded(100);
        if (roll < 15) {
            gesture = to(pointIn(window));
        } else if (roll < 45) { // a sweep, so that over sounds replace one another
            for (int moves = 3 + m_random.bounded(12); moves > 0; --moves)
                gesture << to(pointIn(window)) << u"sleep"_s
                        << u"0.0%1"_s.arg(2 + m_random.bounded(8));
        } else if (roll < 70) {
            gesture = to(pointIn(window)) +
                      QStringList{u"click"_s, u"--repeat"_s, roll < 65 ? u"1"_s : u"2"_s, u"1"_s};
        } else if (roll < 75) {
            const QPoint from = pointIn(window), onto = pointIn(window);
            gesture = to(from) + QStringList{u"mousedown"_s, u"1"_s} + to((from + onto) / 2) +
                      to(onto) + QStringList{u"mouseup"_s, u"1"_s};
        } else if (roll < 90) {
            gesture = {u"key"_s, keys.at(m_random.bounded(keys.size()))};
        } else {
            QString text = m_random.bounded(3) == 0 ? ConsoleSession::Password : QString();
            for (int length = text.isEmpty() ? 1 + m_random.bounded(12) : 0; length > 0; --length)
                text += alphabet.at(m_random.bounded(alphabet.size()));
            gesture = {u"type"_s, u"--delay"_s, u"20"_s, u"--"_s, text};
        }
        m_session.x().gesture(gesture);
        return gesture.join(u' ');
    }

    bool consoleRuns()
    {
        // Nothing runs the event loop here: without a wait, an ended console would seem to run.
        m_session.console().waitForFinished(0);
        return m_session.console().state() != QProcess::NotRunning;
    }

    void startConsole()
    {
        // Every console meets sounds on, one at a time, and the password the input types now and
        // then, whatever the last one changed.
        for (const QString &theme : {u"Default"_s, u"Amber"_s}) {
            const QString skin =
                m_session.programDir() + u"/Themes/"_s + theme + u"/terminal.skn"_s;
            m_session.store({u"ini"_s, u"set"_s, skin, u"DEFAULT"_s, u"Sound"_s, u"True"_s});
            m_session.store({u"ini"_s, u"set"_s, skin, u"DEFAULT"_s, u"Multiple"_s, u"False"_s});
        }
        m_session.store({u"set"_s, u"DEFAULT"_s, u"Password"_s, ConsoleSession::Password});
        ++m_starts;
        const bool shown = m_session.startConsole();
        m_window = shown ? m_session.consoleWindow() : QString();
        if (!shown && consoleRuns())
            noteHang(u"its window does not show"_s, u"start"_s);
    }

    void noteEnd()
    {
        QProcess &console = m_session.console();
        if (m_starts == 0 || console.exitStatus() != QProcess::CrashExit)
            return;
        ++m_deaths;
        // The kernel has written the core in full by the time the death is seen.
        const QFileInfoList cores =
            QDir(m_session.workFolder()).entryInfoList({u"core*"_s}, QDir::Files, QDir::Time);
        const QString backtraces =
            cores.isEmpty() ? u"none: no core file (see /proc/sys/kernel/core_pattern)"_s
                            : saveBacktraces(cores.first().filePath(), u"death-%1"_s.arg(m_deaths));
        qWarning("death %d by signal %d after event %d; backtraces: %s; the events before:\n  %s",
                 m_deaths, console.exitCode(), m_events, qPrintable(backtraces),
                 qPrintable(m_recent.join(u"\n  "_s)));
    }

    void noteHang(const QString &what, const QString &evidence)
    {
        m_hung = u"the console stops answering: %1; backtraces: %2"_s.arg(
            what, saveBacktraces(QString::number(m_session.console().processId()), evidence));
        qWarning("%s; the events before:\n  %s", qPrintable(m_hung),
                 qPrintable(m_recent.join(u"\n  "_s)));
    }

    // gdb's backtraces of the failing thread and of all threads, kept in build/soak.
    QString saveBacktraces(const QString &target, const QString &what) const
    {
        const QString file = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                             u"/../soak/seed-%1-%2.txt"_s.arg(m_seed).arg(what));
        QDir().mkpath(QFileInfo(file).absolutePath());
        QProcess gdb;
        gdb.setProcessChannelMode(QProcess::MergedChannels);
        gdb.setStandardOutputFile(file);
        startChild(gdb, u"gdb"_s,
                   {u"-batch"_s, u"-nx"_s, u"-ex"_s, u"bt"_s, u"-ex"_s, u"thread apply all bt"_s,
                    qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-security"_s, target},
                   QProcessEnvironment::systemEnvironment());
        if (!gdb.waitForFinished(120000))
            stopChild(gdb);
        return file;
    }

private slots:
    void randomInput();
};

void TestE2eSoak::randomInput()
{
    const int seconds = qEnvironmentVariableIntValue("SOAK_SECONDS");
    m_seed = qEnvironmentVariableIsSet("SOAK_SEED") ? qEnvironmentVariable("SOAK_SEED").toUInt()
                                                    : QRandomGenerator::system()->generate();
    m_random.seed(m_seed);
    qInfo("seed %u: SOAK_SEED=%u makes the same choices", m_seed, m_seed);
    if (!m_session.start(ConsoleSession::Recording::Off))
        QSKIP(qPrintable(u"no end-to-end world here: "_s + m_session.error()));
    // No random input may give one of the console's buttons a program to start.
    for (const QString &skin : {u"Default/Security"_s, u"Default/Security1280"_s,
                                u"Amber/Security"_s, u"Amber/Security1280"_s})
        QVERIFY(m_session.store({u"ini"_s, u"delete"_s,
                                 m_session.programDir() + u"/Themes/"_s + skin + u".skn"_s,
                                 u"SECURITY"_s}));
    const QString skin = m_session.themeFile(u"Security1280.skn"_s);
    for (int n = 1;; ++n) {
        const QStringList line =
            skinValue(skin, u"DEFAULT"_s, u"%1"_s.arg(n, 2, 10, QChar(u'0'))).split(u',');
        if (line.size() < 2)
            break;
        const QRect rect = layoutRect(skin, u"DEFAULT"_s, line.at(0), m_screen.size());
        if (line.value(9).compare(u"QUIT"_s, Qt::CaseInsensitive) == 0)
            m_quit = rect;
        else if (line.at(1) == u"B"_s || line.at(1) == u"L"_s)
            m_targets.append(rect);
    }
    m_lasting = lastingParts();

    qint64 peakKb = 0, firstMinutePeakKb = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 pingAt = 2000;
    while (clock.elapsed() < (seconds > 0 ? seconds : 20) * 1000LL && m_hung.isEmpty()) {
        if (!consoleRuns()) {
            noteEnd();
            startConsole();
            continue;
        }
        m_recent.append(u"%1: "_s.arg(++m_events) + step());
        m_recent = m_recent.mid(m_recent.size() - 12); // what a death or hang reports
        peakKb = std::max(peakKb, peakMemoryKb(m_session.console().processId()));
        if (clock.elapsed() < 60000)
            firstMinutePeakKb = peakKb;
        if (clock.elapsed() > pingAt) {
            pingAt = clock.elapsed() + 2000;
            if (!m_window.isEmpty() && consoleRuns() &&
                !m_session.x().answersPing(m_window, AnswerWithinMs) && consoleRuns())
                noteHang(u"it leaves its window's ping unanswered"_s, u"hang"_s);
        }
    }
    if (consoleRuns() && m_hung.isEmpty() &&
        (!m_session.store({u"request-exit"_s}) ||
         !m_session.console().waitForFinished(AnswerWithinMs)))
        noteHang(u"the shell's exit request does not end it"_s, u"exit"_s);
    if (!consoleRuns()) // one ended here because it hangs did not die by itself
        noteEnd();
    m_session.stopConsole();

    const QStringList lost = (m_lasting - lastingParts()).values();
    qInfo("%d events, %d starts, %d deaths by signal; peak memory %lld MB, in the first minute "
          "%lld MB; sections and keys the files lost: %s",
          m_events, m_starts, m_deaths, peakKb / 1024, firstMinutePeakKb / 1024,
          lost.isEmpty() ? "none" : qPrintable(lost.join(u"\n  "_s)));
    QCOMPARE(m_deaths, 0);
    QVERIFY2(m_hung.isEmpty(), qPrintable(m_hung));
    QVERIFY2(peakKb - firstMinutePeakKb <= AllowedGrowthKb, "memory is not flat");
    QVERIFY(lost.isEmpty());
}

QTEST_GUILESS_MAIN(TestE2eSoak)
#include "tst_e2e_soak.moc"
