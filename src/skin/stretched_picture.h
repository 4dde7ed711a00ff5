#pragma once

#include <QPixmap>
#include <QWidget>

// A picture element of a skinned window (imgPic, imgGif): shows its picture stretched over its
// whole rectangle and lets the mouse through to the window below, as a disabled picture does
// on the shell's windows. Without a picture it draws nothing.
class StretchedPicture : public QWidget
{
    Q_OBJECT

public:
    explicit StretchedPicture(QWidget *parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

    // An animation frame's display time in milliseconds; 0 for other pictures.
    qint32 frameDelay() const { return m_frameDelay; }
    void setFrameDelay(qint32 milliseconds) { m_frameDelay = milliseconds; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    qint32 m_frameDelay = 0;
};
