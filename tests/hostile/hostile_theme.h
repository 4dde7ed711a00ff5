#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QString>

// Themes that a careless or hostile author could ship, written into a program folder for the
// console to open, and a record of every file below a folder to tell what the console changed.

// A point of the console that shows a colour once the layout is done.
struct ColourProbe
{
    QPoint at;
    QColor colour;
};

struct GeneratedTheme
{
    QString themeDir;          // stored form, "\Themes\Name\"
    QList<ColourProbe> probes; // in console coordinates; empty when nothing valid is laid out
};

// Size of the console the shell's "Screen" area gives it in these tests, in pixels.
inline constexpr int consoleWidth = 400;
inline constexpr int consoleHeight = 300;

// The hostile theme in programDir/Themes/Hostile: empty, binary and NUL-filled skin files;
// lines of 40,000 characters; sections of 10,000 lines; layout and list keys beyond "99";
// negative, huge and non-numeric numbers; missing, zero-byte, unreadable pictures, sounds and
// GIFs, and pipes in their place; a folder that is a symbolic-link loop; and every third-party
// picture of corpusImages that is not plainly valid as background, button and animation. Its last
// layout lines are valid pictures and a button that the probes see.
GeneratedTheme writeHostileTheme(const QString &programDir, const QString &corpusImages);

// A theme whose console and shell skins are binary noise: nothing is laid out.
GeneratedTheme writeBinaryTheme(const QString &programDir);

// A theme folder that is a symbolic link to itself: nothing in it can be read.
GeneratedTheme writeLoopTheme(const QString &programDir);

// Every entry below folder (symbolic links not followed) with what identifies its content:
// the SHA-256 of a file, the target of a link, the kind of anything else.
QHash<QString, QString> folderRecord(const QString &folder);
