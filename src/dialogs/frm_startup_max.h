#pragma once

#include "core/window_placement.h"

#include <QWidget>

// The auxiliary window "KESTA Terminal - Max": it holds nothing and only tells how large a
// maximised window is on this screen. As loaded (not shown) it covers the usable screen area.
class frmStartupMax : public QWidget
{
    Q_OBJECT

public:
    explicit frmStartupMax(QWidget *parent = nullptr);

    // The window's rectangle in twips. With `show` the window opens maximised, is measured and
    // closes again; without, it is measured as loaded.
    [[nodiscard]] core::TwipsRect measure(bool show);
};
