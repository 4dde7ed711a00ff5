#include "dialogs/frm_input.h"

#include "core/program_state.h"
#include "dialogs/dialog_skin.h"
#include "skin/box_description.h"
#include "skin/theme.h"

#include <utility>

frmInput::frmInput(const skin::Theme &theme, QWidget *parent)
    : SkinnedDialog(theme, QStringLiteral("KESTA Terminal - Input"), {400, 200},
                    QStringLiteral("INPUT"), parent)
{
    txtInput = new platform::PasswordField(this);
    txtInput->setGeometry(20, 88, 360, 24);
    addDesignElement(txtInput);
    setFirstFocus(txtInput);
    connect(txtInput, &platform::PasswordField::returnPressed, this, &SkinnedDialog::accept);
}

skin::ThemeFile frmInput::skinFile() const
{
    return theme().shellSkin();
}

void frmInput::loadElements(const skin::ThemeFile &skinFile)
{
    ProgramState &state = programState();
    state.DialogText.clear();
    const QString box = QStringLiteral("InputBox");
    skin::applyBoxDescription(*txtInput, skinFile.box(section(), box));
    dialogs::nameBox(*txtInput, skinFile.elementName(section(), box), QStringLiteral("Password"),
                     windowTitle());
    // A password is masked whatever the theme says about the box: a theme without "InputBox"
    // must not show it in clear. "#" is the shell's own mask character.
    txtInput->setMasked(state.PasswordMode);
    txtInput->setMaskCharacter(u'#');
}

QString frmInput::acceptedText() const
{
    return txtInput->text();
}

std::optional<QString> showInputDialog(const skin::Theme &theme)
{
    frmInput dialog(theme);
    dialog.exec();
    QString text = std::exchange(programState().DialogText, QString());
    if (!dialog.accepted())
        return std::nullopt;
    return text;
}
