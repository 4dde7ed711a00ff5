#pragma once

#include "dialogs/folder_list_box.h"
#include "dialogs/skinned_dialog.h"
#include "skin/file_list_box.h"

#include <QComboBox>
#include <QLineEdit>

#include <functional>

// Why the caller refuses a program (the text of txtSel) as the new command's program, in words
// for the person; empty when it takes it.
using ProgramRefusal = std::function<QString(const QString &program)>;

// The skinned command-line chooser, "KESTA Terminal - Select": a program picked from the drive,
// folder and file lists or typed into txtSel, its arguments typed into txtSel2. Its look comes
// from section [SELECT] of the theme's "Security.skn"; the command line comes in and goes back
// through programState().DialogText. Closing it any other way than by accepting is a cancel
// (DialogText empty).
class frmSelect : public SkinnedDialog
{
    Q_OBJECT

public:
    // theme must outlive the dialog.
    explicit frmSelect(const skin::Theme &theme, QWidget *parent = nullptr);

    QComboBox *Drive1 = nullptr;   // the roots of the mounted file systems
    FolderListBox *Dir1 = nullptr; // the folders of the chosen drive
    FileListBox *File1 = nullptr;  // every file of the folder Dir1 shows
    QLineEdit *txtSel = nullptr;   // the program
    QLineEdit *txtSel2 = nullptr;  // its arguments
    ProgramRefusal refusal;        // programs an accept may not give back

protected:
    // Places and styles the five boxes from "Dirlist", "Filelist", "Drivelist", "InputBox" and
    // "ArgBox" (each left as designed when its key is missing), names each for a screen reader
    // by the key with ".Name" ("Dirlist.Name"), else Folders, Files, Drives, Program and
    // Arguments; splits DialogText into txtSel and txtSel2 and points the lists at the program. The
    // skin is "Security.skn"; DialogText is left as it was.
    skin::ThemeFile skinFile() const override;
    void loadElements(const skin::ThemeFile &skinFile) override;
    // The command line of txtSel and txtSel2 (dialogs::joinCommandLine).
    QString acceptedText() const override;
    QString refusedWords() const override;

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
};

// Creates frmSelect on theme, loads it from DialogText and shows it modally; returns when it has
// closed, with the new command line, also left in DialogText (empty after a cancel). An accept
// whose program the refusal refuses plays the theme's "PassFailSound", tells the refusal's words
// to screen readers and leaves the dialog open.
QString showSelectDialog(const skin::Theme &theme, ProgramRefusal refusal = {});
