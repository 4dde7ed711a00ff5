#include "private_pulse_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int QuietLevel = 1000; // of 32767: far below the test tones, far above dither
constexpr int BytesPerFrame = 4;

// A private home and runtime folder, and no session's server or bus; a test that crashes must not
// leave a process behind.
void makePrivate(QProcess &process, const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, folder + u"/home"_s);
    environment.insert(u"XDG_CONFIG_HOME"_s, folder + u"/home/.config"_s);
    environment.insert(u"XDG_RUNTIME_DIR"_s, folder + u"/runtime"_s);
    environment.remove(u"PULSE_SERVER"_s);
    environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

} // namespace

PrivatePulseServer::PrivatePulseServer(const QString &folder)
    : m_folder(folder)
{
    for (const QString &sub : {u"/home"_s, u"/runtime"_s}) {
        QDir().mkpath(m_folder + sub);
        QFile::setPermissions(m_folder + sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }
    makePrivate(m_server, m_folder);
    makePrivate(m_recorder, m_folder);
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop(m_recorder);
    stop(m_server);
}

void PrivatePulseServer::stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString PrivatePulseServer::address() const
{
    return u"unix:"_s + m_folder + u"/runtime/native"_s;
}

void PrivatePulseServer::kill()
{
    collect();
    for (QProcess *process : {&m_server, &m_recorder}) {
        process->kill();
        process->waitForFinished(5000);
    }
}

bool PrivatePulseServer::start()
{
    const QString program = QStandardPaths::findExecutable(u"pulseaudio"_s);
    if (program.isEmpty()) {
        m_error = u"pulseaudio is not installed"_s;
        return false;
    }
    // Without rewinds a stream that joins the running sink is mixed in after what the sink has
    // already rendered; with them, the monitor loses the stream's first milliseconds.
    m_server.start(program,
                   {u"--daemonize=no"_s, u"--use-pid-file=no"_s, u"--exit-idle-time=-1"_s,
                    u"--realtime=no"_s, u"--high-priority=no"_s, u"--disable-shm=yes"_s,
                    u"--log-target=stderr"_s, u"-n"_s, u"-L"_s,
                    u"module-null-sink sink_name=kesta_null rate=48000 channels=2 norewinds=1"_s,
                    u"-L"_s,
                    u"module-native-protocol-unix auth-anonymous=1 socket="_s + m_folder +
                        u"/runtime/native"_s});
    for (QDeadlineTimer deadline(15000); !deadline.hasExpired(); QThread::msleep(100)) {
        if (!m_server.waitForStarted(10000) || m_server.state() == QProcess::NotRunning) {
            m_error =
                u"pulseaudio ended: "_s + QString::fromLocal8Bit(m_server.readAllStandardError());
            return false;
        }
        if (ask({u"info"_s}))
            return true;
    }
    m_error = u"pulseaudio does not answer"_s;
    stop(m_server);
    return false;
}

bool PrivatePulseServer::ask(const QStringList &arguments, QByteArray *output)
{
    QProcess pactl;
    makePrivate(pactl, m_folder);
    pactl.start(u"pactl"_s, QStringList{u"--server="_s + address()} + arguments);
    if (!pactl.waitForFinished(10000)) {
        stop(pactl);
        return false;
    }
    if (output)
        *output = pactl.readAllStandardOutput();
    return pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

bool PrivatePulseServer::startRecording()
{
    m_recorder.start(u"parec"_s, {u"--server="_s + address(), u"--device=kesta_null.monitor"_s,
                                  u"--raw"_s, u"--format=s16le"_s, u"--rate=48000"_s,
                                  u"--channels=2"_s, u"--latency-msec=20"_s});
    return m_recorder.waitForStarted(10000);
}

void PrivatePulseServer::collect()
{
    while (m_recorder.waitForReadyRead(0))
        m_recording += m_recorder.readAllStandardOutput();
    m_recording += m_recorder.readAllStandardOutput();
}

qint64 PrivatePulseServer::recordedFrames()
{
    collect();
    return m_recording.size() / BytesPerFrame;
}

bool PrivatePulseServer::endsInSilence(qint64 frames)
{
    const qint64 total = recordedFrames();
    const auto *samples = reinterpret_cast<const qint16 *>(m_recording.constData());
    const auto loud = [](qint16 sample) { return std::abs(sample) > QuietLevel; };
    return total >= frames &&
           std::none_of(samples + 2 * (total - frames), samples + 2 * total, loud);
}

QByteArray PrivatePulseServer::recordedSince(qint64 from)
{
    collect();
    return m_recording.mid(std::max<qint64>(from, 0) * BytesPerFrame);
}

QByteArray PrivatePulseServer::sinkInputs()
{
    QByteArray output;
    return ask({u"list"_s, u"sink-inputs"_s}, &output) ? output : QByteArray();
}
