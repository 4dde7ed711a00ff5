#pragma once

#include <QByteArrayView>
#include <QList>
#include <QRect>
#include <QSize>

// The block structure of a GIF file, read without decoding any pixels: which images it holds,
// where each lies on the logical screen and how long each is meant to stay up.
namespace skin {

// The longest display time a frame may have, in milliseconds: the largest timer interval.
inline constexpr qint32 maxFrameDelay = 65535;

struct GifImage
{
    QRect rect;              // the image's place on the logical screen
    qint32 delayMs = 0;      // from this image's own graphic control extension: hundredths x 10,
                             // at most maxFrameDelay; 0 when the image has none
    bool hasControl = false; // a graphic control extension belongs to this image
};

struct GifStructure
{
    bool isGif = false;     // the file starts with "GIF87a" or "GIF89a" and a screen descriptor
    QSize screen;           // the logical screen
    QList<GifImage> images; // in file order; only images whose data blocks are all present
    bool complete = false;  // the walk reached the trailer
};

// Walks the blocks of a GIF file: header, logical screen, colour tables, extensions and image
// descriptors with their data sub-blocks. A graphic control extension applies to the next
// image only, as the format says; a plain-text extension in between takes it for itself.
// The walk stops at the trailer, at a byte that starts no block, or where the file ends
// inside a block; the images found before that are kept. Never fails otherwise; bytes that
// are not a GIF give isGif false and no images.
[[nodiscard]] GifStructure walkGif(QByteArrayView bytes);

} // namespace skin
