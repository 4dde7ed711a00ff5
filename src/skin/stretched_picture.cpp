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
