#include "skin/image_button.h"

#include <QMouseEvent>
#include <QPainter>

ImageButton::ImageButton(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    if (!m_picture.isNull())
        painter.drawPixmap(rect(), m_picture);
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    emit mouseActivity();
}

void ImageButton::mouseMoveEvent(QMouseEvent *)
{
    emit mouseActivity();
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    emit mouseActivity();
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}
