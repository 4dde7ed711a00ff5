#include "dialogs/skinned_dialog.h"

#include "core/program_state.h"
#include "dialogs/dialog_skin.h"
#include "dialogs/dialogs_log.h"
#include "platform/modal_show.h"
#include "platform/program_start.h"
#include "skin/announcer.h"
#include "skin/layout_window.h"
#include "skin/shape_window.h"
#include "skin/theme.h"
#include "sound/theme_sound.h"

SkinnedDialog::SkinnedDialog(const skin::Theme &theme, const QString &caption, QSize designSize,
                             QString section, QWidget *parent)
    : SkinnedWindow(parent)
    , m_theme(theme)
    , m_section(std::move(section))
{
    setWindowFlag(Qt::Dialog);
    setWindowTitle(caption);
    resize(designSize);
    setSoundPlayer([this](const QString &name) { ThemeSound(m_theme, name, false); });
    connect(this, &SkinnedWindow::imgButClicked, this, &SkinnedDialog::imgBut_Click);
}

void SkinnedDialog::Form_Load()
{
    m_accepted = false;
    const skin::ThemeFile file = skinFile();
    const dialogs::DialogShape shape = dialogs::readDialogShape(m_theme, m_section, file);
    loadElements(file);

    const skin::ProgressiveBuild progressive =
        m_theme.progressiveBuild(QStringLiteral("STARTUP"), {});
    LayoutWindow(*this, m_theme, m_section, buttonTable(), animationTable(), progressive.animated,
                 progressive.delay, file);
    ShapeWindow(*this, shape.maskColour, shape.background);
    dialogs::centreOnScreen(*this);
    if (m_firstFocus)
        m_firstFocus->setFocus();
}

void SkinnedDialog::accept()
{
    if (const QString why = refusedWords(); !why.isEmpty()) {
        if (const auto sound = m_theme.shellSkin().text(QStringLiteral("DEFAULT"),
                                                        QStringLiteral("PassFailSound")))
            playSound(*sound);
        skin::announce(*this, why);
        return;
    }
    programState().DialogText = acceptedText();
    m_accepted = true;
    close();
}

void SkinnedDialog::cancel()
{
    programState().DialogText.clear();
    close();
}

QString SkinnedDialog::exec()
{
    Form_Load();
    platform::showModal(*this);
    // Only an accepted text goes back, however the show ended: a close by the window manager or a
    // refused accept must not hand the caller a text the user did not accept.
    if (!m_accepted)
        programState().DialogText.clear();
    return programState().DialogText;
}

QString SkinnedDialog::commandName(const QString &command) const
{
    const QString words = dialogs::dialogCommandWords(command);
    return words.isEmpty() ? SkinnedWindow::commandName(command) : words;
}

void SkinnedDialog::imgBut_Click(int index)
{
    const ButtonTable &table = buttonTable();
    if (index < 1 || index > table.count)
        return;
    const ButtonEntry button = table.at(index);
    playSound(button.clickSound);
    const QString keyword = button.command.toUpper();
    if (keyword == u"OK")
        accept();
    else if (keyword == u"QUIT")
        cancel();
    else if (!platform::startProgram(button.command))
        qCWarning(lcDialogs).noquote()
            << QStringLiteral("button %1: \"%2\" did not start").arg(index).arg(button.command);
}
