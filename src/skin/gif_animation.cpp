#include "skin/gif_animation.h"

#include "skin/gif_structure.h"

#include <QBuffer>
#include <QImageReader>

namespace skin {

GifAnimation decodeGifAnimation(const QByteArray &bytes)
{
    GifAnimation result;
    const GifStructure structure = walkGif(bytes);
    if (!structure.isGif) {
        result.error = QStringLiteral("not a GIF file");
        return result;
    }
    if (structure.images.isEmpty()) {
        result.error = QStringLiteral("no complete image");
        return result;
    }

    // The decoder reads from memory: nothing is written to disk. Its frames are already
    // composed on the logical screen; the walk supplies the delays, which belong to each image
    // alone rather than carrying over from an earlier one.
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "gif");
    reader.setAutoTransform(false);
    result.frames.reserve(structure.images.size());
    for (const GifImage &image : structure.images) {
        QImage picture;
        if (!reader.read(&picture)) {
            result.error = QStringLiteral("image %1 does not decode (%2)")
                               .arg(result.frames.size() + 1)
                               .arg(reader.errorString());
            break;
        }
        result.frames.append({std::move(picture), image.delayMs});
    }
    return result;
}

} // namespace skin
