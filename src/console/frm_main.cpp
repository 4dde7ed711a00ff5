#include "console/frm_main.h"

#include "console/command_click.h"
#include "console/settings_list_wiring.h"
#include "console/settings_lists.h"
#include "core/exit_watch.h"
#include "core/program_state.h"
#include "core/startup_main.h"
#include "dialogs/frm_startup_max.h"
#include "platform/screen_metrics.h"
#include "platform/services.h"
#include "skin/file_list_box.h"
#include "skin/layout_window.h"
#include "skin/tear_down_layout.h"
#include "skin/value_forms.h"
#include "sound/theme_sound.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

frmMain::frmMain(QWidget *parent)
    : SkinnedWindow(parent)
    , m_instance(QStringLiteral("kesta-terminal-security"))
{
    File1 = new FileListBox(this);
    File1->hide();
    addDesignElement(File1);

    tmrExit = new QTimer(this);
    tmrExit->setInterval(500);
    connect(tmrExit, &QTimer::timeout, this, &frmMain::tmrExit_Timer);
    addDesignElement(tmrExit);
    tmrExit->start();

    cmdFake = new QPushButton(QStringLiteral("Fake"), this);
    addDesignElement(cmdFake);

    setSoundPlayer([](const QString &name) { ThemeSound(name, false); });
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
    if (core::StartupMain(*this, m_instance) == core::StartupResult::AlreadyRunning)
        return false;
    connectSettingsLists(*this, SelectedLine);
    FillSettingsLists(*this, *File1);
    FillThemeList(*this, *File1);
    return true;
}

void frmMain::EndProgram()
{
    Quitting = true;
    TearDownLayout(*this);
    m_instance.release();
    platform::services().endProcess();
}

ButtonTable &frmMain::buttonTable()
{
    return programState().consoleButtons;
}

AnimationTable &frmMain::animationTable()
{
    return programState().consoleAnimations;
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

core::TwipsRect frmMain::auxiliaryRectangle(bool show)
{
    frmStartupMax auxiliary;
    return auxiliary.measure(show);
}

platform::TwipsFactors frmMain::twipsFactors() const
{
    return platform::twipsPerPixel();
}

double frmMain::screenWidthTwips() const
{
    return platform::screenSizePixels().width() * twipsFactors().x;
}

void frmMain::place(const core::TwipsRect &rectangle)
{
    setGeometry(core::pixelsFromTwips(rectangle, twipsFactors()));
}

void frmMain::setBackGround(const QString &value)
{
    if (const auto colour = skin::toColour(value))
        setBackColor(colorFromValue(*colour));
}

void frmMain::playStartupSound(const QString &name)
{
    ThemeSound(name, false);
}

void frmMain::showAndRunEvents()
{
    show();
    QCoreApplication::processEvents();
}

void frmMain::layOut(const QString &skinFile)
{
    const ProgramState &state = programState();
    LayoutWindow(*this, QStringLiteral("DEFAULT"), buttonTable(), animationTable(), state.Animated,
                 state.AnimDelay, skinFile);
}

void frmMain::stopExitWatch()
{
    tmrExit->stop();
}

void frmMain::tmrExit_Timer()
{
    core::exitWatchTick(*this);
}

void frmMain::comeForward()
{
    raise();
    activateWindow();
}
