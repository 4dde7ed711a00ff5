#include "skin/shape_window.h"

#include "platform/display_session.h"
#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/skin_log.h"

#include <QBitmap>
#include <QImageReader>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

QImage shapeMask(const QImage &picture, quint32 maskColour)
{
    if (picture.isNull())
        return {};
    // One 32-bit layout for every depth and palette; colours keep their value, and an alpha
    // channel is kept apart (not premultiplied) so that it cannot change a colour.
    const QImage pixels = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                            : QImage::Format_RGB32);
    const QRgb key =
        qRgb(static_cast<int>(maskColour & 0xFF), static_cast<int>((maskColour >> 8) & 0xFF),
             static_cast<int>((maskColour >> 16) & 0xFF)) &
        RGB_MASK;

    const int width = pixels.width();
    QImage mask(pixels.size(), QImage::Format_MonoLSB);
    // Index 0 is Qt::color0 and index 1 Qt::color1, as QBitmap keeps them.
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        uchar *bits = mask.scanLine(y);
        // Whole bytes at a time: each byte of the mask is written once, never read back.
        for (int x = 0; x < width; x += 8) {
            const int count = std::min(8, width - x);
            uchar byte = 0;
            for (int bit = 0; bit < count; ++bit) {
                if ((row[x + bit] & RGB_MASK) != key)
                    byte |= static_cast<uchar>(1u << bit);
            }
            bits[x >> 3] = byte;
        }
    }
    return mask;
}

namespace {

bool coversAnything(const QImage &mask)
{
    const qsizetype rowBytes = (mask.width() + 7) / 8;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar *row = mask.constScanLine(y);
        if (std::any_of(row, row + rowBytes, [](uchar byte) { return byte != 0; }))
            return true;
    }
    return false;
}

} // namespace

QImage readPicture(const QString &diskPath, QString *error)
{
    // A pipe would block the reader until something writes to it.
    if (platform::isSpecialFile(diskPath)) {
        if (error)
            *error = QStringLiteral("not a regular file");
        return {};
    }
    QImageReader reader(diskPath);
    reader.setDecideFormatFromContent(true);
    // A damaged file (rows cut off, runs an RLE code skips) leaves part of the picture
    // undescribed; reading into a cleared image of the announced size and format makes that part
    // pixel value 0 instead of whatever the memory held, so one file always gives one outline.
    QImage picture;
    const QSize size = reader.size();
    const QImage::Format format = reader.imageFormat();
    if (size.isValid() && format != QImage::Format_Invalid) {
        // Only what the reader itself would agree to allocate.
        const qint64 bytes =
            qint64(size.width()) * size.height() * QImage::toPixelFormat(format).bitsPerPixel() / 8;
        const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
        if (limit == 0 || bytes <= limit) {
            picture = QImage(size, format);
            picture.fill(0);
        }
    }
    if (!reader.read(&picture)) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    return picture;
}

bool ShapeWindow(QWidget &window, quint32 maskColour, const QString &path)
{
    if (path.isEmpty()) {
        qCWarning(lcSkin) << "no background picture; the window stays rectangular";
        window.clearMask();
        return false;
    }
    QString error;
    const QImage picture = readPicture(platform::nativePath(path), &error);
    if (picture.isNull()) {
        qCWarning(lcSkin).noquote()
            << QStringLiteral("background %1 does not load (%2); the window stays rectangular")
                   .arg(path, error);
        window.clearMask();
        return false;
    }

    // A shaped window cannot be resized: its outline would no longer fit.
    window.setFixedSize(picture.size());
    const QImage mask = shapeMask(picture, maskColour);
    const QBitmap outline = QBitmap::fromImage(mask);
    QPixmap background = QPixmap::fromImage(picture);
    if (!platform::windowMaskCutsDrawing() && !window.testAttribute(Qt::WA_WState_Created) &&
        coversAnything(mask)) {
        // The compositor shows what the window draws: outside the outline, nothing. The
        // background is still drawn, from the picture made see-through there.
        window.setAttribute(Qt::WA_TranslucentBackground);
        window.setAttribute(Qt::WA_NoSystemBackground, false);
        background.setMask(outline);
    }
    QPalette palette = window.palette();
    palette.setBrush(QPalette::Window, QBrush(background));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    // A picture made only of the mask colour gives an empty region, which Qt takes as no mask.
    // Where the mask does not cut the drawing, it still keeps the pointer to the outline.
    window.setMask(outline);
    window.update();
    return true;
}
