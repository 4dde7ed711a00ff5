#pragma once

#include "platform/file_watch.h"

#include <QObject>
#include <QStringList>

class frmMain;

// Shows what the shell changes in the shared files while the console runs, as soon as it is
// written: the settings store, the theme's skin, override and voice files and the Themes folder
// are followed on disk, and a burst of writes gives one refresh, at most 50 ms after its first
// write. The lists and labels then show the files as they are now, each list at the place it
// showed (frmMain::refreshFromFiles); a theme the shell switched to (ProgramDir or ThemeDir in
// the store) is followed by laying the console out again in it (frmMain::layOutAgain).
//
// While a dialog or prompt is open, nothing of the console changes under it: the refresh waits
// until the last one has closed. Nothing happens once the console is quitting.
class ShellFollower : public QObject
{
public:
    explicit ShellFollower(frmMain &console);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QStringList followedPaths() const;
    void filesChanged();

    frmMain &m_console;
    platform::FileWatch m_watch;
    bool m_pending = false;
    bool m_busy = false;
};
