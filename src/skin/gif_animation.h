#pragma once

#include "skin/gif_structure.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QList>
#include <QString>

#include <optional>

namespace skin {

// One picture of an animation, composed as a GIF decoder shows it: the whole logical screen,
// with the earlier images' disposal, transparency and sub-rectangles applied.
struct GifFrame
{
    QImage image;
    qint32 delayMs = 0; // the image's own delay (see GifImage::delayMs)
};

// Reads the images of a GIF file held in memory one frame at a time, walking its blocks only
// as far as the frame read, so that a caller can let other work run between two frames and
// keep only what it shows. Nothing is written to disk.
class GifFrameReader
{
public:
    explicit GifFrameReader(const QByteArray &bytes);
    GifFrameReader(const GifFrameReader &) = delete;
    GifFrameReader &operator=(const GifFrameReader &) = delete;

    // The next frame. Each direction of its picture larger than the bound's is shrunk to it
    // (at least 1 pixel), pixel by pixel as the frames are drawn, without smoothing; an invalid
    // bound (QSize()) shrinks nothing. std::nullopt after the last image, or at the first
    // image that does not decode: error() then says why.
    std::optional<GifFrame> next(QSize bound = {});

    // Why reading ended before the last image, or why the bytes give no frame at all (no GIF,
    // no complete image); empty otherwise.
    QString error() const { return m_error; }

private:
    QByteArray m_bytes;
    GifWalker m_walker;
    QBuffer m_device;
    QImageReader m_reader;
    int m_frames = 0;
    QString m_error;
};

struct GifAnimation
{
    QList<GifFrame> frames; // one per image of the file, in file order
    QString error;          // why frames is empty, or why it ends early; empty otherwise
};

// Decodes every image of a GIF file held in memory, one frame each, at the logical screen's
// size. Frames end at the first image that does not decode (its error is given) or where the
// file's block structure ends. Bytes that are no GIF, or a GIF whose first image does not
// decode, give no frames.
[[nodiscard]] GifAnimation decodeGifAnimation(const QByteArray &bytes);

} // namespace skin
