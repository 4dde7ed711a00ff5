#pragma once

class SkinnedWindow;

namespace skin {
class Theme;
}

// The closing sequence of the console: first reads "Animated" and "AnimDelay" of section
// "DEFAULT" in the theme's "terminal.skn" again (a value found and convertible replaces the
// program-wide one), then removes window's elements one by one, newest first, down to
// programState().InitialControlCount. When Animated is set, each visible element and each
// timer is preceded by a pause of AnimDelay milliseconds (hidden ones go without) and pending
// events run after every removal. Otherwise the elements vanish together and pending events
// run once, after the last removal. Never fails: what cannot be removed is passed over.
void TearDownLayout(SkinnedWindow &window, const skin::Theme &theme);

// Removes window's laid-out elements at once, whatever Animated says: for a window laid out
// again, where nobody is meant to watch the old layout go.
void RemoveLayoutAtOnce(SkinnedWindow &window);
