#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// What a person sees, checked on screenshots, and where the skin files place it.

// The share (0 to 1) of picture's pixels that the screen shows unchanged at `at`.
double shareShowing(const QImage &screen, QPoint at, const QImage &picture);

// How a shaped window with the background picture shows at `at`: the share of its mask-coloured
// pixels that show the screen as it was before, and the share of the others that show the
// background itself (the rest is covered by the window's elements).
struct ShapeSeen
{
    double seeThrough = 0;
    double drawn = 0;
};
ShapeSeen shapeSeen(const QImage &screen, const QImage &before, QPoint at, const QImage &background,
                    QRgb mask);

// The vertical centres of the bands of rows in `at` that hold any colour but the most common.
QList<int> textLineCentres(const QImage &screen, const QRect &at);

// A value of a profile file; empty when missing.
QString skinValue(const QString &file, const QString &section, const QString &key);
// The rectangle of the element in a layout section on a window of the given size, as the console
// lays it out (negative places and sizes measured from the far edges); null when it is not there.
QRect layoutRect(const QString &skinFile, const QString &section, const QString &name,
                 const QSize &window);
