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
#include <QTimer>

#include <limits>

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

// How long laying out frames may hold pending events back, in milliseconds.
constexpr qint64 eventInterval = 10;

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

} // namespace

QWidget *layOutAnimation(SkinnedWindow &window, const AnimationLine &line,
                         AnimationTable &animations, QString *error)
{
    const QString path = ThemePath() + line.name;
    QFile file(platform::nativePath(path));
    // A pipe would block the read until something writes to it.
    if (platform::isSpecialFile(file.fileName())) {
        *error = QStringLiteral("animation %1 is not a regular file").arg(path);
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("animation %1 does not read (%2)").arg(path, file.errorString());
        return nullptr;
    }
    GifAnimation gif = decodeGifAnimation(file.readAll());
    if (gif.frames.isEmpty()) {
        *error = QStringLiteral("animation %1 does not load (%2)").arg(path, gif.error);
        return nullptr;
    }
    if (!gif.error.isEmpty())
        *error = QStringLiteral("animation %1 ends after %2 frames: %3")
                     .arg(path)
                     .arg(gif.frames.size())
                     .arg(gif.error);

    const int a = animations.animationCount + 1;
    const int first = animations.frameCount + 1;
    const int count = static_cast<int>(gif.frames.size());
    if (!indexesFree(window, a, first, count)) {
        *error = QStringLiteral("tmrAnim(%1) or imgGif(%2 ... %3) is already laid out")
                     .arg(a)
                     .arg(first)
                     .arg(first + count - 1);
        return nullptr;
    }

    animations.animationCount = a;
    if (animations.entries.size() < a)
        animations.entries.resize(a);
    QTimer *timer = window.addAnimTimer(a);
    const QRect rect =
        placeElement(line.geometry, EdgeRule::Negative, window.ScaleWidth(), window.ScaleHeight());
    StretchedPicture *firstFrame = nullptr;
    // Earlier animations keep playing and the window keeps repainting while a long GIF is laid
    // out; asking the event loop after every frame would cost more than the frames themselves.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (int k = 0; k < count; ++k) {
        GifFrame &frame = gif.frames[k];
        StretchedPicture *element = window.addGifFrame(first + k);
        element->raise();
        element->setGeometry(rect);
        element->setFrameDelay(frame.delayMs);
        element->setPicture(QPixmap::fromImage(std::move(frame.image)));
        if (k == 0) {
            firstFrame = element;
            element->show();
        }
        animations.frameCount = first + k;
        if (sinceEvents.hasExpired(eventInterval) || k == count - 1) {
            QCoreApplication::processEvents();
            sinceEvents.start();
        }
    }
    animations.at(a) = {first, first + count - 1, first};
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
