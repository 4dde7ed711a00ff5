#pragma once

#include "skin/stretched_picture.h"

#include <QList>

#include <functional>

// An animation of a skinned window (imgGif): one element that holds every frame of a GIF
// animation, each with its display time, and draws the one shown, stretched over its whole
// rectangle as a picture is. A new element has no frames and draws nothing. The frames after the
// first may come after its first paint, so that a window shows before all are decoded.
class AnimatedPicture : public StretchedPicture
{
    Q_OBJECT

public:
    explicit AnimatedPicture(QWidget *parent = nullptr);

    void addFrame(const QPixmap &picture, qint32 delayMs);
    int frameCount() const { return static_cast<int>(m_frames.size()); }
    // Frame `frame`'s display time in milliseconds (frames count from 0); 0 for one it lacks.
    qint32 frameDelay(int frame) const;

    // Draws frame `frame` from now on; a frame it lacks changes nothing.
    void showFrame(int frame);
    int shownFrame() const { return m_shown; }

    // Runs decodeRest once, right after the element's first paint; until it has run, and until
    // followingFramesAdded(), the element waits for frames.
    void addFollowingFramesAfterPaint(std::function<void()> decodeRest);
    void followingFramesAdded() { m_waiting = false; }
    bool waitsForFrames() const { return m_waiting; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Frame
    {
        QPixmap picture;
        qint32 delayMs = 0;
    };
    QList<Frame> m_frames;
    int m_shown = -1;
    std::function<void()> m_decodeRest;
    bool m_waiting = false;
};
