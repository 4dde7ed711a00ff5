#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QRgb>

// Writes BMP files byte by byte, so that a test knows every pixel without trusting a loader.
struct BmpLayout
{
    int bitCount = 24; // 1, 4, 8 (palette), 16 (5-6-5 bit fields), 24 or 32 (blue, green, red, 0)
    bool rle = false;  // 8 bits only: run-length encoded rows
};
Q_DECLARE_METATYPE(BmpLayout)

// A BMP of the pixels, rows top first, all rows as wide as the first; the file stores the bottom
// row first. With a palette the colours are numbered in order of first appearance, and there
// must be no more than the depth holds.
QByteArray bmpBytes(const QList<QList<QRgb>> &rows, const BmpLayout &layout);
