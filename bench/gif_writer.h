#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <optional>

// Writes small GIF files for the benchmarks. Pixel data is coded without compression (a
// clear code every few codes keeps the code width at 9 bits), which every decoder reads.
struct GifFrameSpec
{
    QRect rect;                         // on the logical screen
    QByteArray indexes;                 // rect.width() x rect.height() palette indexes
    std::optional<int> delayHundredths; // a graphic control extension when set
    int disposal = 0;                   // its disposal method
    int transparentIndex = -1;          // its transparent index; -1 for none
    QByteArray before;                  // raw blocks written before the frame
};

struct GifPlan
{
    QSize screen{4, 4};
    QList<QRgb> palette{0xff000000, 0xffff0000, 0xff00ff00, 0xff0000ff}; // padded to 256
    QList<GifFrameSpec> frames;
    QByteArray beforeTrailer; // raw blocks written after the last frame
};

QByteArray writeGif(const GifPlan &plan);

// A frame covering rect with one palette index.
GifFrameSpec solidFrame(const QRect &rect, int index, std::optional<int> delayHundredths);

// A comment extension holding text.
QByteArray commentExtension(const QByteArray &text);
