#include "skin/animations.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/gif_animation.h"
#include "skin/layout_line.h"
#include "skin/skinned_window.h"
#include "skin/stretched_picture.h"
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

StretchedPicture *addFrame(SkinnedWindow &window, int index, const QRect &rect, GifFrame &frame)
{
    StretchedPicture *element = window.addGifFrame(index);
    if (!element)
        return nullptr;
    element->raise();
    element->setGeometry(rect);
    element->setFrameDelay(frame.delayMs);
    element->setPicture(QPixmap::fromImage(std::move(frame.image)));
    return element;
}

// Adds the frames after the first one at first + 1, ... until the file ends, the window starts
// quitting (the exit request came meanwhile) or something ends the animation early, which
// *early then tells. Returns the index of the last frame.
int addFollowingFrames(SkinnedWindow &window, GifFrameReader &reader, const QRect &rect, int first,
                       qsizetype bytesHeld, EventPacer &pacer, QString *early)
{
    int last = first;
    while (pacer.stepDone()) {
        std::optional<GifFrame> frame = reader.next(rect.size());
        if (!frame) {
            *early = reader.error();
            break;
        }
        bytesHeld += frame->image.sizeInBytes();
        if (bytesHeld > animationBytesCap) {
            *early = animationCapReached();
            break;
        }
        if (!addFrame(window, last + 1, rect, *frame)) {
            *early = QStringLiteral("imgGif(%1) is already laid out").arg(last + 1);
            break;
        }
        ++last;
    }
    return last;
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
    const int first = animations.frameCount + 1;
    if (window.tmrAnim.contains(a) || window.imgGif.contains(first)) {
        *error = QStringLiteral("tmrAnim(%1) or imgGif(%2) is already laid out").arg(a).arg(first);
        return nullptr;
    }

    animations.animationCount = a;
    if (animations.entries.size() < a)
        animations.entries.resize(a);
    const QPointer<QTimer> timer = window.addAnimTimer(a);
    const qsizetype firstBytes = frame->image.sizeInBytes();
    const QPointer<StretchedPicture> firstFrame = addFrame(window, first, rect, *frame);
    firstFrame->show();
    QString early;
    const int last = addFollowingFrames(window, reader, rect, first, firstBytes, pacer, &early);
    if (!early.isEmpty())
        *error = animationEndsEarly(path, last - first + 1, early);
    animations.frameCount = last;
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
