// Time from ThemeSound to the first samples handed to the audio device, cold (the file changed,
// so it is decoded again) and cached, for every WAV encoding a theme may ship, beside
// QSoundEffect playing the 16-bit file; and the buffer latency the server reports for the
// console's stream while a theme sound plays, beside a `pacat --latency-msec=20` stream playing
// at the same time; and the CPU the server spends while the console's stream is paused, beside
// the same server with no client at all. Plays into a private sound server with a null sink;
// without pulseaudio it prints a note and no rows.

#include "bench_report.h"
#include "private_pulse_server.h"
#include "process_cpu.h"
#include "skin/theme.h"
#include "sound/sound_device_output.h"
#include "sound/theme_sound.h"
#include "tone_wav.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int SoundMs = 1000; // longer than the device buffer, so the first read is not the last
constexpr int ColdRuns = 15;
constexpr int CachedRuns = 101;
constexpr double CachedTargetMs = 5.0;
constexpr double BufferTargetMs = 30.0;
constexpr int LatencySamples = 9;
constexpr int ServerIdleSeconds = 10;
constexpr double ServerIdleTargetPercent = 0.5;

class SoundBench
{
public:
    SoundBench(const skin::Theme &theme, const QString &themeFolder)
        : m_theme(theme)
        , m_themeFolder(themeFolder)
    {
        sound::deviceSoundOutput().setStartHook([this](const QString &) { m_started.release(); });
    }

    // Milliseconds from the call to the first samples at the device; -1 when none came.
    // The sounds share one stream that the server asks to be filled on its own clock, so the
    // call waits for the server's next request. A call made right after the last sound began
    // would always wait a whole period; the pause before it puts the call anywhere in the
    // period, as a pointer entering a button does.
    double playOnce(const QString &name)
    {
        m_seed = m_seed * 1103515245u + 12345u;
        QThread::usleep((m_seed >> 16) % 20000);
        QElapsedTimer timer;
        timer.start();
        ThemeSound(m_theme, name, false);
        if (!m_started.tryAcquire(1, 5000))
            return -1;
        return double(timer.nsecsElapsed()) / 1e6;
    }

    // A new modification time makes the cache decode the file again.
    void touch(const QString &name)
    {
        QFile file(m_themeFolder + name + u".wav"_s);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(++m_touches),
                             QFileDevice::FileModificationTime);
    }

private:
    const skin::Theme &m_theme;
    QString m_themeFolder;
    QSemaphore m_started;
    int m_touches = 0;
    quint32 m_seed = 1;
};

// QSoundEffect hands its samples to its sink from the object's own QIODevice; what it has left
// to give drops below the whole sound at the first read. Milliseconds from setting the source
// to that read; -1 when it never came.
double soundEffectOnce(const QString &path)
{
    const qint64 wholeBytes = qint64(44100) * SoundMs / 1000 * 2 * 2;
    QElapsedTimer timer;
    timer.start();
    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(path));
    effect.play();
    auto *samples = effect.findChild<QIODevice *>();
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const qint64 left = samples ? samples->bytesAvailable() : 0;
        if (left > 0 && left < wholeBytes)
            return double(timer.nsecsElapsed()) / 1e6;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return -1;
}

