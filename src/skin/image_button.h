#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// An image button of a skinned window (imgBut): shows its picture stretched over the whole
// button, with its back colour behind it where the picture does not cover the button. The back
// colour doubles as the hover state (black means the pointer is over the button); a new button
// is white. A press and release inside the button is a click.
class ImageButton : public QWidget
{
    Q_OBJECT

public:
    explicit ImageButton(QWidget *parent = nullptr);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

    // The picture the button showed before the pointer came onto it; hover tracking shows it
    // again when the normal picture file no longer loads.
    QPixmap restingPicture() const { return m_restingPicture; }
    void setRestingPicture(const QPixmap &picture) { m_restingPicture = picture; }

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);

signals:
    void clicked();
    // Any press, move or release of the mouse over the button; the hover pass listens to it.
    void mouseActivity();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    QPixmap m_restingPicture;
    QColor m_backColor = Qt::white;
    bool m_pressed = false;
};
