#pragma once

#include "dialogs/folder_list_box.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"

#include <QComboBox>
#include <QLineEdit>

namespace skin {
class Theme;
}

// The skinned command-line chooser, "KESTA Terminal - Select": a program picked from the drive,
// folder and file lists or typed into txtSel, its arguments typed into txtSel2. Its look comes
// from section [SELECT] of the theme's "Security.skn"; the command line comes in and goes back
// through programState().DialogText. Closing it any other way than by accepting is a cancel
// (DialogText empty).
class frmSelect : public SkinnedWindow
{
    Q_OBJECT

public:
    // theme must outlive the dialog.
    explicit frmSelect(const skin::Theme &theme, QWidget *parent = nullptr);

    // The load routine: places and styles the five boxes from "Dirlist", "Filelist",
    // "Drivelist", "InputBox" and "ArgBox" (each left as designed when its key is missing);
    // splits DialogText into txtSel and txtSel2 and points the lists at the program; lays out
    // [SELECT] with the [STARTUP] switches of "terminal.skn"; takes the shape of "BackGround"
    // with "MaskColor" and moves to the middle of the screen. DialogText is left as it was.
    void Form_Load();

    // DialogText = the command line of txtSel and txtSel2 (dialogs::joinCommandLine); closes.
    void AcceptSelection();

    QComboBox *Drive1 = nullptr;   // the roots of the mounted file systems
    FolderListBox *Dir1 = nullptr; // the folders of the chosen drive
    FileListBox *File1 = nullptr;  // every file of the folder Dir1 shows
    QLineEdit *txtSel = nullptr;   // the program
    QLineEdit *txtSel2 = nullptr;  // its arguments

    QString commandName(const QString &command) const override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fillDrives();
    QStringList driveRoots() const;
    // Selects the drive holding folder (a path on this disk) without moving the folder list.
    void showDriveOf(const QString &folder);
    void pointListsAt(const QString &program);

    void Drive1_Change();
    void Dir1_Change();
    // A file chosen in File1, by a click, the keyboard or from code: txtSel becomes its path.
    void File1_Click();
    // Click sound, then "OK" accepts, "QUIT" cancels, anything else is started as a program
    // while the dialog stays open.
    void imgBut_Click(int index);

    const skin::Theme &m_theme;
    bool m_accepted = false;
};

// Creates frmSelect on theme, loads it from DialogText and shows it modally
// (platform::showModal); returns when it has closed, with the new command line in DialogText
// (empty after a cancel).
void showSelectDialog(const skin::Theme &theme);
