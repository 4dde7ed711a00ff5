#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace skin {

// One picture of an animation, composed as a GIF decoder shows it: the whole logical screen,
// with the earlier images' disposal, transparency and sub-rectangles applied.
struct GifFrame
{
    QImage image;
    qint32 delayMs = 0; // the image's own delay (see GifImage::delayMs)
};

struct GifAnimation
{
    QList<GifFrame> frames; // one per image of the file, in file order
    QString error;          // why frames is empty, or why it ends early; empty otherwise
};

// Decodes every image of a GIF file held in memory, one frame each. Frames end at the first
// image that does not decode (its error is given) or where the file's block structure ends.
// Bytes that are no GIF, or a GIF whose first image does not decode, give no frames.
[[nodiscard]] GifAnimation decodeGifAnimation(const QByteArray &bytes);

} // namespace skin
