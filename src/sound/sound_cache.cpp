#include "sound_cache.h"

namespace sound {

namespace {

// Failed decodes cost no sample memory, so only their number needs a bound.
constexpr qsizetype MaxEntries = 512;

qint64 bytesOf(const std::shared_ptr<const DecodedSound> &sound)
{
    return sound ? sound->samples.size() : 0;
}

} // namespace

SoundCache::SoundCache(qint64 byteBudget, SoundDecoder decoder)
    : m_byteBudget(byteBudget)
    , m_decoder(std::move(decoder))
{}

std::shared_ptr<const DecodedSound> SoundCache::sound(const QString &diskPath)
{
    // The stamp's nanosecond times and identity catch a sound replaced within the same second by
    // a file of the same size.
    const std::optional<platform::FileStamp> stamp = platform::stampOfPath(diskPath);
    if (!stamp || stamp->isFolder) {
        remove(diskPath);
        return nullptr;
    }

    auto found = m_entries.find(diskPath);
    if (found != m_entries.end() && found->stamp == *stamp) {
        found->lastUse = ++m_useCounter;
        return found->sound;
    }
    remove(diskPath);

    std::shared_ptr<const DecodedSound> decoded = m_decoder(diskPath);
    if (bytesOf(decoded) > m_byteBudget)
        return decoded;
    m_entries.insert(diskPath, Entry{*stamp, decoded, ++m_useCounter});
    m_heldBytes += bytesOf(decoded);
    trim();
    return decoded;
}

void SoundCache::remove(const QString &diskPath)
{
    const auto found = m_entries.constFind(diskPath);
    if (found == m_entries.cend())
        return;
    m_heldBytes -= bytesOf(found->sound);
    m_entries.erase(found);
}

void SoundCache::trim()
{
    while (m_heldBytes > m_byteBudget || m_entries.size() > MaxEntries) {
        auto oldest = m_entries.begin();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        m_heldBytes -= bytesOf(oldest->sound);
        m_entries.erase(oldest);
    }
}

} // namespace sound
