#pragma once

#include <QByteArrayView>
#include <QList>
#include <QRect>
#include <QSize>

#include <optional>

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

// Walks the blocks of a GIF file one image at a time: header, logical screen, colour tables,
// extensions and image descriptors with their data sub-blocks. A graphic control extension
// applies to the next image only, as the format says; a plain-text extension in between
// takes it for itself. The walk stops at the trailer, at a byte that starts no block, or
// where the file ends inside a block. The bytes must outlive the walker.
class GifWalker
{
public:
    explicit GifWalker(QByteArrayView bytes);

    // The file starts with "GIF87a" or "GIF89a" and a screen descriptor.
    bool isGif() const { return m_isGif; }
    QSize screen() const { return m_screen; }

    // The next image whose data blocks are all present; std::nullopt once the walk stops.
    std::optional<GifImage> nextImage();

    // The walk stopped at the trailer.
    bool complete() const { return m_complete; }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_isGif = false;
    QSize m_screen;
    bool m_stopped = false;
    bool m_complete = false;
    bool m_controlPending = false;
    qint32 m_pendingDelayMs = 0;
};

// The whole walk at once. Never fails; bytes that are not a GIF give isGif false and no images.
[[nodiscard]] GifStructure walkGif(QByteArrayView bytes);

} // namespace skin
