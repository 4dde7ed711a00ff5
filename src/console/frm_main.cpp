#include "console/frm_main.h"

#include "console/command_click.h"
#include "console/settings_list_wiring.h"
#include "console/settings_lists.h"
#include "console/shell_follower.h"
#include "core/program_state.h"
#include "core/startup_main.h"
#include "dialogs/frm_startup_max.h"
#include "platform/native_path.h"
#include "platform/preview_mode.h"
#include "platform/screen_metrics.h"
#include "platform/services.h"
#include "skin/accessible_elements.h"
#include "skin/announcer.h"
#include "skin/file_list_box.h"
#include "skin/layout_window.h"
#include "skin/tear_down_layout.h"
#include "skin/value_forms.h"
#include "sound/theme_sound.h"

#include <QCoreApplication>
#include <QPushButton>

frmMain::frmMain(QWidget *parent)
    : SkinnedWindow(parent)
    , m_instance(QStringLiteral("kesta-terminal-security"))
{
    m_designBackground = palette().color(QPalette::Window);
    File1 = new FileListBox(this);
    skin::keepOffTheBus(*File1);
    File1->hide();
    addDesignElement(File1);

    exitWatch = new core::ExitWatch(*this, this);
    addDesignElement(exitWatch);

    cmdFake = new QPushButton(QStringLiteral("Fake"), this);
    skin::keepOffTheBus(*cmdFake);
    addDesignElement(cmdFake);

    setSoundPlayer([this](const QString &name) { ThemeSound(m_theme, name, false); });
    connect(&m_instance, &platform::SingleInstance::activationRequested, this,
            &frmMain::comeForward);
    connect(this, &SkinnedWindow::imgButClicked, this,
            [this](int index) { OnCommandButtonClick(*this, index); });
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load()
{
    ProgramState &state = programState();
    state.AppTitle = QStringLiteral("KESTA Terminal - Security");
    state.AppName = QStringLiteral("Security");
    {
        // The start reads each skin file for every layout line: one look at the disk each.
        const platform::OneLookPerFile startPass;
        if (core::StartupMain(*this, m_instance) == core::StartupResult::AlreadyRunning)
            return false;
        connectSettingsLists(*this, m_theme, SelectedLine);
        refillSettingsLists();
        FillThemeList(*this, *File1, m_theme);
    }
    // A preview shows the theme its author works on, whatever the shell uses.
    if (!platform::previewMode())
        new ShellFollower(*this);
    if (!isVisible())
        showAndRunEvents();
    // The window took the keyboard before it held anything to give it to: the first element has
    // it now.
    if (isActiveWindow() && !focusWidget())
        focusNextChild();
    return true;
}

void frmMain::EndProgram()
{
    // The exit request may come while the tear-down of a QUIT lets events run.
    if (Quitting)
        return;
    stopExitWatch();
    Quitting = true;
    TearDownLayout(*this, m_theme);
    m_instance.release();
    platform::services().endProcess();
}

void frmMain::refillSettingsLists()
{
    FillSettingsLists(*this, *File1, m_theme);
}

void frmMain::announce(const QString &words)
{
    skin::announce(*this, words);
}

void frmMain::layOutAgain(Pace pace)
{
    const ListPlaces places = listPlaces(*this, SelectedLine);
    if (pace == Pace::AtOnce)
        RemoveLayoutAtOnce(*this);
    else
        TearDownLayout(*this, m_theme);
    // Every value the theme sets is first what a start has before the theme is read, so that a
    // key the new files lack shows its default, not the value before.
    const ProgramState fresh;
    ProgramState &state = programState();
    state.Animated = fresh.Animated;
    state.AnimDelay = fresh.AnimDelay;
    state.ThemePictureIndex = fresh.ThemePictureIndex;
    state.ThemeName = fresh.ThemeName;
    openTheme();
    applyBackGround();
    if (pace == Pace::AtOnce)
        layOutAtOnce();
    else
        layOut();
    connectSettingsLists(*this, m_theme, SelectedLine);
    refillSettingsLists();
    FillThemeList(*this, *File1, m_theme);
    restoreListPlaces(*this, places, SelectedLine);
}

void frmMain::refreshFromFiles()
{
    RefreshSettingsLists(*this, *File1, m_theme, SelectedLine);
}

ButtonTable &frmMain::buttonTable()
{
    return programState().consoleButtons;
}

AnimationTable &frmMain::animationTable()
{
    return programState().consoleAnimations;
}

QString frmMain::commandName(const QString &command) const
{
    const QString words = CommandWords(command);
    return words.isEmpty() ? SkinnedWindow::commandName(command) : words;
}

void frmMain::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void frmMain::hideFakeButton()
{
    cmdFake->move(-100, cmdFake->y());
    cmdFake->hide();
}

core::TwipsRect frmMain::auxiliaryRectangle()
{
    return frmStartupMax().measure();
}

platform::TwipsFactors frmMain::twipsFactors() const
{
    return platform::twipsPerPixel();
}

void frmMain::place(const core::TwipsRect &rectangle)
{
    setGeometry(core::pixelsFromTwips(rectangle, twipsFactors()));
}

void frmMain::openTheme()
{
    ProgramState &state = programState();
    const double screenWidthTwips = platform::screenSizePixels().width() * twipsFactors().x;
    const QString forScreen =
        core::skinNameForScreen(state.AppName, screenWidthTwips, twipsFactors().x);
    m_theme =
        skin::Theme::withConsoleSkinFor(state.ProgramDir, state.ThemeDir, forScreen, state.AppName);
    state.SkinName = m_theme.skinName();
    const skin::ProgressiveBuild build =
        m_theme.progressiveBuild(QStringLiteral("DEFAULT"), {state.Animated, state.AnimDelay});
    state.Animated = build.animated;
    state.AnimDelay = build.delay;
}

void frmMain::applyBackGround()
{
    const QColor &design = m_designBackground;
    const quint32 colour = m_theme.consoleSkin().colour(
        QStringLiteral("DEFAULT"), QStringLiteral("BackGround"),
        skin::colourValue(design.red(), design.green(), design.blue()));
    setBackColor(colorFromValue(colour));
}

void frmMain::playStartupSound()
{
    if (const auto name =
            m_theme.consoleSkin().text(QStringLiteral("DEFAULT"), QStringLiteral("StartupSound")))
        ThemeSound(m_theme, *name, false);
}

void frmMain::showAndRunEvents()
{
    show();
    // The console takes the keyboard: without a window manager nobody would give it.
    activateWindow();
    QCoreApplication::processEvents();
}

void frmMain::layOut()
{
    const ProgramState &state = programState();
    LayoutWindow(*this, m_theme, QStringLiteral("DEFAULT"), buttonTable(), animationTable(),
                 state.Animated, state.AnimDelay, m_theme.consoleSkin());
}

void frmMain::layOutAtOnce()
{
    LayoutWindow(*this, m_theme, QStringLiteral("DEFAULT"), buttonTable(), animationTable(), false,
                 0, m_theme.consoleSkin());
}

void frmMain::startExitWatch()
{
    exitWatch->start();
}

void frmMain::stopExitWatch()
{
    exitWatch->stop();
}

void frmMain::comeForward()
{
    raise();
    activateWindow();
}
