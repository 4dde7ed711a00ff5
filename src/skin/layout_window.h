#pragma once

#include "core/program_state.h"

#include <QString>

class SkinnedWindow;

namespace skin {
class Theme;
class ThemeFile;
} // namespace skin

// What one layout run did, for callers and tests that want to know.
struct LayoutOutcome
{
    int lines = 0;   // layout lines read ("01" up to the last key before the first gap)
    int skipped = 0; // of those, lines that created no element
};

// Builds window from the layout section `section` of skinFile, a file of theme: keys "01",
// "02", ... until the first one missing from skinFile; each line is taken from the override
// file beside it (same name, extension "ini") when that file has the key
// (ThemeFile::layoutLine). Pictures, buttons and animations name files of theme. Lists and labels
// take the indexes their names select, pictures and buttons 1, 2, ... in line order; buttons are
// recorded in `buttons`, whose count starts again from 0 (as do the counts of `animations`).
// Animation lines are laid out by skin::layOutAnimation() and recorded in `animations`. Sets
// ThemePictureIndex and ThemeName when the section has a "themepic" picture, and leaves
// INIValue holding the last line read.
//
// A line that cannot be laid out (unknown kind, too few fields, a geometry field without a
// number, an index already in use, a picture or GIF that does not load) creates nothing; a warning
// names the file, the section and the key, and the layout goes on with the next line. After
// every line the window pauses for animDelay milliseconds when `animated`, repaints and lets
// pending events run. The layout stops after the line during which the window started
// quitting (the exit request was answered meanwhile).
LayoutOutcome LayoutWindow(SkinnedWindow &window, const skin::Theme &theme, const QString &section,
                           ButtonTable &buttons, AnimationTable &animations, bool animated,
                           qint32 animDelay, const skin::ThemeFile &skinFile);
