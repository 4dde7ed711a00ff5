#pragma once

class FileListBox;
class SkinnedWindow;

namespace skin {
class Theme;
}

// Filling the console's lists from theme. Each list is the window's lstBox member of that index;
// a list the skin leaves out is not filled. File1 is the window's hidden folder lister, left
// pointing at the folder and pattern of the last fill.

// lstBox(1), the protection list: for every ".skn" of the theme folder, in the lister's order
// (by name, without regard to letter case), that has a "SECURITY" entry "01", a header line
// (the file's name without extension, upper-cased) and then one line per entry up to the first
// missing key: "  True  : " or "  False : " and the entry text, the button number as item data.
// lstBox(3), the switch list: one line per "GLOBAL" entry of terminal.skn, "  ON    : " or
// "  OFF   : " and the entry; only "False" in "DEFAULT" of terminal.skn reads as off.
void FillSettingsLists(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme);

// lstBox(2), the theme list: the names, without extension, of the ".bmp" files of
// ProgramDir + "\Themes".
void FillThemeList(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme);
