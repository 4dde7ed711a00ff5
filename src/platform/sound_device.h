#pragma once

#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <vector>

struct pa_context;
struct pa_server_info;
struct pa_stream;
struct pa_threaded_mainloop;

namespace platform {

// The device's stream: interleaved 32-bit float frames.
struct SoundStreamFormat
{
    int sampleRate = 0;
    int channelCount = 0;
    // What the server holds between a rendered frame and the speaker, in frames.
    qint64 bufferFrames = 0;
};

// What a SoundDevice plays. Every call comes from the device's own thread with the device's
// lock held, so whoever changes the source does it inside SoundDevice::play().
class SoundSource
{
public:
    virtual ~SoundSource() = default;

    // A stream was opened: the first one, or a new one after the server went away.
    virtual void streamOpened(const SoundStreamFormat &format) = 0;
    // Sets every sample of `frames` frames. Returns false when they are silence and nothing more
    // waits to be heard; the device then pauses its stream until the next play().
    virtual bool render(float *samples, qint64 frames) = 0;
    // The stream did not open or went away with the server: nothing playing will be heard.
    virtual void streamLost() = 0;
};

// One playback stream to the system's sound server, kept open for as long as the server is
// there, through the PulseAudio client library (which PipeWire's pulse server answers as well).
// The connection is made when play() is first called and made again by the first play() after
// the server went away and came back, never more often than every RetryIntervalMs while the
// server is missing. The stream asks for a latency of BufferMs; while the source is silent it
// pauses and asks for IdleBufferMs, so that an idle console costs the server next to nothing.
//
// Threads and ownership: the client library runs on a thread of the device's own. That thread
// calls nothing of ours but the device and the source given to the constructor, and only while
// it holds the device's lock. The destructor ends the thread before it returns: once the device
// is gone nothing calls the source, so a source must outlive its device. Nothing here ever waits
// for the server.
class SoundDevice
{
public:
    static constexpr int BufferMs = 25;
    static constexpr int IdleBufferMs = 250;
    static constexpr int RetryIntervalMs = 500;
    static constexpr int ChannelCount = 2;

    SoundDevice(SoundSource &source, const QString &clientName);
    ~SoundDevice();
    SoundDevice(const SoundDevice &) = delete;
    SoundDevice &operator=(const SoundDevice &) = delete;

    // Runs change with the lock held, then sees that the stream plays: connects when there is no
    // connection, opens a stream when there is none, resumes a paused one.
    void play(const std::function<void()> &change);

private:
    void connect();
    void requestStream();
    void openStream(int sampleRate);
    void resume();
    void pause();
    void setBuffer(int milliseconds);
    void loseStream();
    void loseConnection();
    void retireStream();
    void retireContext();
    void releaseRetired();

    static void contextStateChanged(pa_context *context, void *device);
    static void serverInfoReceived(pa_context *context, const pa_server_info *info, void *device);
    static void streamStateChanged(pa_stream *stream, void *device);
    static void writeRequested(pa_stream *stream, size_t bytes, void *device);

    SoundSource &m_source;
    QByteArray m_clientName;
    pa_threaded_mainloop *m_loop = nullptr;
    // Everything below is guarded by the loop's lock.
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    bool m_contextReady = false;
    bool m_streamRequested = false;
    bool m_paused = false;
    QElapsedTimer m_sinceFailedAttempt; // valid while the last attempt to connect failed
    // Gone objects are let go outside the library's callbacks, which may still be using them.
    std::vector<pa_stream *> m_retiredStreams;
    std::vector<pa_context *> m_retiredContexts;
};

} // namespace platform
