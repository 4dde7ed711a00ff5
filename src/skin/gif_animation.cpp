#include "skin/gif_animation.h"

namespace skin {

GifFrameReader::GifFrameReader(const QByteArray &bytes)
    : m_bytes(bytes)
    , m_walker(m_bytes)
{
    if (!m_walker.isGif()) {
        m_error = QStringLiteral("not a GIF file");
        return;
    }
    // The decoder's frames are already composed on the logical screen; the walk supplies the
    // delays, which belong to each image alone rather than carrying over from an earlier one.
    m_device.setData(m_bytes);
    m_device.open(QIODevice::ReadOnly);
    m_reader.setDevice(&m_device);
    m_reader.setFormat("gif");
    m_reader.setAutoTransform(false);
}

std::optional<GifFrame> GifFrameReader::next(QSize bound)
{
    if (!m_error.isEmpty())
        return std::nullopt;
    const std::optional<GifImage> image = m_walker.nextImage();
    if (!image) {
        if (m_frames == 0)
            m_error = QStringLiteral("no complete image");
        return std::nullopt;
    }
    QImage picture;
    if (!m_reader.read(&picture)) {
        m_error = QStringLiteral("image %1 does not decode (%2)")
                      .arg(m_frames + 1)
                      .arg(m_reader.errorString());
        return std::nullopt;
    }
    const QSize size =
        bound.isValid() ? picture.size().boundedTo(bound).expandedTo({1, 1}) : picture.size();
    // The decoder composes the next image on the picture it has just handed out; once only the
    // scaled copy is left, it does so without copying the whole logical screen first.
    if (picture.size() != size)
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ++m_frames;
    return GifFrame{std::move(picture), image->delayMs};
}

GifAnimation decodeGifAnimation(const QByteArray &bytes)
{
    GifAnimation result;
    GifFrameReader reader(bytes);
    while (std::optional<GifFrame> frame = reader.next())
        result.frames.append(std::move(*frame));
    result.error = reader.error();
    return result;
}

} // namespace skin
