#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace skin {

// The contrast of two colours as the web's accessibility guidelines measure it: 1 (the same
// luminance) to 21 (black on white).
[[nodiscard]] double contrastRatio(const QColor &a, const QColor &b);

// The colour share of the way from `from` to `to` (0: from, 1: to).
[[nodiscard]] QColor blend(const QColor &from, const QColor &to, double share);

// The frame of the line the keyboard is on, in a list of colours back and text: the text colour
// where it stands out of back by at least 3:1, else the text colour moved toward black or white,
// whichever reaches 3:1 sooner, just as far as it must.
[[nodiscard]] QColor focusColour(const QColor &back, const QColor &text);

// The back of the chosen line: a quarter of the way from back to the focus colour.
[[nodiscard]] QColor chosenColour(const QColor &back, const QColor &text);

// Draws the lines of a skin list in the list's own colours and never in the system's selection
// colours: a marked chosen line (chosenLineMarked) on chosenColour, and, while the list has the
// keyboard, the line the keyboard is on inside a frame of focusColour. Lines keep their text,
// font and place; no check box is drawn.
class LineLook : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace skin
