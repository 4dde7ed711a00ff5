#pragma once

#include "dialogs/skinned_dialog.h"
#include "platform/password_field.h"

#include <optional>

// The skinned one-line input dialog, "KESTA Terminal - Input". It shows no text of its own:
// its look comes from section [INPUT] of the theme's "terminal.skn", and the typed text goes
// back through programState().DialogText. Enter in the text box accepts; Escape does nothing;
// closing it any other way than by accepting is a cancel (DialogText stays empty). Its text box
// is a password field: what is typed leaves it only through DialogText.
class frmInput : public SkinnedDialog
{
    Q_OBJECT

public:
    // theme must outlive the dialog.
    explicit frmInput(const skin::Theme &theme, QWidget *parent = nullptr);

    platform::PasswordField *txtInput = nullptr;

protected:
    // Empties DialogText; places and styles txtInput from "InputBox" (left as designed when the
    // key is missing); masks it with "#" when PasswordMode is set, whether or not the theme
    // places it. A screen reader calls it by "InputBox.Name", else "Password", and describes it
    // by the dialog's caption. The skin is "terminal.skn"; a missing "BackGround" leaves a plain
    // rectangle.
    skin::ThemeFile skinFile() const override;
    void loadElements(const skin::ThemeFile &skinFile) override;
    // The text of txtInput: the typed text, never the mask.
    QString acceptedText() const override;
};

// Creates frmInput on theme, loads it and shows it modally; returns when it has closed, with the
// accepted text taken out of DialogText (which is left empty), or std::nullopt when the dialog was
// closed without accepting: an empty entry and a cancel are not the same answer.
std::optional<QString> showInputDialog(const skin::Theme &theme);
