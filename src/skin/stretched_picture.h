#pragma once

#include <QPixmap>
#include <QWidget>

// A picture element of a skinned window (imgPic): shows its picture stretched over its
// whole rectangle and lets the mouse through to the window below, as a disabled picture does
// on the shell's windows. Without a picture it draws nothing.
class StretchedPicture : public QWidget
{
    Q_OBJECT

public:
    explicit StretchedPicture(QWidget *parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
