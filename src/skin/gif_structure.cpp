#include "skin/gif_structure.h"

#include <algorithm>

namespace skin {

namespace {

constexpr quint8 extensionIntroducer = 0x21;
constexpr quint8 imageSeparator = 0x2C;
constexpr quint8 trailer = 0x3B;
constexpr quint8 graphicControlLabel = 0xF9;
constexpr quint8 plainTextLabel = 0x01;

class Cursor
{
public:
    Cursor(QByteArrayView bytes, qsizetype pos)
        : m_bytes(bytes)
        , m_pos(pos)
    {}

    qsizetype pos() const { return m_pos; }
    bool has(qsizetype count) const { return m_bytes.size() - m_pos >= count; }
    quint8 byteAt(qsizetype offset) const { return static_cast<quint8>(m_bytes[m_pos + offset]); }
    quint16 wordAt(qsizetype offset) const
    {
        return static_cast<quint16>(byteAt(offset) | (byteAt(offset + 1) << 8));
    }
    void skip(qsizetype count) { m_pos += count; }

    // Skips a colour table announced by a packed-fields byte. False when the file ends first.
    bool skipColourTable(quint8 packed)
    {
        if (!(packed & 0x80))
            return true;
        const qsizetype size = 3 * (qsizetype(2) << (packed & 0x07));
        if (!has(size))
            return false;
        skip(size);
        return true;
    }

    // Skips data sub-blocks up to and including the empty one that ends them. False when the
    // file ends first.
    bool skipSubBlocks()
    {
        for (;;) {
            if (!has(1))
                return false;
            const quint8 size = byteAt(0);
            if (!has(1 + size))
                return false;
            skip(1 + size);
            if (size == 0)
                return true;
        }
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

struct PendingControl
{
    bool present = false;
    qint32 delayMs = 0;
};

// Reads an extension whose introducer has been passed. The delay of a graphic control
// extension needs its first sub-block to hold at least the packed byte and the delay word.
bool readExtension(Cursor &cursor, PendingControl &pending)
{
    if (!cursor.has(1))
        return false;
    const quint8 label = cursor.byteAt(0);
    cursor.skip(1);
    if (label == graphicControlLabel) {
        if (cursor.has(4) && cursor.byteAt(0) >= 3) {
            pending.present = true;
            pending.delayMs = std::min<qint32>(cursor.wordAt(2) * 10, maxFrameDelay);
        } else {
            pending = {};
        }
    } else if (label == plainTextLabel) {
        pending = {};
    }
    return cursor.skipSubBlocks();
}

bool readImage(Cursor &cursor, PendingControl &pending, std::optional<GifImage> &image)
{
    if (!cursor.has(9))
        return false;
    const QRect rect(cursor.wordAt(0), cursor.wordAt(2), cursor.wordAt(4), cursor.wordAt(6));
    const quint8 packed = cursor.byteAt(8);
    cursor.skip(9);
    // The colour table, the code size byte and the data all belong to the image.
    if (!cursor.skipColourTable(packed) || !cursor.has(1))
        return false;
    cursor.skip(1);
    if (!cursor.skipSubBlocks())
        return false;
    image = GifImage{rect, pending.present ? pending.delayMs : 0, pending.present};
    pending = {};
    return true;
}

} // namespace

GifWalker::GifWalker(QByteArrayView bytes)
    : m_bytes(bytes)
{
    const bool signature =
        bytes.startsWith(QByteArrayView("GIF87a")) || bytes.startsWith(QByteArrayView("GIF89a"));
    if (!signature || bytes.size() < 13) {
        m_stopped = true;
        return;
    }
    Cursor cursor(bytes, 0);
    m_isGif = true;
    m_screen = QSize(cursor.wordAt(6), cursor.wordAt(8));
    const quint8 packed = cursor.byteAt(10);
    cursor.skip(13);
    m_stopped = !cursor.skipColourTable(packed);
    m_pos = cursor.pos();
}

std::optional<GifImage> GifWalker::nextImage()
{
    Cursor cursor(m_bytes, m_pos);
    PendingControl pending{m_controlPending, m_pendingDelayMs};
    std::optional<GifImage> image;
    while (!m_stopped && !image && cursor.has(1)) {
        const quint8 introducer = cursor.byteAt(0);
        cursor.skip(1);
        if (introducer == trailer) {
            m_complete = true;
            break;
        }
        bool whole = false;
        if (introducer == extensionIntroducer)
            whole = readExtension(cursor, pending);
        else if (introducer == imageSeparator)
            whole = readImage(cursor, pending, image);
        m_stopped = !whole;
    }
    if (!image)
        m_stopped = true;
    m_pos = cursor.pos();
    m_controlPending = pending.present;
    m_pendingDelayMs = pending.delayMs;
    return image;
}

GifStructure walkGif(QByteArrayView bytes)
{
    GifWalker walker(bytes);
    GifStructure result;
    result.isGif = walker.isGif();
    result.screen = walker.screen();
    while (const std::optional<GifImage> image = walker.nextImage())
        result.images.append(*image);
    result.complete = walker.complete();
    return result;
}

} // namespace skin
