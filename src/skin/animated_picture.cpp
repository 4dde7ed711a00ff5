#include "skin/animated_picture.h"

#include <utility>

AnimatedPicture::AnimatedPicture(QWidget *parent)
    : StretchedPicture(parent)
{}

void AnimatedPicture::addFrame(const QPixmap &picture, qint32 delayMs)
{
    m_frames.append({picture, delayMs});
}

qint32 AnimatedPicture::frameDelay(int frame) const
{
    return frame >= 0 && frame < m_frames.size() ? m_frames.at(frame).delayMs : 0;
}

void AnimatedPicture::addFollowingFramesAfterPaint(std::function<void()> decodeRest)
{
    m_decodeRest = std::move(decodeRest);
    m_waiting = true;
}

void AnimatedPicture::paintEvent(QPaintEvent *event)
{
    StretchedPicture::paintEvent(event);
    if (m_decodeRest)
        std::exchange(m_decodeRest, {})();
}

void AnimatedPicture::showFrame(int frame)
{
    if (frame < 0 || frame >= m_frames.size() || frame == m_shown)
        return;
    m_shown = frame;
    setPicture(m_frames.at(frame).picture);
}
