#pragma once

#include <QList>
#include <QString>

class QWidget;

// One image button of a window, as the layout engine recorded it.
struct ButtonEntry
{
    QString picture;    // full path of the normal picture
    QString command;    // field 10 to the end of the line
    QString clickSound; // field 8
    QString overSound;  // field 7
    qint32 line = 0;    // number of the layout key the button came from ("01" is 1)
};

// The buttons of one window. Button i (1 … count) is entries[i - 1]; entries beyond count may
// remain from an earlier layout of the same window and are never read.
struct ButtonTable
{
    qint32 count = 0;
    QList<ButtonEntry> entries;

    ButtonEntry &at(int i) { return entries[i - 1]; }
    const ButtonEntry &at(int i) const { return entries[i - 1]; }
    // Appends a button after the current count and returns its index.
    int add(const ButtonEntry &entry);
};

struct AnimationEntry
{
    // Frames are numbered over all animations of the window, from 1, in line order.
    qint32 first = 0;   // number of the animation's first frame
    qint32 last = 0;    // number of its last frame
    qint32 current = 0; // number of the frame shown
};

// The animations of one window; animation a (1 … animationCount) is entries[a - 1].
struct AnimationTable
{
    qint32 animationCount = 0;
    qint32 frameCount = 0;
    qint64 frameBytes = 0; // what the frames of all animations hold, those still to decode too
    QList<AnimationEntry> entries;

    AnimationEntry &at(int a) { return entries[a - 1]; }
    const AnimationEntry &at(int a) const { return entries[a - 1]; }
};

// The program-wide values every part of the console shares. There is exactly one instance,
// reached through programState(); nothing else in the program is a mutable global.
struct ProgramState
{
    QString AppTitle;
    QString AppName;
    QString ProgramDir; // the shell's program folder, no trailing separator
    QString ThemeDir;   // "\Themes\" + theme name + "\"
    QString SkinName;
    bool Animated = false;
    qint32 AnimDelay = 0;
    qint32 InitialControlCount = 0;

    // The one slot that ReadINI fills; WriteINI empties it.
    QString INIValue;

    // The main window's tables and what its layout records beside them.
    ButtonTable consoleButtons;
    AnimationTable consoleAnimations;
    qint32 ThemePictureIndex = 0;
    QString ThemeName;

    // Shared between the console and its dialogs.
    QString DialogText;
    bool PasswordMode = false;

    // Pointer sample of the last hover pass.
    qint32 PointerX = 0;
    qint32 PointerY = 0;
    QWidget *PointerWindow = nullptr;
};

ProgramState &programState();

// ProgramDir followed by ThemeDir: every theme file name is appended to it.
QString ThemePath();
