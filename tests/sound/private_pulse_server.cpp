#include "private_pulse_server.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>

namespace {

constexpr int QuietLevel = 1000; // of 32767: far below the test tones, far above dither
constexpr int BytesPerFrame = 4;

// A test that crashes must not leave a sound server behind.
void endWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

QProcessEnvironment privateEnvironment(const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", folder + "/home");
    environment.insert("XDG_CONFIG_HOME", folder + "/home/.config");
    environment.insert("XDG_RUNTIME_DIR", folder + "/runtime");
    environment.remove("PULSE_SERVER");
    environment.remove("DBUS_SESSION_BUS_ADDRESS");
    return environment;
}

} // namespace

PrivatePulseServer::PrivatePulseServer(const QString &folder)
    : m_folder(folder)
{
    for (const char *sub : {"/home", "/runtime"}) {
        QDir().mkpath(m_folder + sub);
        QFile::setPermissions(m_folder + sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
    }
    for (QProcess *process : {&m_server, &m_recorder}) {
        process->setProcessEnvironment(privateEnvironment(m_folder));
        process->setChildProcessModifier(endWithParent);
    }
}

PrivatePulseServer::~PrivatePulseServer()
{
    stop(m_recorder);
    stop(m_server);
}

void PrivatePulseServer::stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

QString PrivatePulseServer::address() const
{
    return "unix:" + m_folder + "/runtime/native";
}

bool PrivatePulseServer::start()
{
    const QString program = QStandardPaths::findExecutable("pulseaudio");
    if (program.isEmpty()) {
        m_error = "pulseaudio is not installed";
        return false;
    }
    m_server.setProgram(program);
    m_server.setArguments({
        "--daemonize=no",
        "--use-pid-file=no",
        "--exit-idle-time=-1",
        "--realtime=no",
        "--high-priority=no",
        "--disable-shm=yes",
        "--log-target=stderr",
        "-n",
        "-L",
        "module-null-sink sink_name=kesta_null rate=48000 channels=2",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + m_folder + "/runtime/native",
    });
    m_server.start();
    if (!m_server.waitForStarted(10000)) {
        m_error = "pulseaudio does not start: " + m_server.errorString();
        return false;
    }
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (m_server.state() == QProcess::NotRunning) {
            m_error =
                "pulseaudio ended: " + QString::fromLocal8Bit(m_server.readAllStandardError());
            return false;
        }
        if (ask({"info"}))
            return true;
        QThread::msleep(100);
    }
    m_error = "pulseaudio does not answer";
    stop(m_server);
    return false;
}

bool PrivatePulseServer::ask(const QStringList &arguments, QByteArray *output)
{
    QProcess pactl;
    pactl.setProcessEnvironment(privateEnvironment(m_folder));
    pactl.setChildProcessModifier(endWithParent);
    pactl.start("pactl", QStringList{"--server=" + address()} + arguments);
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
    m_recorder.start("parec",
                     {"--server=" + address(), "--device=kesta_null.monitor", "--raw",
                      "--format=s16le", "--rate=48000", "--channels=2", "--latency-msec=20"});
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

qint64 PrivatePulseServer::loudFramesSince(qint64 from)
{
    const qint64 frames = recordedFrames();
    const auto *samples = reinterpret_cast<const qint16 *>(m_recording.constData());
    qint64 loud = 0;
    for (qint64 frame = std::max<qint64>(from, 0); frame < frames; ++frame) {
        if (std::abs(samples[2 * frame]) > QuietLevel ||
            std::abs(samples[2 * frame + 1]) > QuietLevel)
            ++loud;
    }
    return loud;
}

bool PrivatePulseServer::endsInSilence(qint64 frames)
{
    const qint64 total = recordedFrames();
    return total >= frames && loudFramesSince(total - frames) == 0;
}

int PrivatePulseServer::playingStreams()
{
    QByteArray output;
    if (!ask({"list", "short", "sink-inputs"}, &output))
        return -1;
    return int(output.count('\n'));
}
