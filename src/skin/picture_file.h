#pragma once

#include <QPixmap>
#include <QString>

namespace skin {

struct LoadedPicture
{
    QPixmap pixmap; // null when the picture did not load
    QString error;  // empty when the picture loaded; else a short text for the warning
};

// Loads the picture file at storedPath (the stored, backslash form of a theme path). The
// name's extension picks the decoder first; a file whose content is of another kind is still
// recognised by its content. A GIF gives its first picture. On a screen whose
// devicePixelRatio is above 1, a file of the same name with "@2x" before the extension
// ("b1@2x.bmp" beside "b1.bmp") of exactly twice the size is taken instead, at a pixel ratio
// of 2, so that it is drawn at the plain picture's size with all of its pixels.
// Loads of one unchanged file share one decoded picture. The error names a folder, a link
// loop or a pipe where the picture should be as such.
[[nodiscard]] LoadedPicture loadPicture(const QString &storedPath);

} // namespace skin
