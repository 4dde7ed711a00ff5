#include "skin/picture_file.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/screen_metrics.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace skin {

namespace {

// "...\b1.bmp" gives "...\b1@2x.bmp"; a name without an extension gets "@2x" at its end.
QString doubleDensityPath(const QString &storedPath)
{
    const qsizetype name =
        std::max(storedPath.lastIndexOf(u'\\'), storedPath.lastIndexOf(u'/')) + 1;
    const qsizetype dot = storedPath.lastIndexOf(u'.');
    const qsizetype end = dot > name ? dot : storedPath.size();
    return storedPath.left(end) + QStringLiteral("@2x") + storedPath.mid(end);
}

// The theme's picture drawn at twice the pixels, for a screen that shows more than one device
// pixel per pixel (Qt takes "@2x" for every ratio above 1, as it does for icons). Its size must
// be exactly twice the plain picture's, or it would not cover the same element.
QPixmap doubleDensity(const QString &storedPath, const QImage &plain)
{
    if (platform::devicePixelRatio() <= 1.0)
        return {};
    const QString diskPath = platform::nativePath(doubleDensityPath(storedPath));
    if (!QFile::exists(diskPath) || platform::isSpecialFile(diskPath))
        return {};
    QImage image = QImageReader(diskPath).read();
    if (image.size() != plain.size() * 2)
        return {};
    image.setDevicePixelRatio(2.0);
    return QPixmap::fromImage(std::move(image));
}

} // namespace

LoadedPicture loadPicture(const QString &storedPath)
{
    const QString diskPath = platform::nativePath(storedPath);
    // A pipe would block the reader until something writes to it.
    if (platform::isSpecialFile(diskPath))
        return {{}, QStringLiteral("picture %1 is not a regular file").arg(storedPath)};
    QImageReader reader(diskPath);
    QImage image = reader.read();
    if (image.isNull())
        return {
            {},
            QStringLiteral("picture %1 does not load (%2)").arg(storedPath, reader.errorString())};
    if (QPixmap sharp = doubleDensity(storedPath, image); !sharp.isNull())
        return {sharp, {}};
    return {QPixmap::fromImage(std::move(image)), {}};
}

} // namespace skin
