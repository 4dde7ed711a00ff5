#pragma once

#include <QImage>
#include <QString>

class QWidget;

// The 1-bit outline of picture: a Format_MonoLSB image of the picture's size whose pixels are
// Qt::color1 (inside the window) where the picture's colour differs from maskColour and
// Qt::color0 (see-through) where it is exactly maskColour. Colours are compared on red, green
// and blue only (alpha plays no part); maskColour is the platform value red + 256 * green +
// 65536 * blue. A null picture gives a null image.
[[nodiscard]] QImage shapeMask(const QImage &picture, quint32 maskColour);

// Reads the picture file at diskPath, whatever format its content shows. Parts that a damaged
// file does not describe (rows cut off, pixels an RLE code skips) are pixel value 0 (the first
// palette colour, or black), so that one file always gives the same picture. A null image when
// the file does not load; *error (when given) then says why.
[[nodiscard]] QImage readPicture(const QString &diskPath, QString *error = nullptr);

// Gives window the size and outline of the picture at path (a stored path, "\" allowed):
// the window takes exactly the picture's size, paints the picture as its background and lets
// exactly the pixels of maskColour through (shapeMask), for the pointer and for the eye: where
// the window system does not cut a window to its mask (Wayland), a window not yet shown is made
// translucent and draws nothing outside the outline. Any picture Qt reads will do, BMP of
// every depth and compression included. A picture made only of the mask colour leaves the
// window rectangular, so that the dialog can still be seen and used.
//
// False, with a warning for the theme's author, when path is empty or the picture does not
// load; the window then keeps its size and background and has no mask, a plain rectangle.
bool ShapeWindow(QWidget &window, quint32 maskColour, const QString &path);
