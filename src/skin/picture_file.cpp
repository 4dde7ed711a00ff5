#include "skin/picture_file.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"

#include <QImage>
#include <QImageReader>

namespace skin {

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
    return {QPixmap::fromImage(std::move(image)), {}};
}

} // namespace skin
