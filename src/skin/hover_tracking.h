#pragma once

#include <QString>

class QWidget;
class SkinnedWindow;

// Hover tracking of image buttons: a button shows its over picture and plays its over-sound
// once when the pointer comes onto it, and its normal picture again, silently, when the
// pointer leaves it. The button's back colour is its state: 0 (black) over, anything else
// normal.
namespace skin {

// The over picture of a normal picture path: "a" inserted before the last four characters
// ("...\b1.bmp" gives "...\b1a.bmp"). A path shorter than four characters is its own over
// picture.
[[nodiscard]] QString overPicturePath(const QString &picture);

// Fills PointerX and PointerY (the pointer relative to window's top left corner, in pixels:
// the pointer's screen position less the window's) and PointerWindow (the widget under the
// pointer) of the program state, as platform::services() gives them.
void ReadPointer(const QWidget &window);

// One hover pass of window over imgBut members 1 ... buttonTable().count; member 0, the
// template, is never looked at. Nothing happens while the window is quitting or not shown. A button
// is entered when the pointer lies strictly inside its rectangle and the button's own widget is
// under the pointer; it is left when the pointer lies strictly outside the rectangle. On the
// lines of the rectangle, or inside it while something else is under the pointer, the button
// keeps its state. Entering plays the over-sound (window.playSound()), turns the back colour
// black and shows the over picture; an over picture that does not load leaves the shown
// picture as it is. Leaving turns the back colour white and shows the normal picture again,
// or the picture shown before entry when that file no longer loads. A pass that changes no
// state reads no file.
void hoverPass(SkinnedWindow &window);

} // namespace skin
