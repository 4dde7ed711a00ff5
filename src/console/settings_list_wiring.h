#pragma once

class SkinnedWindow;

namespace skin {
class Theme;
}

// Connects the laid-out lists lstBox(1) to lstBox(3) of window to their handlers: a line that
// becomes selected, from code or by the mouse, runs OnSettingsListClick (which reads theme and
// writes SelectedLine, so both must outlive the lists), and a double click
// OnSettingsListDoubleClick. One press of the mouse button runs the click handler once: holding it
// down and moving over the list selects nothing more, and the second press of a double click
// selects nothing. The keyboard moves through the lines without running the handler and passes
// over the protection list's headers; Enter or Space runs it on the line moved to, and the
// keyboard stays on that line, drawn as the chosen one. Coming back to a list, the keyboard is on
// the line chosen last. After a choice by either, what came of it is announced (skin::announce):
// the protection line's labels, the theme chosen, the switch's new state. The lists name
// themselves ("Buttons", "Themes", "Switches") and their lines for screen readers, protection and
// switch lines with their checked state. Call it once after the layout, before the lists are
// filled.
void connectSettingsLists(SkinnedWindow &window, const skin::Theme &theme, int &SelectedLine);
