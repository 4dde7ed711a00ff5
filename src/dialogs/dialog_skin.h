#pragma once

#include <QString>

class QWidget;

// What both skinned dialogs take from the theme besides their layout.
namespace dialogs {

// The outline of a dialog: "BackGround" and "MaskColor" of its section.
struct DialogShape
{
    QString background;     // ThemePath() + the value; empty when the key is missing
    quint32 maskColour = 0; // black when the key is missing
};
[[nodiscard]] DialogShape readDialogShape(const QString &section, const QString &skinFile);

// The progressive-layout switches of the dialogs: "Animated" (false when missing or no Boolean)
// and "AnimDelay" (0 when missing or no number) of [STARTUP] in ThemePath() + "Terminal.skn".
struct ProgressiveLayout
{
    bool animated = false;
    qint32 delay = 0;
};
[[nodiscard]] ProgressiveLayout readProgressiveLayout();

// Places and styles box from the box description in key of section; false, with box left as
// designed, when the key is missing.
bool applyBoxKey(QWidget &box, const QString &section, const QString &key, const QString &skinFile);

// Moves window to the middle of the primary screen; nothing without a screen.
void centreOnScreen(QWidget &window);

} // namespace dialogs
