#include "sound_decoder.h"

#include "platform/file_stamp.h"
#include "platform/sound_libraries.h"
#include "sound/sound_log.h"

#include <QFile>

#include <vector>

namespace sound {

namespace {

constexpr int MaxChannels = 8;
constexpr int MinRate = 1000;
constexpr int MaxRate = 384000;
constexpr sf_count_t ChunkFrames = 8192;

struct SndFileCloser
{
    void operator()(SNDFILE *file) const { platform::sndFileLibrary()->sf_close(file); }
};

} // namespace

qint64 DecodedSound::frameCount() const
{
    if (channelCount <= 0)
        return 0;
    return samples.size() / qint64(sizeof(float) * channelCount);
}

qint64 DecodedSound::durationMs() const
{
    if (sampleRate <= 0)
        return 0;
    return frameCount() * 1000 / sampleRate;
}

namespace {

// Says why a sound is refused, in the log and to a caller that asks, in the same words.
std::nullptr_t refuse(const QString &why, QString *problem)
{
    qCWarning(lcSound).noquote() << why;
    if (problem)
        *problem = why;
    return nullptr;
}

} // namespace

std::shared_ptr<const DecodedSound> decodeSound(const QString &diskPath)
{
    return decodeSoundOrExplain(diskPath, nullptr);
}

std::shared_ptr<const DecodedSound> decodeSoundOrExplain(const QString &diskPath, QString *problem)
{
    const platform::SndFileLibrary *sndfile = platform::sndFileLibrary();
    if (!sndfile)
        return refuse(QStringLiteral("sound %1 not decoded: libsndfile is missing").arg(diskPath),
                      problem);
    // A pipe would block the decoder until something writes to it.
    if (const QString why = platform::whyNotAFile(diskPath); !why.isEmpty())
        return refuse(QStringLiteral("sound %1 %2").arg(diskPath, why), problem);
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndFileCloser> file(
        sndfile->sf_open(QFile::encodeName(diskPath).constData(), SFM_READ, &info));
    if (!file)
        return refuse(QStringLiteral("sound %1 does not open as a sound (%2)")
                          .arg(diskPath, QString::fromLocal8Bit(sndfile->sf_strerror(nullptr))),
                      problem);
    if (info.channels < 1 || info.channels > MaxChannels || info.samplerate < MinRate ||
        info.samplerate > MaxRate)
        return refuse(QStringLiteral("sound %1 has %2 channels at %3 Hz, which the console does "
                                     "not play")
                          .arg(diskPath)
                          .arg(info.channels)
                          .arg(info.samplerate),
                      problem);

    // The frame count in the header is not trusted for the allocation: a damaged header can
    // claim far more than the file holds, so the samples grow chunk by chunk up to the limit.
    auto sound = std::make_shared<DecodedSound>();
    sound->sampleRate = info.samplerate;
    sound->channelCount = info.channels;
    const qint64 bytesPerFrame = qint64(sizeof(float)) * info.channels;
    std::vector<float> chunk(size_t(ChunkFrames * info.channels));
    for (;;) {
        const sf_count_t got = sndfile->sf_readf_float(file.get(), chunk.data(), ChunkFrames);
        if (got <= 0)
            break;
        if (sound->samples.size() + got * bytesPerFrame > MaxDecodedSoundBytes)
            return refuse(QStringLiteral("sound %1 is too long to hold").arg(diskPath), problem);
        sound->samples.append(reinterpret_cast<const char *>(chunk.data()),
                              qsizetype(got * bytesPerFrame));
    }
    if (sound->samples.isEmpty())
        return refuse(QStringLiteral("sound %1 has no frames").arg(diskPath), problem);
    return sound;
}

} // namespace sound
