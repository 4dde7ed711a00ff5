#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A sound server of the test's own: pulseaudio with one null sink as its default output, in a
// private folder, started and stopped by the test, plus a recorder of what reached that sink.
// Every process it starts ends with it, and with the test process should that die first.
class PrivatePulseServer
{
public:
    static constexpr int RecordRate = 48000; // stereo 16-bit frames

    explicit PrivatePulseServer(const QString &folder);
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer &) = delete;
    PrivatePulseServer &operator=(const PrivatePulseServer &) = delete;

    // Starts the server and waits until it answers. False, with the reason in error(), when
    // pulseaudio is not installed or does not come up.
    bool start();
    // Kills the server as a crash would, and the recorder with it; start() and startRecording()
    // bring both back on the same address, the recording going on where it stopped.
    void kill();
    // What PULSE_SERVER must hold for a client to play into this server.
    QString address() const;
    QString error() const { return m_error; }
    qint64 processId() const { return m_server.processId(); }

    // Starts recording the null sink's monitor. False when the recorder cannot start.
    bool startRecording();
    // The frames recorded so far.
    qint64 recordedFrames();
    // Frames from frame `from` on with a sample louder than the threshold in either channel.
    qint64 loudFramesSince(qint64 from);
    // True when the last `frames` frames recorded are all quiet.
    bool endsInSilence(qint64 frames);
    // The recording from frame `from` on, as 16-bit little-endian stereo frames.
    QByteArray recordedSince(qint64 from);

    // What `pactl list sink-inputs` prints about the streams playing now; empty when the server
    // cannot be asked.
    QByteArray sinkInputs();

private:
    void collect();
    bool ask(const QStringList &arguments, QByteArray *output = nullptr);
    static void stop(QProcess &process);

    QString m_folder;
    QString m_error;
    QProcess m_server;
    QProcess m_recorder;
    QByteArray m_recording;
};
