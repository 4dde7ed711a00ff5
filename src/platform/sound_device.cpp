#include "sound_device.h"

#include "platform/platform_log.h"
#include "platform/sound_libraries.h"

namespace platform {

namespace {

// Only called once a device has its loop, which needs the library loaded.
const PulseLibrary &pulse()
{
    return *pulseLibrary();
}

constexpr int FallbackRate = 48000;
constexpr size_t FrameBytes = sizeof(float) * SoundDevice::ChannelCount;

void release(pa_operation *operation)
{
    if (operation)
        pulse().pa_operation_unref(operation);
}

// The latency asked for is the whole way to the speaker; the server shares it between the
// stream's buffer and its sink, and decides the rest.
pa_buffer_attr bufferOf(int milliseconds, const pa_sample_spec &format)
{
    const auto undecided = uint32_t(-1);
    pa_buffer_attr buffer{undecided, undecided, undecided, undecided, undecided};
    buffer.tlength =
        uint32_t(pulse().pa_usec_to_bytes(pa_usec_t(milliseconds) * PA_USEC_PER_MSEC, &format));
    return buffer;
}

int usableRate(uint32_t serverRate)
{
    return serverRate >= 8000 && serverRate <= 192000 ? int(serverRate) : FallbackRate;
}

} // namespace

SoundDevice::SoundDevice(SoundSource &source, const QString &clientName)
    : m_source(source)
    , m_clientName(clientName.toUtf8())
{
    if (!pulseLibrary())
        return;
    m_loop = pulse().pa_threaded_mainloop_new();
    if (!m_loop)
        return;
    pulse().pa_threaded_mainloop_set_name(m_loop, "sound server");
    if (pulse().pa_threaded_mainloop_start(m_loop) < 0) {
        pulse().pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
    }
}

SoundDevice::~SoundDevice()
{
    if (!m_loop)
        return;
    pulse().pa_threaded_mainloop_lock(m_loop);
    retireStream();
    retireContext();
    releaseRetired();
    pulse().pa_threaded_mainloop_unlock(m_loop);
    pulse().pa_threaded_mainloop_stop(m_loop);
    pulse().pa_threaded_mainloop_free(m_loop);
}

void SoundDevice::play(const std::function<void()> &change)
{
    if (!m_loop) {
        change();
        m_source.streamLost();
        return;
    }
    pulse().pa_threaded_mainloop_lock(m_loop);
    releaseRetired();
    change();
    if (!m_context)
        connect();
    else if (m_contextReady && !m_stream && !m_streamRequested)
        requestStream();
    else if (m_stream && m_paused)
        resume();
    pulse().pa_threaded_mainloop_unlock(m_loop);
}

void SoundDevice::connect()
{
    // Each attempt reads the client configuration anew; a console whose pointer crosses buttons
    // while no server runs must not do that on every hover.
    if (m_sinceFailedAttempt.isValid() && !m_sinceFailedAttempt.hasExpired(RetryIntervalMs)) {
        m_source.streamLost();
        return;
    }
    m_sinceFailedAttempt.invalidate();
    m_context = pulse().pa_context_new(pulse().pa_threaded_mainloop_get_api(m_loop),
                                       m_clientName.constData());
    if (!m_context) {
        loseConnection();
        return;
    }
    pulse().pa_context_set_state_callback(m_context, contextStateChanged, this);
    // No autospawn: a console must not start a sound server of its own.
    if (pulse().pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        loseConnection();
}

void SoundDevice::requestStream()
{
    // The stream takes the server's own rate, so that files at that rate reach it untouched.
    m_streamRequested = true;
    pa_operation *asked = pulse().pa_context_get_server_info(m_context, serverInfoReceived, this);
    if (!asked) {
        loseConnection();
        return;
    }
    release(asked);
}

void SoundDevice::openStream(int sampleRate)
{
    m_streamRequested = false;
    pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(sampleRate), uint8_t(ChannelCount)};
    pa_channel_map map;
    pulse().pa_channel_map_init_stereo(&map);
    m_stream = pulse().pa_stream_new(m_context, "theme sounds", &format, &map);
    if (!m_stream) {
        loseStream();
        return;
    }
    pulse().pa_stream_set_state_callback(m_stream, streamStateChanged, this);
    pulse().pa_stream_set_write_callback(m_stream, writeRequested, this);

    const pa_buffer_attr buffer = bufferOf(BufferMs, format);
    m_paused = false;
    if (pulse().pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                           nullptr, nullptr) < 0)
        loseStream();
}

void SoundDevice::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    release(pulse().pa_stream_cork(m_stream, 1, nullptr, nullptr));
    // A paused stream still holds the sink to the latency it asked for, and a sink kept at a
    // few milliseconds wakes the server a hundred times a second for nothing.
    setBuffer(IdleBufferMs);
}