// Cold: a file QSoundEffect has not seen, so it is loaded and decoded. Cached: another effect
// holds the file's sample, so only the stream is new, as with ThemeSound's cache.
double soundEffectMedian(const QString &path, int runs, bool cold)
{
    QSoundEffect holder;
    if (!cold) {
        holder.setSource(QUrl::fromLocalFile(path));
        QDeadlineTimer deadline(5000);
        while (holder.status() != QSoundEffect::Ready && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        QString file = path;
        if (cold) {
            file = path + u"."_s + QString::number(i) + u".wav"_s;
            QFile::copy(path, file);
        }
        const double ms = soundEffectOnce(file);
        if (ms < 0)
            return -1;
        samples.push_back(ms);
    }
    return bench::median(samples);
}

// The "Buffer Latency" of each stream playing into the server, in milliseconds, by the process
// id of its client.
QHash<qint64, double> bufferLatencies(PrivatePulseServer &server)
{
    QHash<qint64, double> latencies;
    static const QRegularExpression latency(u"Buffer Latency: (\\d+) usec"_s);
    static const QRegularExpression process(u"application\\.process\\.id = \"(\\d+)\""_s);
    const QString text = QString::fromUtf8(server.sinkInputs());
    for (const QString &input : text.split(u"Sink Input #"_s)) {
        const QRegularExpressionMatch usec = latency.match(input);
        const QRegularExpressionMatch pid = process.match(input);
        if (usec.hasMatch() && pid.hasMatch())
            latencies.insert(pid.captured(1).toLongLong(), usec.captured(1).toDouble() / 1000);
    }
    return latencies;
}

// Medians of the buffer latency of the console's stream and of a pacat stream asking for 20 ms,
// sampled while both play; false when either stream is not seen.
bool bufferLatencyMedians(PrivatePulseServer &server, const skin::Theme &theme,
                          const QString &longSound, double *ours, double *pacat)
{
    QProcess peer;
    peer.setStandardInputFile(u"/dev/zero"_s);
    peer.start(u"pacat"_s, {u"--server="_s + server.address(), u"--latency-msec=20"_s, u"--raw"_s,
                            u"--format=float32le"_s, u"--rate=48000"_s, u"--channels=2"_s});
    if (!peer.waitForStarted(5000))
        return false;
    std::vector<double> oursSeen, peerSeen;
    for (int i = 0; i < LatencySamples; ++i) {
        ThemeSound(theme, longSound, false);
        QThread::msleep(300); // both streams settled on what the server granted them
        const QHash<qint64, double> latencies = bufferLatencies(server);
        const auto own = latencies.constFind(QCoreApplication::applicationPid());
        const auto other = latencies.constFind(peer.processId());
        if (own != latencies.cend() && other != latencies.cend()) {
            oursSeen.push_back(*own);
            peerSeen.push_back(*other);
        }
    }
    peer.kill();
    peer.waitForFinished(5000);
    if (oursSeen.empty())
        return false;
    *ours = bench::median(oursSeen);
    *pacat = bench::median(peerSeen);
    return true;
}

// Percent of a core the server spends over ServerIdleSeconds; -1 when it has gone.
double serverIdleCpu(const PrivatePulseServer &server)
{
    const qint64 before = bench::cpuTicks(server.processId());
    QThread::sleep(ServerIdleSeconds);
    const qint64 after = bench::cpuTicks(server.processId());
    return before < 0 || after < 0 ? -1 : bench::percentOfCore(after - before, ServerIdleSeconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root;
    PrivatePulseServer server(root.filePath(u"pulse"_s));
    if (!server.start()) {
        std::fprintf(stderr, "bench_sound: no sound server, nothing measured: %s\n",
                     qPrintable(server.error()));
        return 0;
    }
    qputenv("PULSE_SERVER", server.address().toLocal8Bit());

    const QString themeFolder = root.filePath(u"shell/Themes/Bench/"_s);
    QDir().mkpath(themeFolder);
    const skin::Theme theme(root.filePath(u"shell"_s), u"\\Themes\\Bench\\"_s, u"Security"_s);
    for (int i = 0; i < WavEncodingCount; ++i) {
        const QString path = themeFolder + QString::fromLatin1(wavEncodings()[i].name) + u".wav"_s;
        if (!writeToneWav(path, wavEncodings()[i], SoundMs)) {
            std::fprintf(stderr, "bench_sound: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    SoundBench bench(theme, themeFolder);
    const QString pcm16 = QString::fromLatin1(wavEncodings()[1].name);
    // The first sound opens the connection to the server; that is no part of any figure.
    if (bench.playOnce(pcm16) < 0) {
        std::fprintf(stderr, "bench_sound: the sound server takes no sound\n");
        return 1;
    }

    const double effectCold = soundEffectMedian(themeFolder + pcm16 + u".wav"_s, ColdRuns, true);
    const double effectCached =
        soundEffectMedian(themeFolder + pcm16 + u".wav"_s, CachedRuns, false);

    bool failed = effectCold < 0 || effectCached < 0;
    for (int i = 0; i < WavEncodingCount && !failed; ++i) {
        const QString name = QString::fromLatin1(wavEncodings()[i].name);
        std::vector<double> cold, cached;
        for (int run = 0; run < ColdRuns; ++run) {
            bench.touch(name);
            cold.push_back(bench.playOnce(name));
        }
        for (int run = 0; run < CachedRuns; ++run)
            cached.push_back(bench.playOnce(name));
        if (std::ranges::min(cold) < 0 || std::ranges::min(cached) < 0) {
            failed = true;
            break;
        }
        const std::string encoding = wavEncodings()[i].name;
        bench::printRow("ThemeSound to device, cold, " + encoding, bench::median(cold),
                        "QSoundEffect cold, pcm16", effectCold, "ms", "report", true);
        const double cachedMs = bench::median(cached);
        bench::printRow("ThemeSound to device, cached, " + encoding, cachedMs,
                        "QSoundEffect cached, pcm16", effectCached, "ms", "<= 5 ms",
                        cachedMs <= CachedTargetMs);
    }
    if (failed) {
        std::fprintf(stderr, "bench_sound: a sound never reached the device\n");
        return 1;
    }

    double ours = 0, pacat = 0;
    if (!bufferLatencyMedians(server, theme, pcm16, &ours, &pacat)) {
        std::fprintf(stderr, "bench_sound: the server lists no buffer latency of both streams\n");
        return 1;
    }
    bench::printRow("theme sound stream, buffer latency the server reports", ours,
                    "pacat --latency-msec=20, same server and time", pacat, "ms", "<= 30 ms",
                    ours <= BufferTargetMs);

    QThread::sleep(2); // the last sound heard, the stream pauses
    const double paused = serverIdleCpu(server);
    sound::deviceSoundOutput().shutdown();
    const double alone = serverIdleCpu(server);
    if (paused < 0 || alone < 0) {
        std::fprintf(stderr, "bench_sound: the sound server ended\n");
        return 1;
    }
    bench::printRow("sound server CPU 10 s, theme sound stream paused", paused,
                    "same server, no client", alone, "% core", "<= 0.5%",
                    paused <= ServerIdleTargetPercent);
    return 0;
}
