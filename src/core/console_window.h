#pragma once

#include "core/window_placement.h"

#include <QString>

namespace core {

// What the start-up sequence and the exit watch need of the console window. The console
// implements it; tests drive the sequence with a stand-in that records each call.
class ConsoleWindow
{
public:
    virtual ~ConsoleWindow() = default;

    virtual void setCaption(const QString &caption) = 0;
    // Moves cmdFake off the window (left -100 pixels) and hides it.
    virtual void hideFakeButton() = 0;
    // The auxiliary window's rectangle in twips: its usable screen area when `show` (it opens
    // maximised, is measured and closes again), else its rectangle as loaded, without showing.
    virtual TwipsRect auxiliaryRectangle(bool show) = 0;
    // Twips per pixel of the screen the console opens on, and that screen's width in twips.
    virtual platform::TwipsFactors twipsFactors() const = 0;
    virtual double screenWidthTwips() const = 0;
    // Places the window; the rectangle is in twips.
    virtual void place(const TwipsRect &rectangle) = 0;
    // Number of elements the window holds now.
    virtual int elementCount() const = 0;
    // The skin's "BackGround" text; a value that is no colour leaves the colour as it is.
    virtual void setBackGround(const QString &value) = 0;
    virtual void playStartupSound(const QString &name) = 0;
    // Shows the window (not modal) and lets pending events run once.
    virtual void showAndRunEvents() = 0;
    // Lays the window out from section "DEFAULT" of skinFile.
    virtual void layOut(const QString &skinFile) = 0;

    // Stops the exit watch's timer.
    virtual void stopExitWatch() = 0;
    // Ends the program; in the console this does not return.
    virtual void EndProgram() = 0;
};

} // namespace core