void SoundDevice::resume()
{
    // The paused stream still holds the silence written before the pause; dropped, the next
    // sound starts at once instead of after it. Sinks remix their buffer when a stream comes
    // back, so the idle latency does not delay it either.
    m_paused = false;
    setBuffer(BufferMs);
    release(pulse().pa_stream_flush(m_stream, nullptr, nullptr));
    release(pulse().pa_stream_cork(m_stream, 0, nullptr, nullptr));
}

void SoundDevice::setBuffer(int milliseconds)
{
    const pa_buffer_attr buffer =
        bufferOf(milliseconds, *pulse().pa_stream_get_sample_spec(m_stream));
    release(pulse().pa_stream_set_buffer_attr(m_stream, &buffer, nullptr, nullptr));
}

void SoundDevice::loseStream()
{
    retireStream();
    m_source.streamLost();
}

void SoundDevice::loseConnection()
{
    if (!m_contextReady)
        m_sinceFailedAttempt.start();
    qCDebug(lcPlatform) << "no sound server:"
                        << (m_context ? pulse().pa_strerror(pulse().pa_context_errno(m_context))
                                      : "");
    retireStream();
    retireContext();
    m_source.streamLost();
}

void SoundDevice::retireStream()
{
    m_streamRequested = false;
    if (!m_stream)
        return;
    pulse().pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pulse().pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    m_retiredStreams.push_back(std::exchange(m_stream, nullptr));
}

void SoundDevice::retireContext()
{
    m_contextReady = false;
    if (!m_context)
        return;
    pulse().pa_context_set_state_callback(m_context, nullptr, nullptr);
    m_retiredContexts.push_back(std::exchange(m_context, nullptr));
}

void SoundDevice::releaseRetired()
{
    for (pa_stream *stream : std::exchange(m_retiredStreams, {})) {
        if (PA_STREAM_IS_GOOD(pulse().pa_stream_get_state(stream)))
            pulse().pa_stream_disconnect(stream);
        pulse().pa_stream_unref(stream);
    }
    for (pa_context *context : std::exchange(m_retiredContexts, {})) {
        if (PA_CONTEXT_IS_GOOD(pulse().pa_context_get_state(context)))
            pulse().pa_context_disconnect(context);
        pulse().pa_context_unref(context);
    }
}

void SoundDevice::contextStateChanged(pa_context *context, void *device)
{
    auto *self = static_cast<SoundDevice *>(device);
    if (context != self->m_context)
        return;
    switch (pulse().pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        self->m_contextReady = true;
        self->requestStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->loseConnection();
        break;
    default:
        break;
    }
}

void SoundDevice::serverInfoReceived(pa_context *context, const pa_server_info *info, void *device)
{
    // Also called with no answer when the connection went before the server answered.
    auto *self = static_cast<SoundDevice *>(device);
    if (context != self->m_context || !self->m_streamRequested)
        return;
    if (!info) {
        self->loseConnection();
        return;
    }
    self->openStream(usableRate(info->sample_spec.rate));
}

void SoundDevice::streamStateChanged(pa_stream *stream, void *device)
{
    auto *self = static_cast<SoundDevice *>(device);
    if (stream != self->m_stream)
        return;
    switch (pulse().pa_stream_get_state(stream)) {
    case PA_STREAM_READY: {
        const pa_buffer_attr *buffer = pulse().pa_stream_get_buffer_attr(stream);
        const pa_sample_spec *format = pulse().pa_stream_get_sample_spec(stream);
        if (buffer) {
            qCDebug(lcPlatform) << "stream open:" << format->rate << "Hz, buffer" << buffer->tlength
                                << "bytes, request" << buffer->minreq << "bytes, start"
                                << buffer->prebuf << "bytes";
        }
        self->m_source.streamOpened(
            {int(format->rate), ChannelCount, qint64(buffer ? buffer->tlength / FrameBytes : 0)});
        break;
    }
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        self->loseStream();
        break;
    default:
        break;
    }
}

void SoundDevice::writeRequested(pa_stream *stream, size_t bytes, void *device)
{
    auto *self = static_cast<SoundDevice *>(device);
    if (stream != self->m_stream)
        return;
    bool playing = true;
    while (bytes >= FrameBytes) {
        void *data = nullptr;
        size_t size = bytes - bytes % FrameBytes;
        if (pulse().pa_stream_begin_write(stream, &data, &size) < 0 || !data)
            return;
        size -= size % FrameBytes;
        if (size == 0) {
            pulse().pa_stream_cancel_write(stream);
            return;
        }
        playing = self->m_source.render(static_cast<float *>(data), qint64(size / FrameBytes));
        if (pulse().pa_stream_write(stream, data, size, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return;
        bytes -= size;
    }
    if (!playing)
        self->pause();
}

} // namespace platform
