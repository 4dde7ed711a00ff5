#include "dialogs/frm_input.h"

#include "core/program_state.h"
#include "dialogs/dialog_skin.h"
#include "dialogs/dialogs_log.h"
#include "platform/modal_show.h"
#include "platform/program_start.h"
#include "skin/box_description.h"
#include "skin/layout_window.h"
#include "skin/shape_window.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"

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

const QString &inputSection()
{
    static const QString section = QStringLiteral("INPUT");
    return section;
}

} // namespace

frmInput::frmInput(const skin::Theme &theme, QWidget *parent)
    : SkinnedWindow(parent)
    , m_theme(theme)
{
    setWindowFlag(Qt::Dialog);
    setWindowTitle(QStringLiteral("KESTA Terminal - Input"));
    resize(400, 200);

    txtInput = new QLineEdit(this);
    txtInput->setGeometry(20, 88, 360, 24);
    addDesignElement(txtInput);
    trackMouseOn(txtInput);
    connect(txtInput, &QLineEdit::returnPressed, this, &frmInput::AcceptInput);
    setSoundPlayer([this](const QString &name) { ThemeSound(m_theme, name, false); });
    connect(this, &SkinnedWindow::imgButClicked, this, &frmInput::imgBut_Click);
}

void frmInput::Form_Load()
{
    ProgramState &state = programState();
    state.DialogText.clear();
    const skin::ThemeFile skinFile = m_theme.shellSkin();
    const dialogs::DialogShape shape = dialogs::readDialogShape(m_theme, inputSection(), skinFile);

    skin::applyBoxDescription(*txtInput, skinFile.box(inputSection(), QStringLiteral("InputBox")));
    // A password is masked whatever the theme says about the box: a theme without "InputBox"
    // must not show it in clear.
    if (state.PasswordMode) {
        auto *style = new HashMaskStyle;
        style->setParent(txtInput);
        txtInput->setStyle(style);
        txtInput->setEchoMode(QLineEdit::Password);
    }

    const skin::ProgressiveBuild progressive =
        m_theme.progressiveBuild(QStringLiteral("STARTUP"), {});
    LayoutWindow(*this, m_theme, inputSection(), buttonTable(), animationTable(),
                 progressive.animated, progressive.delay, skinFile);
    ShapeWindow(*this, shape.maskColour, shape.background);
    dialogs::centreOnScreen(*this);
    txtInput->setFocus();
}

void frmInput::AcceptInput()
{
    programState().DialogText = txtInput->text();
    close();
}

void frmInput::imgBut_Click(int index)
{
    const ButtonTable &table = buttonTable();
    if (index < 1 || index > table.count)
        return;
    const ButtonEntry button = table.at(index);
    playSound(button.clickSound);
    const QString keyword = button.command.toUpper();
    if (keyword == u"OK")
        AcceptInput();
    else if (keyword == u"QUIT")
        close();
    else if (!platform::startProgram(button.command))
        qCWarning(lcDialogs).noquote()
            << QStringLiteral("button %1: \"%2\" did not start").arg(index).arg(button.command);
}

void showInputDialog(const skin::Theme &theme)
{
    frmInput dialog(theme);
    dialog.Form_Load();
    platform::showModal(dialog);
}

QString frmInput::commandName(const QString &command) const
{
    const QString words = dialogs::dialogCommandWords(command);
    return words.isEmpty() ? SkinnedWindow::commandName(command) : words;
}
