#include "skin/animations.h"

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "skin/animated_picture.h"
#include "skin/animation_budget.h"
#include "skin/gif_animation.h"
#include "skin/layout_line.h"
#include "skin/skin_log.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <limits>
#include <memory>
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

// How long laying out an animation may hold pending events back, in nanoseconds: 8 ms, so that
// a step that takes a little longer than the one before still ends within 10 ms.
constexpr qint64 eventIntervalNs = 8'000'000;
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

// The images of a GIF file, counted from its blocks without decoding any.
int imageCount(const QByteArray &bytes)
{
    GifWalker walker(bytes);
    int images = 0;
    while (walker.nextImage())
        ++images;
    return images;
}

struct HeldFrames
{
    int count = 1;
    QString early; // why the animation holds fewer frames than its file has
};

// How many of `images` frames of frameBytes each an animation holds. Judged before any is decoded,
// so that the caps end the same animations, in the order of their lines, whenever the frames come.
HeldFrames framesToHold(int images, qsizetype frameBytes, AnimationTable &animations)
{
    AnimationBudget budget(animations.frameBytes);
    budget.startAnimation(frameBytes);
    HeldFrames held;
    for (; held.count < images; ++held.count) {
        const AnimationBudget::Frame verdict = budget.takeFrame(frameBytes);
        if (verdict != AnimationBudget::Frame::Held) {
            held.early = verdict == AnimationBudget::Frame::AnimationFull
                             ? animationCapReached()
                             : windowAnimationCapReached();
            break;
        }
    }
    animations.frameBytes = budget.windowBytes();
    return held;
}

// Frames 2 ... count of animation a, decoded after its element's first paint; the animation's
// timer starts once they are there.
struct FollowingFrames
{
    QPointer<SkinnedWindow> window;
    QPointer<AnimatedPicture> element;
    QPointer<QTimer> timer;
    QByteArray file;
    QString path;
    QSize size;
    int count = 1;
    int a = 0;

    void decode() const
    {
        EventPacer pacer(*window);
        GifFrameReader reader(file);
        reader.next(size); // the first frame is shown already
        if (!pacer.stepDone())
            return;
        // Events run between the frames may remove the element with the rest of the layout, or
        // end the program.
        while (true) {
            AnimatedPicture *picture = element.data();
            SkinnedWindow *owner = window.data();
            if (!picture || !owner)
                return;
            if (picture->frameCount() >= count)
                break;
            std::optional<GifFrame> frame = reader.next(size);
            if (!frame) {
                endEarly(*owner, *picture, reader.error());
                break;
            }
            picture->addFrame(QPixmap::fromImage(std::move(frame->image)), frame->delayMs);
            if (!pacer.stepDone())
                return;
        }
        if (AnimatedPicture *picture = element.data()) {
            picture->followingFramesAdded();
            if (timer)
                setAnimationInterval(*timer, firstInterval(picture->frameDelay(0)));
        }
    }

    // A later image that does not decode ends the animation at the frames before it.
    void endEarly(SkinnedWindow &owner, const AnimatedPicture &picture, const QString &why) const
    {
        AnimationEntry &entry = owner.animationTable().at(a);
        entry.last = entry.first + picture.frameCount() - 1;
        if (!why.isEmpty())
            qCWarning(lcSkin).noquote() << animationEndsEarly(path, picture.frameCount(), why);
    }
};

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
    std::optional<GifFrame> frame;
    {
        // Not kept: it would hold a picture of the whole logical screen until the next frames.
        GifFrameReader reader(*bytes);
        frame = reader.next(rect.size());
        if (!frame) {
            *error = animationNotLoaded(path, reader.error());
            return nullptr;
        }
    }
    // Counting the file's images walks all of it: events may run first.
    const int images = pacer.stepDone() ? imageCount(*bytes) : 0;
    if (window.isQuitting()) {
        *error = QStringLiteral("animation %1 not laid out: the window is closing").arg(path);
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
    const HeldFrames held = framesToHold(images, firstBytes, animations);
    if (!held.early.isEmpty())
        *error = animationEndsEarly(path, held.count, held.early);
    const int first = animations.frameCount + 1;
    animations.frameCount += held.count;
    animations.at(a) = {first, first + held.count - 1, first};
    // The other frames wait until the element has been painted: a start shows its window with
    // each animation's first frame, and decodes the rest after.
    const FollowingFrames following{&window, created,     timer,      *bytes,
                                    path,    rect.size(), held.count, a};
    created->addFollowingFramesAfterPaint([following] {
        QMetaObject::invokeMethod(
            following.window,
            [following] {
                if (following.window)
                    following.decode();
            },
            Qt::QueuedConnection);
    });
    pacer.runEvents();
    return created;
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
