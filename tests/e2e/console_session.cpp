#include "console_session.h"

#include "screen_checks.h"
#include "test_environment.h"
#include "tone_sequence.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

struct ThemeTone
{
    const char *name; // as the recording reports it
    double frequency;
};

// The sounds of tests/data/e2e/tones (written with bench/tone_wav.cpp), which replace the
// theme's: tones of whole multiples of 50 Hz, so each sits on one 20 ms window's bin, 200 Hz
// apart (300 ms the first, 200 the others).
constexpr ThemeTone themeTones[] = {
    {"startup", 500}, {"passstart", 700}, {"passfail", 900},
    {"passok", 1100}, {"click", 1300},    {"over", 1500}, // tick.wav
};

// A console that dies leaves its core for the backtrace; like every child, it ends with the test.
void endWithParentLeavingCore()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    rlimit core{};
    getrlimit(RLIMIT_CORE, &core);
    core.rlim_cur = core.rlim_max;
    setrlimit(RLIMIT_CORE, &core);
}

QList<HeardTone> themeTonesIn(const QByteArray &recording)
{
    QList<double> frequencies;
    for (const ThemeTone &tone : themeTones)
        frequencies.append(tone.frequency);
    return heardTones(recording, PrivatePulseServer::RecordRate, frequencies);
}

} // namespace

ConsoleSession::~ConsoleSession()
{
    stopChild(m_console);
    m_x.setIdleWork({});
}

bool ConsoleSession::start(Recording recording)
{
    for (const char *folder : {"config", "runtime", "work"})
        QDir().mkpath(m_root.filePath(QString::fromLatin1(folder)));
    QFile::setPermissions(m_root.filePath(u"runtime"_s),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!m_x.start()) {
        m_error = m_x.error();
        return false;
    }
    m_pulse = std::make_unique<PrivatePulseServer>(m_root.filePath(u"pulse"_s));
    if (!m_pulse->start() || (recording == Recording::On && !m_pulse->startRecording())) {
        m_error = u"no sound server: "_s + m_pulse->error();
        return false;
    }
    // parec writes into a pipe: read it while anything waits, so that it never blocks.
    if (recording == Recording::On)
        m_x.setIdleWork([this] { m_pulse->recordedFrames(); });
    if (!writeProgramFolder(recording) || !writeStore()) {
        m_error = u"cannot write the program folder or the settings store"_s;
        return false;
    }
    return true;
}

bool ConsoleSession::writeProgramFolder(Recording recording)
{
    if (!copyDemoThemes(programDir()))
        return false;
    if (recording == Recording::On)
        copyTestData(u"e2e/tones"_s, themeFile({}));
    return true;
}

bool ConsoleSession::writeStore()
{
    const QList<QStringList> values = {
        {u"Default"_s, u"ProgramDir"_s, programDir()},
        {u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Default\\"_s},
        {u"General"_s, u"Running"_s, u"True"_s},
        {u"Screen"_s, u"Left"_s, u"0"_s},
        {u"Screen"_s, u"Top"_s, u"0"_s},
        {u"Screen"_s, u"Right"_s, QString::number(XSession::Width)},
        {u"Screen"_s, u"Bottom"_s, QString::number(XSession::Height)},
        {u"DEFAULT"_s, u"Password"_s, Password},
    };
    return std::all_of(values.cbegin(), values.cend(), [this](const QStringList &value) {
        return store(QStringList{u"set"_s} + value).has_value();
    });
}

QProcessEnvironment ConsoleSession::consoleEnvironment() const
{
    QProcessEnvironment environment = m_x.clientEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, m_root.filePath(u"config"_s));
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_root.filePath(u"runtime"_s));
    environment.insert(u"PULSE_SERVER"_s, m_pulse ? m_pulse->address() : QString());
    environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    environment.insert(m_consoleVariables);
    return environment;
}

