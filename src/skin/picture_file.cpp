#include "skin/picture_file.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "platform/screen_metrics.h"

#include <QFile>
#include <QHash>
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

LoadedPicture decodePicture(const QString &storedPath, const QString &diskPath)
{
    // A pipe would block the reader until something writes to it.
    if (const QString why = platform::whyNotAFile(diskPath); !why.isEmpty())
        return {{}, QStringLiteral("picture %1 %2").arg(storedPath, why)};
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

// A decoded picture and the versions of the files it came from.
struct HeldPicture
{
    std::optional<platform::FileStamp> plain;
    std::optional<platform::FileStamp> sharp; // the "@2x" file, on a screen that takes it
    QPixmap pixmap;
};

// The pictures that elements show, by disk path: every element that shows one file shares
// its pixels (a theme of many buttons often has one picture for all), and the file is decoded
// again only when it changed. A picture that no element holds any more is let go at the next
// sweep, which comes each time the cache has doubled.
class PictureCache
{
public:
    LoadedPicture load(const QString &storedPath)
    {
        HeldPicture current;
        const QString diskPath = platform::nativePath(storedPath, &current.plain);
        const bool sharpScreen = platform::devicePixelRatio() > 1.0;
        const QString key = sharpScreen ? diskPath + QStringLiteral("\n@2x") : diskPath;
        if (sharpScreen)
            platform::nativePath(doubleDensityPath(storedPath), &current.sharp);
        const auto found = m_held.constFind(key);
        if (found != m_held.constEnd() && found->plain == current.plain &&
            found->sharp == current.sharp)
            return {found->pixmap, {}};
        LoadedPicture loaded = decodePicture(storedPath, diskPath);
        if (loaded.error.isEmpty() && current.plain) {
            current.pixmap = loaded.pixmap;
            m_held.insert(key, current);
            if (m_held.size() >= 2 * m_sizeAfterSweep + 16)
                sweep();
        } else {
            m_held.remove(key);
        }
        return loaded;
    }

private:
    void sweep()
    {
        m_held.removeIf([](const auto &entry) { return entry.value().pixmap.isDetached(); });
        m_sizeAfterSweep = m_held.size();
    }

    QHash<QString, HeldPicture> m_held;
    qsizetype m_sizeAfterSweep = 0;
};

} // namespace

LoadedPicture loadPicture(const QString &storedPath)
{
    static PictureCache cache;
    return cache.load(storedPath);
}

} // namespace skin
