#pragma once

#include "platform/file_stamp.h"
#include "sound/sound_decoder.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

namespace sound {

using SoundDecoder = std::function<std::shared_ptr<const DecodedSound>(const QString &diskPath)>;

// Decoded sounds by file, so that a sound played again (a hover sound on every entry) is not
// decoded again. An entry holds while the file's size, modification time and identity on disk
// stay the same; a file that did not decode is remembered the same way, so a broken theme file
// is not read again on every hover either. Not thread-safe: one thread owns a cache.
class SoundCache
{
public:
    explicit SoundCache(qint64 byteBudget = 32 * 1024 * 1024, SoundDecoder decoder = decodeSound);

    // The decoded sound of the file at diskPath, decoded only when the file is new to the cache
    // or has changed. nullptr when the file is missing, is a folder or does not decode.
    // Sounds are dropped least recently used first once their samples exceed the budget; a
    // single sound larger than the budget is returned but not kept.
    std::shared_ptr<const DecodedSound> sound(const QString &diskPath);

    qint64 heldBytes() const { return m_heldBytes; }
    qsizetype entryCount() const { return m_entries.size(); }

private:
    struct Entry
    {
        platform::FileStamp stamp;
        std::shared_ptr<const DecodedSound> sound; // nullptr: the file did not decode
        quint64 lastUse = 0;
    };

    void remove(const QString &diskPath);
    void trim();

    qint64 m_byteBudget;
    SoundDecoder m_decoder;
    QHash<QString, Entry> m_entries;
    qint64 m_heldBytes = 0;
    quint64 m_useCounter = 0;
};

} // namespace sound
