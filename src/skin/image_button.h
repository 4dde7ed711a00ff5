#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// An image button of a skinned window (imgBut): shows its picture stretched over the whole
// button, with its back colour behind it where the picture does not cover the button. The back
// colour doubles as the hover state (black means the pointer is over the button); a new button
// is white. A press and release inside the button is a click.
//
// The button takes the focus from the keyboard (Tab) but not from the mouse, so a mouse user
// sees the theme exactly as drawn. Enter or Space on the focused button is a click. While the
// focus came from the keyboard, the button shows its focus picture (its over picture) with an
// outline of a light and a dark line, one of which stands out on any theme.
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

    // The picture file (a stored path) shown while the button has the keyboard's focus; read
    // when the focus comes. A file that does not load leaves the button's own picture.
    void setFocusPicturePath(const QString &path) { m_focusPicturePath = path; }

    // A click from the keyboard or a screen reader: the same signal a mouse click gives.
    void click() { emit clicked(); }

    // True while the button has the focus and marks it.
    bool showsFocus() const { return m_focusShown; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showFocus(bool shown);

    QPixmap m_picture;
    QPixmap m_restingPicture;
    QPixmap m_focusPicture;
    QString m_focusPicturePath;
    QColor m_backColor = Qt::white;
    bool m_pressed = false;
    bool m_focusShown = false;
    bool m_focusShownWhenLeft = false;
};
