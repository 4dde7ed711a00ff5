#include "app/program_options.h"
#include "app/theme_preview.h"
#include "console/frm_main.h"
#include "platform/console_application.h"
#include "platform/display_session.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Help, version and mistakes are answered before any display is opened.
    const app::Invocation invocation = app::parseConsoleArguments(app::argumentsOf(argc, argv));
    if (invocation.action != app::Invocation::Run)
        return app::answer(invocation);

    std::optional<app::PreviewedTheme> preview;
    if (!invocation.previewFolder.isEmpty()) {
        preview = app::previewedTheme(invocation.previewFolder);
        if (!preview || !app::beginPreview(*preview))
            return app::answer({app::Invocation::Refuse,
                                QStringLiteral("kesta-security: %1 is no theme folder (a folder "
                                               "in a Themes folder)\n")
                                    .arg(invocation.previewFolder),
                                {}});
    }

    platform::DisplaySession display("kesta-security");
    platform::ConsoleApplication application(argc, argv);
    display.settle();
    QApplication::setApplicationName(QStringLiteral("kesta-security"));
    QApplication::setApplicationDisplayName(QStringLiteral("KESTA Terminal - Security"));
    QApplication::setApplicationVersion(app::version());
    QGuiApplication::setDesktopFileName(QStringLiteral("kesta-security"));

    frmMain console;
    if (!console.Form_Load())
        return EXIT_SUCCESS;
    std::optional<app::ThemePreview> follower;
    if (preview)
        follower.emplace(console, *preview);
    return QApplication::exec();
}
