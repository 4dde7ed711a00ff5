#pragma once

#include <QColor>

class QAbstractScrollArea;

namespace skin {

// Draws the scroll bars of area in its own colours: the groove in back, the handle in a blend
// of text into back, no arrow buttons. The system style's light bars would stand out of every
// dark theme, and a list's colours are all a theme gives for it.
void themeScrollBars(QAbstractScrollArea &area, const QColor &back, const QColor &text);

} // namespace skin
