#pragma once

#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QList>
#include <QStringList>

// A skinned window that remembers its build pauses and every paint of its elements instead of
// sleeping, so that tests see the progressive build without timing it.
class RecordingWindow : public SkinnedWindow
{
public:
    struct Paint
    {
        int elements = 0; // controlCount() when the paint ran
        const QObject *painted = nullptr;
    };
    RecordingWindow();
    void buildPause(int milliseconds) override { pauses.append(milliseconds); }
    QList<int> pauses;
    QList<Paint> paints;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// A theme folder below root: ProgramDir = root, ThemeDir = "\Themes\<theme>\" (also set in
// the program state), the console skin "Security.skn".
class ThemeFixture
{
public:
    ThemeFixture(const QString &root, const QString &theme);
    // Copies the theme checked in under tests/data/skin/Themes/Test into the folder.
    void copyCheckedIn() const;
    QString themeFolder() const { return m_folder; }
    const skin::Theme &theme() const { return m_theme; }

private:
    QString m_folder;
    skin::Theme m_theme;
};

// "x,y wxh", and " hidden" for a hidden widget.
QString geometryOf(const QWidget &widget);

// The elements laid out on a window (member 1 and up of every set), one line each:
// "lstBox(1) 40,10 600x200 back=#102030 text=#ffffff font=Sans 10".
QStringList describeLayout(const SkinnedWindow &window);
