#pragma once

#include "console/console_view.h"
#include "core/console_window.h"
#include "core/exit_watch.h"
#include "platform/single_instance.h"
#include "skin/file_list_box.h"
#include "skin/skinned_window.h"
#include "skin/theme.h"

#include <QPushButton>

// The security console, "KESTA Terminal - Security". Before its layout it holds the templates
// of its element sets, the hidden folder lister File1, the exit watch and cmdFake; everything
// else comes from the theme. Its button and animation tables are the program-wide ones.
class frmMain : public SkinnedWindow, public core::ConsoleWindow, public console::ConsoleView
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The load handler: sets AppTitle and AppName and runs the start-up sequence. False when
    // another console already runs (it was asked to come forward); the caller then ends.
    [[nodiscard]] bool Form_Load();

    // Sets Quitting, removes the laid-out elements newest first and ends the process at once
    // (platform::services().endProcess). Both the start-up sequence and the handlers end the
    // console through it; once quitting, a second call does nothing.
    void EndProgram() override;

    enum class Pace
    {
        AsTheThemeSays, // the closing removal and the build go as at the end and at a start
        AtOnce,         // without their pauses, whatever Animated says (the theme preview)
    };
    // Lays the console out again from the program state's ProgramDir and ThemeDir, as a fresh
    // start would show it: the laid-out elements go, every value the theme sets starts from its
    // default, the theme and its console skin are chosen again and the lists filled, each at the
    // place it showed (RefreshSettingsLists).
    void layOutAgain(Pace pace = Pace::AsTheThemeSays);
    // Fills the lists again from the files as they are now, each kept at the place it showed.
    void refreshFromFiles();

    // Set by EndProgram; hover passes and animation ticks of the console stop.
    bool Quitting = false;
    bool isQuitting() const override { return Quitting; }

    ButtonTable &buttonTable() override;
    QString commandName(const QString &command) const override;
    AnimationTable &animationTable() override;

    // Position of the last clicked protection line; the editors select it again after a change.
    int SelectedLine = 0;

    // console::ConsoleView. The theme is the one the console was opened with (openTheme());
    // every part of the console reads the theme through it.
    const skin::Theme &theme() const override { return m_theme; }
    QLabel *infoLabel(int index) const override { return lblInfo(index); }
    QListWidget *protectionList() const override { return lstBox(1); }
    int selectedLine() const override { return SelectedLine; }
    void refillSettingsLists() override;
    void announce(const QString &words) override;

    FileListBox *File1 = nullptr;
    core::ExitWatch *exitWatch = nullptr;
    QPushButton *cmdFake = nullptr;

    // core::ConsoleWindow
    void setCaption(const QString &caption) override;
    void hideFakeButton() override;
    core::TwipsRect auxiliaryRectangle() override;
    platform::TwipsFactors twipsFactors() const override;
    void place(const core::TwipsRect &rectangle) override;
    int elementCount() const override { return controlCount(); }
    void openTheme() override;
    void applyBackGround() override;
    void playStartupSound() override;
    void showAndRunEvents() override;
    void layOut() override;
    void startExitWatch() override;
    void stopExitWatch() override;

    // layOut() without the progressive build, whatever Animated says.
    void layOutAtOnce();

private:
    void comeForward();

    platform::SingleInstance m_instance;
    skin::Theme m_theme;
    QColor m_designBackground;
};
