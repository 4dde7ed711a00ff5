#pragma once

#include <QString>

class QWidget;

namespace skin {
class Theme;
class ThemeFile;
} // namespace skin

// What both skinned dialogs take from the theme besides their layout.
namespace dialogs {

// The outline of a dialog: "BackGround" and "MaskColor" of its section.
struct DialogShape
{
    QString background;     // the theme's file named by the value; empty when the key is missing
    quint32 maskColour = 0; // black when the key is missing
};
[[nodiscard]] DialogShape readDialogShape(const skin::Theme &theme, const QString &section,
                                          const skin::ThemeFile &skinFile);

// What a screen reader says for a dialog button's command: "OK" for OK, "Cancel" for QUIT
// (in any case); empty for a program the button starts.
[[nodiscard]] QString dialogCommandWords(const QString &command);

// Names box for a screen reader: by the theme's name for it, else by fallback; and describes
// it by the dialog's caption, whose words a theme may show only in its pictures.
void nameBox(QWidget &box, const QString &themeName, const QString &fallback,
             const QString &caption);

// Moves window to the middle of the primary screen; nothing without a screen.
void centreOnScreen(QWidget &window);

} // namespace dialogs
