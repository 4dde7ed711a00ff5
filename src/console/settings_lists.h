#pragma once

#include <QList>
#include <QString>

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

// What a person sees of the console's three lists, to be found again once they are filled anew
// (or laid out anew): each list's scroll position and selected line, the chosen protection line
// (SelectedLine) and which list has the keyboard's focus.
// A line is known by its text without its state and by the header above it, so that it is found
// again when the shell added or removed lines before it.
struct ListPlaces
{
    struct Place
    {
        int scroll = 0;
        QString selected; // empty: no line selected
    };
    QList<Place> lists; // lstBox(1) to lstBox(3)
    QString chosen;     // empty: no protection line chosen
    int focused = 0;    // the lstBox index with the focus; 0: none
};
[[nodiscard]] ListPlaces listPlaces(const SkinnedWindow &window, int SelectedLine);

// Puts each list of window back at its place: its scroll position and selected line, without
// running the click handler; the chosen protection line is chosen again, so that the labels show
// it as the files hold it now, and the keyboard's focus stays where it was (on the same list). A
// chosen line that is gone leaves nothing chosen and the labels lblInfo(0) to lblInfo(6) empty.
void restoreListPlaces(SkinnedWindow &window, const ListPlaces &places, int &SelectedLine);

// Fills the three lists again from theme's files as they are now (the shell may have changed
// them), each kept at its place (restoreListPlaces).
void RefreshSettingsLists(SkinnedWindow &window, FileListBox &File1, const skin::Theme &theme,
                          int &SelectedLine);
