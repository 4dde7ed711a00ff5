#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// What a person sees, checked on screenshots.

// The share (0 to 1) of the pixels of picture that the screen shows unchanged with picture's top
// left corner at `at`.
double shareShowing(const QImage &screen, QPoint at, const QImage &picture);

// How a shaped window with the background picture and mask colour shows at `at`: the share of
// the mask-coloured pixels through which the screen as it was before shows, and the share of the
// other pixels that show the background itself (the rest is covered by the window's elements).
struct ShapeSeen
{
    double seeThrough = 0;
    double drawn = 0;
};
ShapeSeen shapeSeen(const QImage &screen, const QImage &before, QPoint at, const QImage &background,
                    QRgb mask);

// The columns of rectangle `at` in which two screenshots differ, as a span: its width, 0 when
// they are equal. A text cursor blinking in one and not the other is one or two columns wide.
int differingColumnSpan(const QImage &a, const QImage &b, const QRect &at);

// The vertical centres of the lines of text in rectangle `at` of a list drawn on a plain
// background (its most common colour): rows holding any other colour, in bands.
QList<int> textLineCentres(const QImage &screen, const QRect &at);

// The value of key in section of an INI file, read the simple way a test needs; empty when
// missing.
QString skinValue(const QString &file, const QString &section, const QString &key);
// The rectangle of the element named `name` in a layout section of a skin file, on a window of
// the given size: negative places and sizes measured from the far edges, as the console lays
// them out. A null rectangle when the name is not in the section.
QRect layoutRect(const QString &skinFile, const QString &section, const QString &name,
                 const QSize &window);
// The first four fields of a value (a box description or a layout line's geometry).
QRect fieldsRect(const QString &value, int firstField);
