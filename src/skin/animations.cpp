#include "skin/animations.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/gif_animation.h"
#include "skin/layout_line.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <limits>
#include <optional>

namespace skin {

qint32 firstInterval(qint32 firstDelayMs)
{
    return firstDelayMs > std::numeric_limits<qint16>::max() ? 0 : firstDelayMs;
}

void setAnimationInterval(QTimer &timer, qint32 intervalMs)
{
    // A Qt timer with interval 0 fires on every pass of the event loop; here 0 means still.
    if (intervalMs <= 0) {
        timer.stop();
        timer.setInterval(0);
        return;
    }
    timer.start(intervalMs);
}

namespace {

// How long laying out frames may hold pending events back, in nanoseconds.
constexpr qint64 eventIntervalNs = 10'000'000;
// What the frames of one animation may hold together. Frames are kept at the element's size,
// so only an element of several screens' size with many frames comes near it.
constexpr qsizetype frameBytesCap = qsizetype(64) * 1024 * 1024;

bool indexesFree(const SkinnedWindow &window, int timer, int firstFrame, int frames)
{
    if (window.tmrAnim.contains(timer))
        return false;
    for (int f = firstFrame; f < firstFrame + frames; ++f) {
        if (window.imgGif.contains(f))
            return false;
    }
    return true;
}

std::optional<QByteArray> readGifFile(const QString &path, QString *error)
{
    QFile file(platform::nativePath(path));
    // A pipe would block the read until something writes to it.
    if (platform::isSpecialFile(file.fileName())) {
        *error = QStringLiteral("animation %1 is not a regular file").arg(path);
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("animation %1 does not read (%2)").arg(path, file.errorString());
        return std::nullopt;
    }
    return file.readAll();
}

// Lets pending events run while frames are made, so that earlier animations keep playing, the
// window keeps repainting and the exit request is seen: before a frame whose making would,
// judged by the one before it, hold events back for longer than the interval. Asking the
// event loop after every frame would cost more than small frames themselves.
class EventPacer
{
public:
    EventPacer()
    {
        m_sinceEvents.start();
        m_sinceFrame.start();
    }

    void frameMade()
    {
        const qint64 frameNs = m_sinceFrame.nsecsElapsed();
        if (m_sinceEvents.nsecsElapsed() + frameNs >= eventIntervalNs)
            runEvents();
        m_sinceFrame.start();
    }

    void runEvents()
    {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }

private:
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceFrame;
};

StretchedPicture *addFrame(SkinnedWindow &window, int index, const QRect &rect, GifFrame &frame)
{
    StretchedPicture *element = window.addGifFrame(index);
    element->raise();
    element->setGeometry(rect);
    element->setFrameDelay(frame.delayMs);
    element->setPicture(QPixmap::fromImage(std::move(frame.image)));
    return element;
}

} // namespace

QWidget *layOutAnimation(SkinnedWindow &window, const AnimationLine &line,
                         AnimationTable &animations, QString *error)
{
    const QString path = ThemePath() + line.name;
    const std::optional<QByteArray> bytes = readGifFile(path, error);
    if (!bytes)
        return nullptr;
    // Frames are always drawn stretched over their element: a frame larger than the element
    // would only hold pixels that are never shown.
    const QRect rect =
        placeElement(line.geometry, EdgeRule::Negative, window.ScaleWidth(), window.ScaleHeight());
    GifFrameReader reader(*bytes);
    std::optional<GifFrame> frame = reader.next(rect.size());
    if (!frame) {
        *error = QStringLiteral("animation %1 does not load (%2)").arg(path, reader.error());
        return nullptr;
    }
    const int a = animations.animationCount + 1;
    const int first = animations.frameCount + 1;
    const int images = static_cast<int>(reader.structure().images.size());
    if (!indexesFree(window, a, first, images)) {
        *error = QStringLiteral("tmrAnim(%1) or imgGif(%2 ... %3) is already laid out")
                     .arg(a)
                     .arg(first)
                     .arg(first + images - 1);
        return nullptr;
    }

    animations.animationCount = a;
    if (animations.entries.size() < a)
        animations.entries.resize(a);
    const QPointer<QTimer> timer = window.addAnimTimer(a);
    qsizetype bytesHeld = frame->image.sizeInBytes();
    const QPointer<StretchedPicture> firstFrame = addFrame(window, first, rect, *frame);
    firstFrame->show();
    int last = first;
    animations.frameCount = last;
    EventPacer pacer;
    // The exit request may come while frames are made; the window is then being closed.
    for (pacer.frameMade(); !window.isQuitting(); pacer.frameMade()) {
        frame = reader.next(rect.size());
        if (!frame)
            break;
        if (bytesHeld + frame->image.sizeInBytes() > frameBytesCap) {
            *error = QStringLiteral("animation %1 keeps %2 of its %3 frames: one animation "
                                    "holds %4 MiB at most")
                         .arg(path)
                         .arg(last - first + 1)
                         .arg(images)
                         .arg(frameBytesCap / (1024 * 1024));
            break;
        }
        bytesHeld += frame->image.sizeInBytes();
        addFrame(window, ++last, rect, *frame);
        animations.frameCount = last;
    }
    if (!reader.error().isEmpty())
        *error = QStringLiteral("animation %1 ends after %2 frames: %3")
                     .arg(path)
                     .arg(last - first + 1)
                     .arg(reader.error());
    pacer.runEvents();
    animations.at(a) = {first, last, first};
    if (timer && firstFrame)
        setAnimationInterval(*timer, firstInterval(firstFrame->frameDelay()));
    return firstFrame;
}

void tickAnimation(SkinnedWindow &window, int a)
{
    if (window.isQuitting())
        return;
    AnimationTable &table = window.animationTable();
    if (a < 1 || a > table.animationCount || a > table.entries.size())
        return;
    AnimationEntry &animation = table.at(a);
    const qint32 previous = animation.current;
    if (animation.current >= animation.last)
        animation.current = animation.first - 1;
    ++animation.current;

    StretchedPicture *shown = window.imgGif(animation.current);
    if (shown)
        shown->show();
    if (previous != animation.current) {
        if (StretchedPicture *hidden = window.imgGif(previous))
            hidden->hide();
    }
    if (QTimer *timer = window.tmrAnim(a); timer && shown)
        setAnimationInterval(*timer, shown->frameDelay());
}

} // namespace skin
