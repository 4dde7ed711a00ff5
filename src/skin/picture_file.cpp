#include "skin/picture_file.h"

#include "platform/native_path.h"

#include <QImage>
#include <QImageReader>

namespace skin {

LoadedPicture loadPicture(const QString &storedPath)
{
    QImageReader reader(platform::nativePath(storedPath));
    QImage image = reader.read();
    if (image.isNull())
        return {
            {},
            QStringLiteral("picture %1 does not load (%2)").arg(storedPath, reader.errorString())};
    return {QPixmap::fromImage(std::move(image)), {}};
}

} // namespace skin
