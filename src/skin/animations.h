#pragma once

#include "core/program_state.h"

#include <QString>

class QTimer;
class SkinnedWindow;

namespace skin {

struct AnimationLine;
class Theme;

// What the frames of one animation may hold together, in bytes. Frames are kept at the
// element's size, so only an element of several screens' size with many frames comes near it.
inline constexpr qsizetype animationBytesCap = qsizetype(64) * 1024 * 1024;

// What is said of an animation that does not load, of one that ends after `frames` frames, and
// why such an end comes when the frames would hold more than animationBytesCap.
[[nodiscard]] QString animationNotLoaded(const QString &path, const QString &why);
[[nodiscard]] QString animationEndsEarly(const QString &path, int frames, const QString &why);
[[nodiscard]] QString animationCapReached();

// The interval an animation starts with: the first frame's delay, or 0 (a still picture) when
// that delay does not fit a 16-bit signed number, that is when it is above 32767 ms.
[[nodiscard]] qint32 firstInterval(qint32 firstDelayMs);

// Sets timer to run every intervalMs; an interval of 0 stops it, so that the animation stays
// on its frame.
void setAnimationInterval(QTimer &timer, qint32 intervalMs);

// Lays out animation line `line` on window as animation a = animations.animationCount + 1:
// tmrAnim member a, then imgGif member a, placed by the line (a width or height measured back
// from the edge only when below 0) above everything laid out before it, showing the first frame
// of the GIF file theme.file(line.name). How many frames it holds is judged now from the file's
// blocks: at most 64 MiB of frames for one animation, and at most windowAnimationBytesCap for
// all of the window's (animations.frameBytes), the first frame of each always held; frames are
// numbered on from animations.frameCount, and first, last and current (= first) recorded in
// animations. The other frames are decoded once the element has been painted, piece by piece
// with pending events run whenever about 10 ms of work would otherwise hold them back; then the
// timer starts with firstInterval() of the first frame's delay. An element nobody can see is
// never painted and keeps its first frame. A frame's picture is no larger than its element.
// Returns the element, or nullptr with *error set when the line creates nothing: the file does
// not read, is no GIF, its first image does not decode, member a is taken, or the window started
// quitting while the file was read. A cap that ends the animation early is said in *error; a
// later image that does not decode ends it at the frames before it, said in the log (kesta.skin)
// when it is met.
QWidget *layOutAnimation(SkinnedWindow &window, const Theme &theme, const AnimationLine &line,
                         AnimationTable &animations, QString *error);

// One tick of animation `a` of window: imgGif member a shows the next frame (after the last
// comes the first again) and the timer takes that frame's delay. Does nothing while the window
// is quitting, or for an animation it does not have.
void tickAnimation(SkinnedWindow &window, int a);

} // namespace skin
