#include "bmp_writer.h"

#include <QDataStream>
#include <QIODevice>

namespace {

QByteArray rowBytes(const QList<QRgb> &row, const BmpLayout &layout, const QList<QRgb> &palette)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    if (layout.bitCount <= 8) {
        const int perByte = 8 / layout.bitCount;
        for (int x = 0; x < row.size(); x += perByte) {
            quint8 byte = 0;
            for (int i = 0; i < perByte && x + i < row.size(); ++i) {
                const int index = palette.indexOf(row[x + i]);
                byte |= quint8(index << (8 - layout.bitCount * (i + 1)));
            }
            out << byte;
        }
    } else {
        for (const QRgb c : row) {
            if (layout.bitCount == 16)
                out << quint16(((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3));
            else
                out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c));
            if (layout.bitCount == 32)
                out << quint8(0);
        }
    }
    while (bytes.size() % 4)
        bytes.append('\0');
    return bytes;
}

QByteArray rleRow(const QList<QRgb> &row, const QList<QRgb> &palette)
{
    QByteArray bytes;
    for (int x = 0; x < row.size();) {
        int run = 1;
        while (x + run < row.size() && run < 255 && row[x + run] == row[x])
            ++run;
        bytes.append(char(run)).append(char(palette.indexOf(row[x])));
        x += run;
    }
    return bytes.append('\0').append('\0'); // end of line
}

} // namespace

QByteArray bmpBytes(const QList<QList<QRgb>> &rows, const BmpLayout &layout)
{
    const int height = int(rows.size());
    const int width = height ? int(rows.first().size()) : 0;
    QList<QRgb> palette;
    if (layout.bitCount <= 8) {
        for (const auto &row : rows)
            for (const QRgb c : row)
                if (!palette.contains(c))
                    palette.append(c);
    }

    QByteArray pixels;
    for (int i = 0; i < height; ++i) {
        const auto &row = rows[height - 1 - i];
        pixels += layout.rle ? rleRow(row, palette) : rowBytes(row, layout, palette);
    }
    if (layout.rle)
        pixels.append('\0').append('\1'); // end of bitmap

    const quint32 compression = layout.rle ? 1 : layout.bitCount == 16 ? 3 : 0;
    const quint32 masks = layout.bitCount == 16 ? 12 : 0;
    const quint32 offset = 14 + 40 + masks + 4 * quint32(palette.size());
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("BM", 2);
    out << quint32(offset + pixels.size()) << quint32(0) << offset;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(layout.bitCount)
        << compression << quint32(pixels.size()) << qint32(2835) << qint32(2835)
        << quint32(palette.size()) << quint32(0);
    if (masks)
        out << quint32(0xF800) << quint32(0x07E0) << quint32(0x001F);
    for (const QRgb c : palette)
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);
    out.writeRawData(pixels.constData(), int(pixels.size()));
    return file;
}
