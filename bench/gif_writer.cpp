#include "gif_writer.h"

namespace {

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void putSubBlocks(QByteArray &out, const QByteArray &data)
{
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray part = data.mid(at, 255);
        out.append(char(part.size()));
        out.append(part);
    }
    out.append('\0');
}

QByteArray lzwUncompressed(const QByteArray &indexes)
{
    constexpr int clearCode = 256;
    constexpr int endCode = 257;
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    auto put = [&](int code) {
        buffer |= quint32(code) << bits;
        bits += 9;
        while (bits >= 8) {
            bytes.append(char(buffer & 0xFF));
            buffer >>= 8;
            bits -= 8;
        }
    };
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        if (i % 200 == 0)
            put(clearCode);
        put(quint8(indexes[i]));
    }
    put(endCode);
    if (bits > 0)
        bytes.append(char(buffer & 0xFF));
    return bytes;
}

} // namespace

QByteArray writeGif(const GifPlan &plan)
{
    QByteArray out("GIF89a");
    putWord(out, plan.screen.width());
    putWord(out, plan.screen.height());
    out.append(char(0xF7)); // global table of 256 colours
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = i < plan.palette.size() ? plan.palette[i] : 0;
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    for (const GifFrameSpec &frame : plan.frames) {
        out.append(frame.before);
        if (frame.delayHundredths) {
            out.append("\x21\xF9\x04", 3);
            out.append(char((frame.disposal << 2) | (frame.transparentIndex >= 0 ? 1 : 0)));
            putWord(out, *frame.delayHundredths);
            out.append(char(frame.transparentIndex >= 0 ? frame.transparentIndex : 0));
            out.append('\0');
        }
        out.append(char(0x2C));
        putWord(out, frame.rect.x());
        putWord(out, frame.rect.y());
        putWord(out, frame.rect.width());
        putWord(out, frame.rect.height());
        out.append('\0');
        out.append(char(8));
        putSubBlocks(out, lzwUncompressed(frame.indexes));
    }
    out.append(plan.beforeTrailer);
    out.append(char(0x3B));
    return out;
}

GifFrameSpec solidFrame(const QRect &rect, int index, std::optional<int> delayHundredths)
{
    GifFrameSpec frame;
    frame.rect = rect;
    frame.indexes = QByteArray(rect.width() * rect.height(), char(index));
    frame.delayHundredths = delayHundredths;
    return frame;
}

QByteArray commentExtension(const QByteArray &text)
{
    QByteArray out("\x21\xFE", 2);
    putSubBlocks(out, text);
    return out;
}
