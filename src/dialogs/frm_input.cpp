#include "dialogs/frm_input.h"

#include "core/program_state.h"
#include "skin/box_description.h"
#include "skin/theme.h"

#include <QProxyStyle>

namespace {

// Masks a password box with "#", the shell's own mask character, and shows no typed character
// even for a moment.
class HashMaskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return QChar(u'#').unicode();
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

frmInput::frmInput(const skin::Theme &theme, QWidget *parent)
    : SkinnedDialog(theme, QStringLiteral("KESTA Terminal - Input"), {400, 200},
                    QStringLiteral("INPUT"), parent)
{
    txtInput = new QLineEdit(this);
    txtInput->setGeometry(20, 88, 360, 24);
    addDesignElement(txtInput);
    setFirstFocus(txtInput);
    connect(txtInput, &QLineEdit::returnPressed, this, &SkinnedDialog::accept);
}

skin::ThemeFile frmInput::skinFile() const
{
    return theme().shellSkin();
}

void frmInput::loadElements(const skin::ThemeFile &skinFile)
{
    ProgramState &state = programState();
    state.DialogText.clear();
    skin::applyBoxDescription(*txtInput, skinFile.box(section(), QStringLiteral("InputBox")));
    // A password is masked whatever the theme says about the box: a theme without "InputBox"
    // must not show it in clear.
    if (state.PasswordMode) {
        auto *style = new HashMaskStyle;
        style->setParent(txtInput);
        txtInput->setStyle(style);
        txtInput->setEchoMode(QLineEdit::Password);
    }
}

QString frmInput::acceptedText() const
{
    return txtInput->text();
}

QString showInputDialog(const skin::Theme &theme)
{
    frmInput dialog(theme);
    return dialog.exec();
}
