#pragma once

class QObject;

// What a screen reader learns of the skinned windows, which Qt would otherwise present as
// nameless panes. Only what a person can see is there: a window lists the elements it shows
// (hidden ones and helpers never), and a picture only when the theme names it, else it is
// decoration. An image button is a push button with its accessible name whose press answers at
// once (what it opens opens after); a named picture or animation is one image; a skinned window
// is a window or, when it is a dialog, a dialog named by its caption, with its announcements
// (skin::Announcer) as a notification; its lists read their lines as their facts tell
// (skin::accessibleList) and its labels their text. Every position is in the screen's device
// pixels. Installing twice does nothing.
namespace skin {

void installAccessibleElements();

// Keeps object off the accessibility bus for good, events included: a hidden helper that no
// person ever sees (a template element, a folder lister). Call it before the object is shown.
void keepOffTheBus(QObject &object);

} // namespace skin
