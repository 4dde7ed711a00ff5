#pragma once

#include "skin/skin_problem.h"

#include <QHash>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>

namespace skin {
class Theme;
}

namespace check {

using Problems = QList<skin::SkinProblem>;

// Where a problem found now is said: the place of the line or key that names the file. Asked
// for only when there is something to say.
using Where = std::function<skin::SkinProblem()>;

// What a GIF file gives an animation line, found once per file.
struct GifVerdict
{
    QString error;  // the message for a file that gives no frame at all; empty when it loads
    int frames = 0; // the frames that decode
    QSize screen;   // the frames' size before an element bounds it
    int depth = 32; // bits per pixel of a decoded frame
    QString early;  // why it ends before its last image (cut short, an image that fails)

    // The bytes one frame holds when held at most bound in size (an invalid bound: whole).
    [[nodiscard]] qsizetype frameBytes(QSize bound) const;
};

// The files a theme names, each looked at once however many lines name it: a picture, over
// picture, sound or animation is decoded once, and a problem it has is said once, on the first
// line that names it, with the number of lines that do ("; 13 lines name it").
class FileVerdicts
{
public:
    explicit FileVerdicts(const skin::Theme &theme, Problems &problems);

    // A picture file (a stored path) that does not load is said with `severity`; false then.
    // One of the theme's own lies in its folder.
    bool picture(const QString &path, const Where &where, skin::SkinProblem::Severity severity,
                 bool ofTheTheme = true);
    // The over picture of a button whose picture is path: a warning, the button keeps its picture.
    void overPicture(const QString &path, const Where &where);
    // A theme sound by its name in a skin value; an empty name is no sound.
    void sound(const QString &name, const Where &where);
    // An animation's GIF file (a stored path); its load failure and early end are said here.
    const GifVerdict &animation(const QString &path, const Where &where);

    // Says problem unless its message was said before, which then counts one more line.
    void sayOnce(const skin::SkinProblem &problem);

    // Puts the line counts into the messages; call once, after the last check.
    void finish();

private:
    // Says message for key where `where` is, counting the lines that meet it again.
    void say(const QString &key, const Where &where, skin::SkinProblem::Severity severity,
             const QString &message);
    // A line names key's file again: its problem, if any, counts one more line.
    bool seenAgain(const QString &key);
    QString outsideTheme(const QString &storedPath) const;

    const skin::Theme &m_theme;
    Problems &m_problems;
    QHash<QString, bool> m_loads;            // file key -> it loads
    QHash<QString, QList<int>> m_said;       // file key -> its problems' indexes
    QHash<int, int> m_lines;                 // problem index -> lines that name its file
    QHash<QString, GifVerdict> m_animations; // stored path -> what it gives
};

} // namespace check
