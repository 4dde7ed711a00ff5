#include "skin/stretched_picture.h"

#include <QPainter>

StretchedPicture::StretchedPicture(QWidget *parent)
    : QWidget(parent)
{
    // A disabled QWidget would still swallow clicks; being transparent hands them to the window.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StretchedPicture::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    // A picture without transparency covers the whole element, so what lies below it need not
    // be painted: an animation then repaints only itself on every frame.
    setAttribute(Qt::WA_OpaquePaintEvent, !picture.isNull() && !picture.hasAlphaChannel());
    update();
}

void StretchedPicture::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    // Stretched pixel by pixel, as the shell stretches its pictures: no smoothing.
    QPainter painter(this);
    painter.drawPixmap(rect(), m_picture);
}
