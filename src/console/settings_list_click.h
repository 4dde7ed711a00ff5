#pragma once

class SkinnedWindow;

namespace skin {
class Theme;
}

// Clicks on the console's lists. A list is clicked when one of its lines becomes the selected
// one, by the mouse or from code; either way the click handler runs once.

// The click handler of lstBox(index) (1 protection, 2 theme, 3 switch list), on its selected
// line, with the files of theme. A protection line becomes the selection: SelectedLine takes its
// position, lblInfo(0) holds "NN HEADER SECTION" and lblInfo(1) to lblInfo(6) show the button's
// settings (a label the skin leaves out is skipped). A theme line shows the theme's preview in the
// theme picture (a preview that does not load leaves the picture as it was) and becomes ThemeName.
// A switch line is flipped and written as "True" or "False" into "DEFAULT" of terminal.skn at once;
// when the write fails ("Error Writing Key" is shown) the line keeps its state. Header lines and an
// empty selection change nothing. In every case the list ends with no line selected and, after
// the mouse, the focus on imgBut(1) and no line current; after the keyboard the focus stays where
// it is, and in the list the line stays current.
void OnSettingsListClick(SkinnedWindow &window, const skin::Theme &theme, int index,
                         int &SelectedLine);

// After a double click on lstBox(index), whose first click has already run the click handler:
// the focus moves to imgBut(1) and the list's selection is cleared, as after a click.
void OnSettingsListDoubleClick(SkinnedWindow &window, int index);
