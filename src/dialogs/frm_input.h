#pragma once

#include "skin/skinned_window.h"

#include <QLineEdit>

namespace skin {
class Theme;
}

// The skinned one-line input dialog, "KESTA Terminal - Input". It shows no text of its own:
// its look comes from section [INPUT] of the theme's "terminal.skn", and the typed text goes
// back through programState().DialogText. Enter in the text box accepts; Escape does nothing;
// closing it any other way than by accepting is a cancel (DialogText stays empty).
class frmInput : public SkinnedWindow
{
    Q_OBJECT

public:
    // theme must outlive the dialog.
    explicit frmInput(const skin::Theme &theme, QWidget *parent = nullptr);

    // The load routine: empties DialogText; places and styles txtInput from "InputBox" (left as
    // designed when the key is missing); masks it with "#" when PasswordMode is set, whether or
    // not the theme places it; lays out [INPUT] with the [STARTUP] switches of "terminal.skn"
    // into the dialog's own tables; takes the shape of "BackGround" with "MaskColor" (a plain
    // rectangle when the picture is missing) and moves to the middle of the screen.
    void Form_Load();

    // Copies the text of txtInput (the typed text, never the mask) into DialogText and closes
    // the dialog.
    void AcceptInput();

    QLineEdit *txtInput = nullptr;

    QString commandName(const QString &command) const override;

private:
    // Click sound, then "OK" accepts, "QUIT" closes, anything else is started as a program
    // while the dialog stays open.
    void imgBut_Click(int index);

    const skin::Theme &m_theme;
};

// Creates frmInput on theme, loads it and shows it modally (platform::showModal); returns when
// it has closed, with the typed text in DialogText (empty after a cancel).
void showInputDialog(const skin::Theme &theme);
