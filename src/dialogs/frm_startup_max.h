#pragma once

#include "core/window_placement.h"

#include <QWidget>

// The auxiliary window "KESTA Terminal - Max": it holds nothing and only tells how large a
// maximised window is on this screen. As loaded it covers the usable screen area, which the screen
// reports without a window being shown: showing one maximised to measure it cost a round trip to
// the window system at every start.
class frmStartupMax : public QWidget
{
    Q_OBJECT

public:
    explicit frmStartupMax(QWidget *parent = nullptr);

    // The window's rectangle in twips, as loaded; it is never shown.
    [[nodiscard]] core::TwipsRect measure() const;
};
