#pragma once

#include "skin/skinned_window.h"

#include <QSize>

namespace skin {
class Theme;
class ThemeFile;
} // namespace skin

// What the skinned dialogs share: a frameless dialog laid out from one section of a theme skin
// with the [STARTUP] switches of "terminal.skn", shaped by that section's "BackGround" and
// "MaskColor" and centred on the screen. Its text goes in and comes back through
// programState().DialogText: closing it any other way than by accepting is a cancel, which leaves
// DialogText empty. Its image buttons play their click sound, then "OK" accepts, "QUIT" cancels
// and any other command is started as a program while the dialog stays open.
class SkinnedDialog : public SkinnedWindow
{
    Q_OBJECT

public:
    // The load routine: reads the section's shape, loads the dialog's own elements
    // (loadElements), lays out the section and takes the shape; then the first element set by
    // setFirstFocus has the focus.
    void Form_Load();

    // DialogText = acceptedText(); closes. A refused accept only plays the failure sound and
    // tells why (refusedWords()) to screen readers.
    void accept();
    // Closes with DialogText empty.
    void cancel();

    // Loads the dialog and shows it modally (platform::showModal); returns, once it has closed,
    // DialogText: the dialog's text, or empty after a cancel.
    QString exec();
    // Whether the last show ended in an accept.
    bool accepted() const { return m_accepted; }

    // "OK" and "Cancel" for the dialog's own commands, the program's name for any other.
    QString commandName(const QString &command) const override;

protected:
    // theme must outlive the dialog.
    SkinnedDialog(const skin::Theme &theme, const QString &caption, QSize designSize,
                  QString section, QWidget *parent);

    const skin::Theme &theme() const { return m_theme; }
    const QString &section() const { return m_section; }
    void setFirstFocus(QWidget *element) { m_firstFocus = element; }

    // The skin file the dialog's section is read from.
    virtual skin::ThemeFile skinFile() const = 0;
    // Places and fills the dialog's own elements before the layout.
    virtual void loadElements(const skin::ThemeFile &skinFile) = 0;
    // What an accept leaves in DialogText.
    virtual QString acceptedText() const = 0;
    // Why an accept may not close the dialog now, in words for the person; empty when it may.
    // A refused accept plays the theme's "PassFailSound" and the dialog stays open.
    virtual QString refusedWords() const { return {}; }

private:
    void imgBut_Click(int index);

    const skin::Theme &m_theme;
    const QString m_section;
    QWidget *m_firstFocus = nullptr;
    bool m_accepted = false;
};
