#pragma once

#include "core/window_placement.h"

#include <QString>

namespace core {

// What the start-up sequence and the exit watch need of the console window. The console
// implements it; tests drive the sequence with a stand-in that records each call. The theme
// lies above the core: the sequence reads ProgramDir and ThemeDir, and the window opens the
// theme they name and reads what it needs of it.
class ConsoleWindow
{
public:
    virtual ~ConsoleWindow() = default;

    virtual void setCaption(const QString &caption) = 0;
    // Moves cmdFake off the window (left -100 pixels) and hides it.
    virtual void hideFakeButton() = 0;
    // The auxiliary window's rectangle in twips: the usable screen area, which a maximised
    // window would cover, read from the screen without showing any window.
    virtual TwipsRect auxiliaryRectangle() = 0;
    // Twips per pixel of the screen the console opens on.
    virtual platform::TwipsFactors twipsFactors() const = 0;
    // Places the window; the rectangle is in twips.
    virtual void place(const TwipsRect &rectangle) = 0;
    // Number of elements the window holds now.
    virtual int elementCount() const = 0;
    // Opens the theme of the program state's ProgramDir and ThemeDir: chooses SkinName (the
    // skin for the screen's width when that file's "DEFAULT" has "BackGround", else AppName) and
    // reads "Animated" and "AnimDelay" of the shell's skin into the program state (a key missing
    // or not converted keeps the value there).
    virtual void openTheme() = 0;
    // The console skin's "BackGround"; without one that is a colour, the window's design colour.
    virtual void applyBackGround() = 0;
    // Starts the console skin's "StartupSound", not waiting; nothing when the key is missing.
    virtual void playStartupSound() = 0;
    // Shows the window (not modal) and lets pending events run once.
    virtual void showAndRunEvents() = 0;
    // Lays the window out from section "DEFAULT" of the console skin.
    virtual void layOut() = 0;

    // Starts and stops following the shell's exit request (core::ExitWatch).
    virtual void startExitWatch() = 0;
    virtual void stopExitWatch() = 0;
    // Ends the program; in the console this does not return.
    virtual void EndProgram() = 0;
};

} // namespace core
