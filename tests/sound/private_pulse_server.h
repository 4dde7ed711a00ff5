#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A sound server of the test's own: pulseaudio with one null sink as its default output, in a
// private folder, and a recorder of what reached that sink. Every process it starts ends with
// it, and with the test process should that die first.
class PrivatePulseServer
{
public:
    static constexpr int RecordRate = 48000; // stereo 16-bit frames

    explicit PrivatePulseServer(const QString &folder);
    ~PrivatePulseServer();
    PrivatePulseServer(const PrivatePulseServer &) = delete;
    PrivatePulseServer &operator=(const PrivatePulseServer &) = delete;

    // Starts the server and waits until it answers; false, with the reason in error(), if not.
    bool start();
    // Kills the server and its recorder at once, as a crash would; start() brings it back.
    void kill();
    QString address() const; // what PULSE_SERVER must hold
    QString error() const { return m_error; }
    qint64 processId() const { return m_server.processId(); }

    bool startRecording();
    qint64 recordedFrames();
    bool endsInSilence(qint64 frames);     // no sample of the last frames is loud
    QByteArray recordedSince(qint64 from); // 16-bit little-endian stereo frames
    QByteArray sinkInputs();               // what `pactl list sink-inputs` prints; empty on failure

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
