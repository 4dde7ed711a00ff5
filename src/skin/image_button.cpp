#include "skin/image_button.h"

#include "skin/last_input.h"
#include "skin/picture_file.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

bool isPressKey(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Select:
        return !event.isAutoRepeat();
    default:
        return false;
    }
}

} // namespace

ImageButton::ImageButton(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    // Watching the input from the start: the focus a list click moves here is marked only for a
    // keyboard user.
    Q_UNUSED(skin::lastInputWasKeyboard());
}

void ImageButton::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void ImageButton::setBackColor(const QColor &color)
{
    if (m_backColor == color)
        return;
    m_backColor = color;
    update();
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);
    const QPixmap &shown = m_focusShown && !m_focusPicture.isNull() ? m_focusPicture : m_picture;
    if (!shown.isNull())
        painter.drawPixmap(rect(), shown);
    if (m_focusShown && width() > 3 && height() > 3) {
        painter.setPen(Qt::white);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

void ImageButton::keyPressEvent(QKeyEvent *event)
{
    if (!isPressKey(*event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    showFocus(true);
    click();
}

void ImageButton::focusInEvent(QFocusEvent *event)
{
    switch (event->reason()) {
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
        showFocus(true);
        break;
    // The window comes back (a dialog closed): the mark is as it was when the focus left, so a
    // mouse user who typed a password into the dialog finds the console as it was.
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
        showFocus(m_focusShownWhenLeft);
        break;
    default:
        showFocus(skin::lastInputWasKeyboard());
        break;
    }
    QWidget::focusInEvent(event);
}

void ImageButton::focusOutEvent(QFocusEvent *event)
{
    m_focusShownWhenLeft = m_focusShown;
    showFocus(false);
    QWidget::focusOutEvent(event);
}

void ImageButton::showFocus(bool shown)
{
    if (m_focusShown == shown)
        return;
    m_focusShown = shown;
    m_focusPicture = shown && !m_focusPicturePath.isEmpty()
                         ? skin::loadPicture(m_focusPicturePath).pixmap
                         : QPixmap();
    update();
}
