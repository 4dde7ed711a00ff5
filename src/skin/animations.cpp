#include "skin/animations.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/animated_picture.h"
#include "skin/gif_animation.h"
#include "skin/layout_line.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

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

// How long laying out an animation may hold pending events back, in nanoseconds.
constexpr qint64 eventIntervalNs = 10'000'000;
// The GIF file is read in pieces of this size, with events let run in between.
constexpr qint64 readPiece = 256 * 1024;

// Lets pending events run while an animation is laid out, so that earlier animations keep
// playing, the window keeps repainting and the exit request is seen: before a step (a piece of
// the file, a frame) that would, judged by the one before it, hold events back for longer than
// the interval. Asking the event loop after every small frame would cost more than the frame.
class EventPacer
{
public:
    explicit EventPacer(const SkinnedWindow &window)
        : m_window(window)
    {
        m_sinceEvents.start();
        m_sinceStep.start();
    }

    // False once the window is quitting (the exit request came meanwhile): the layout of the
    // animation ends there.
    [[nodiscard]] bool stepDone()
    {
        if (m_sinceEvents.nsecsElapsed() + m_sinceStep.nsecsElapsed() >= eventIntervalNs)
            runEvents();
        m_sinceStep.start();
        return !m_window.isQuitting();
    }

    void runEvents()
    {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }

private:
    const SkinnedWindow &m_window;
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceStep;
};

std::optional<QByteArray> readGifFile(const QString &path, EventPacer &pacer, QString *error)
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
    // Sized once: growing the array piece by piece would copy what was read, at length.
    QByteArray bytes(file.size(), Qt::Uninitialized);
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 read =
            file.read(bytes.data() + done, std::min(readPiece, bytes.size() - done));
        if (read < 0) {
            *error =
                QStringLiteral("animation %1 does not read (%2)").arg(path, file.errorString());
            return std::nullopt;
        }
        if (read == 0)
            break;
        done += read;
        if (!pacer.stepDone()) {
            *error = QStringLiteral("animation %1 not laid out: the window is closing").arg(path);
            return std::nullopt;
        }
    }
    bytes.truncate(done);
    return bytes;
}

// Adds the frames after the first one until the file ends, the window starts quitting (the exit
// request came meanwhile) or the frames would hold too much, which *early then tells.
void addFollowingFrames(const QPointer<AnimatedPicture> &element, GifFrameReader &reader,
                        QSize size, qsizetype bytesHeld, EventPacer &pacer, QString *early)
{
    // Events run between the frames may remove the element with the rest of the layout.
    while (pacer.stepDone() && element) {
        std::optional<GifFrame> frame = reader.next(size);
        if (!frame) {
            *early = reader.error();
            return;
        }
        bytesHeld += frame->image.sizeInBytes();
        if (bytesHeld > animationBytesCap) {
            *early = animationCapReached();
            return;
        }
        element->addFrame(QPixmap::fromImage(std::move(frame->image)), frame->delayMs);
    }
}

} // namespace

QString animationNotLoaded(const QString &path, const QString &why)
{
    return QStringLiteral("animation %1 does not load (%2)").arg(path, why);
}

QString animationEndsEarly(const QString &path, int frames, const QString &why)
{
    return QStringLiteral("animation %1 ends after %2 frames: %3").arg(path).arg(frames).arg(why);
}

QString animationCapReached()
{
    return QStringLiteral("one animation holds %1 MiB at most")
        .arg(animationBytesCap / (1024 * 1024));
}

QWidget *layOutAnimation(SkinnedWindow &window, const Theme &theme, const AnimationLine &line,
                         AnimationTable &animations, QString *error)
{
    const QString path = theme.file(line.name);
    EventPacer pacer(window);
    const std::optional<QByteArray> bytes = readGifFile(path, pacer, error);
    if (!bytes)
        return nullptr;
    // Frames are always drawn stretched over their element: a frame larger than the element
    // would only hold pixels that are never shown.
    const QRect rect =
        placeElement(line.geometry, EdgeRule::Negative, window.ScaleWidth(), window.ScaleHeight());
    GifFrameReader reader(*bytes);
    std::optional<GifFrame> frame = reader.next(rect.size());
    if (!frame) {
        *error = animationNotLoaded(path, reader.error());
        return nullptr;
    }
    const int a = animations.animationCount + 1;
    if (window.tmrAnim.contains(a) || window.imgGif.contains(a)) {
        *error = QStringLiteral("tmrAnim(%1) or imgGif(%1) is already laid out").arg(a);
        return nullptr;
    }

    animations.animationCount = a;
    if (animations.entries.size() < a)
        animations.entries.resize(a);
    const QPointer<QTimer> timer = window.addAnimTimer(a);
    AnimatedPicture *created = window.addAnimation(a);
    created->raise();
    created->setGeometry(rect);
    const qsizetype firstBytes = frame->image.sizeInBytes();
    created->addFrame(QPixmap::fromImage(std::move(frame->image)), frame->delayMs);
    created->showFrame(0);
    created->show();
    const QPointer<AnimatedPicture> element = created;
    QString early;
    addFollowingFrames(element, reader, rect.size(), firstBytes, pacer, &early);
    int frames = 1;
    if (const AnimatedPicture *laidOut = element.data())
        frames = laidOut->frameCount();
    if (!early.isEmpty())
        *error = animationEndsEarly(path, frames, early);
    const int first = animations.frameCount + 1;
    animations.frameCount += frames;
    animations.at(a) = {first, first + frames - 1, first};
    pacer.runEvents();
    if (timer && element)
        setAnimationInterval(*timer, firstInterval(element->frameDelay(0)));
    return element;
}

void tickAnimation(SkinnedWindow &window, int a)
{
    if (window.isQuitting())
        return;
    AnimationTable &table = window.animationTable();
    if (a < 1 || a > table.animationCount || a > table.entries.size())
        return;
    AnimationEntry &animation = table.at(a);
    if (animation.current >= animation.last)
        animation.current = animation.first - 1;
    ++animation.current;

    AnimatedPicture *element = window.imgGif(a);
    if (!element)
        return;
    const int frame = animation.current - animation.first;
    element->showFrame(frame);
    if (QTimer *timer = window.tmrAnim(a))
        setAnimationInterval(*timer, element->frameDelay(frame));
}

} // namespace skin