std::optional<QString> ConsoleSession::store(const QStringList &arguments)
{
    QProcess process;
    startChild(process, qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-store"_s, arguments,
               consoleEnvironment());
    if (!m_x.finish(process, 10000))
        return std::nullopt;
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    return output.endsWith(u'\n') ? output.chopped(1) : output;
}

bool ConsoleSession::startConsole(QProcess &process, int timeoutMs, const QStringList &arguments)
{
    process.setWorkingDirectory(workFolder());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setProcessEnvironment(consoleEnvironment());
    process.setChildProcessModifier(endWithParentLeavingCore);
    process.start(qEnvironmentVariable("KESTA_BIN_DIR") + u"/kesta-security"_s, arguments);
    return process.waitForStarted(timeoutMs) &&
           !m_x.waitForWindow(ConsoleTitle, timeoutMs).isEmpty();
}

bool ConsoleSession::openConsole()
{
    // On the footer, away from every button, so that nothing plays but the start-up sound.
    m_x.moveTo({XSession::Width / 2, XSession::Height - 8});
    m_startMark = soundMark();
    const bool shown = startConsole();
    const QStringList heard = waitToHear(m_startMark, {u"startup"_s});
    if (!shown || heard != QStringList{u"startup"_s} ||
        !waitUntilShown(consoleRect(u"btn_quit.bmp"_s).topLeft(), u"btn_quit.bmp"_s)) {
        qWarning("window shown: %d, heard: %s", shown, qPrintable(heard.join(u", "_s)));
        return false;
    }
    return true;
}

QRect ConsoleSession::consoleRect(const QString &name) const
{
    return layoutRect(themeFile(u"Security1280.skn"_s), u"DEFAULT"_s, name,
                      {XSession::Width, XSession::Height});
}

bool ConsoleSession::waitUntilShown(QPoint at, const QString &picture, int timeoutMs)
{
    const QImage expected(themeFile(picture));
    return !expected.isNull() &&
           m_x.waitFor([&] { return shareShowing(m_x.grab(), at, expected) > 0.99; }, timeoutMs);
}

bool ConsoleSession::clickListLine(const QString &list, int line, int along)
{
    // Inside the list's frame, and left of its scroll bar.
    const QRect text = consoleRect(list).adjusted(3, 3, -24, -3);
    const QList<int> lines = textLineCentres(m_x.grab(), text);
    return line < lines.size() && m_x.clickAt({text.left() + along, lines.at(line)});
}

bool ConsoleSession::answer(const QString &titlePattern, const QString &text, int timeoutMs)
{
    // The window itself must go: another of the same title may follow at once.
    const QString window = m_x.waitForWindow(titlePattern, timeoutMs);
    return !window.isEmpty() && m_x.type(text) && m_x.key(u"Return"_s) &&
           m_x.waitFor([&] { return !m_x.windows(titlePattern).contains(window); }, timeoutMs);
}

QStringList ConsoleSession::heardSince(qint64 mark)
{
    QStringList names;
    for (const HeardTone &tone : themeTonesIn(m_pulse->recordedSince(mark)))
        names.append(QString::fromLatin1(themeTones[tone.tone].name));
    return names;
}

QStringList ConsoleSession::waitToHear(qint64 mark, const QStringList &expected, int timeoutMs)
{
    QStringList heard;
    // Counted once the sink has fallen quiet again, so that a sound still playing is whole.
    m_x.waitFor(
        [&] {
            heard = heardSince(mark);
            return heard == expected && m_pulse->endsInSilence(PrivatePulseServer::RecordRate / 20);
        },
        timeoutMs);
    return heard;
}

void ConsoleSession::keepScreenshot(const QString &name, const QImage &screen, const QRect &part)
{
    const QString folder = qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/docs/screenshots/"_s;
    if (!qEnvironmentVariableIsEmpty("KESTA_E2E_SCREENSHOTS") &&
        !(part.isNull() ? screen : screen.copy(part)).save(folder + name + u".png"_s, "PNG", 0))
        qWarning("cannot save the screenshot %s", qPrintable(name));
}
