#pragma once

#include "skin/animations.h"

#include <QString>

namespace skin {

// What the frames of all animations of one window may hold together, in bytes.
inline constexpr qsizetype windowAnimationBytesCap = qsizetype(256) * 1024 * 1024;

// The frames one window's animations hold, counted as they are laid out in line order against
// animationBytesCap for each animation and windowAnimationBytesCap for the window. The first
// frame of every animation is always held, so that each shows at least its first picture.
class AnimationBudget
{
public:
    // windowBytes: what the window's animations laid out before hold.
    explicit AnimationBudget(qsizetype windowBytes = 0)
        : m_window(windowBytes)
    {}

    enum class Frame
    {
        Held,
        AnimationFull, // the animation would pass animationBytesCap
        WindowFull,    // the window's animations would pass windowAnimationBytesCap
    };

    void startAnimation(qsizetype firstFrameBytes)
    {
        m_animation = firstFrameBytes;
        m_window += firstFrameBytes;
    }

    // Whether the animation laid out now may hold one more frame of `bytes`; it is counted
    // when it may.
    Frame takeFrame(qsizetype bytes)
    {
        if (m_animation + bytes > animationBytesCap)
            return Frame::AnimationFull;
        if (m_window + bytes > windowAnimationBytesCap)
            return Frame::WindowFull;
        m_animation += bytes;
        m_window += bytes;
        return Frame::Held;
    }

    qsizetype windowBytes() const { return m_window; }

private:
    qsizetype m_animation = 0;
    qsizetype m_window = 0;
};

// Why an animation ends early once its window's animations hold windowAnimationBytesCap.
[[nodiscard]] inline QString windowAnimationCapReached()
{
    return QStringLiteral("the animations of one window hold %1 MiB at most")
        .arg(windowAnimationBytesCap / (1024 * 1024));
}

} // namespace skin
