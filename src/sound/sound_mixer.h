#pragma once

#include "platform/sound_device.h"
#include "sound/sound_request.h"
#include "sound/sound_voice.h"

#include <functional>
#include <vector>

namespace sound {

// Sums the sounds that play at one time into the device's one stream, in float. A replacing
// sound stops the sound the previous replacing one started and nothing else, as the system's
// wave-sound call stops its own last sound only; overlapping sounds play on beside it. At most
// MaxVoices play at once: another one stops the oldest.
//
// Every member runs with the device's lock held: the SoundSource calls on the device's thread,
// the others inside SoundDevice::play().
class SoundMixer final : public platform::SoundSource
{
public:
    using StartHook = std::function<void(const QString &diskPath)>;
    static constexpr size_t MaxVoices = 16;

    SoundMixer() = default;
    ~SoundMixer() override;
    SoundMixer(const SoundMixer &) = delete;
    SoundMixer &operator=(const SoundMixer &) = delete;

    // Starts sound for request (a null sound only stops what a replacing request stops). The
    // request's ticket is told when the sound is first rendered and when it has been heard.
    void add(std::shared_ptr<const DecodedSound> sound, const SoundRequest &request);
    void stopAll();
    // hook is called on the device's thread when a sound's first samples are rendered.
    void setStartHook(StartHook hook) { m_startHook = std::move(hook); }
    size_t voiceCount() const { return m_voices.size(); }

    void streamOpened(const platform::SoundStreamFormat &format) override;
    bool render(float *samples, qint64 frames) override;
    void streamLost() override { stopAll(); }

private:
    struct Playing
    {
        SoundVoice voice;
        SoundRequest request;
        bool started = false;
    };
    // A sound rendered to its end, still in the server's buffer until frame heardAt.
    struct Tail
    {
        std::shared_ptr<SoundTicket> ticket;
        qint64 heardAt = 0;
    };

    void startPlaying(Playing &playing);
    void endHeardTails();

    std::vector<Playing> m_voices;
    std::vector<Tail> m_tails;
    platform::SoundStreamFormat m_format;
    qint64 m_rendered = 0;  // frames rendered into the stream since it opened
    qint64 m_quietFrom = 0; // from this frame on the server holds nothing but silence
    StartHook m_startHook;
};

} // namespace sound
