#pragma once

#include <QString>
#include <QStringList>

// The command lines of the console and its tools, answered before any display is opened, so
// that --help and --version work on a machine without one.
namespace app {

// The version of the console and its tools: the project's version.
[[nodiscard]] QString version();

enum ExitStatus
{
    Success = 0,
    BadUsage = 2,
};

// What a command line asks for.
struct Invocation
{
    enum Action
    {
        Run,          // start the program
        PrintHelp,    // text is the help, for standard output
        PrintVersion, // text is the version line, for standard output
        Refuse,       // text says what is wrong, for standard error
    };
    Action action = Run;
    QString text;
    QString previewFolder; // Run: the theme folder to preview, empty for the console itself
};

// Reads the console's arguments (those after the program's name). The console takes --help
// (-h), --version (-v) and --preview THEME_FOLDER and nothing else: any other argument is
// refused, so that a mistyped option is never taken for something the console does.
[[nodiscard]] Invocation parseConsoleArguments(const QStringList &arguments);

// The arguments after the program's name, as text in the locale's encoding.
[[nodiscard]] QStringList argumentsOf(int argc, const char *const argv[]);

// Prints what the invocation asks to print and returns the program's exit status: Success
// for help and version, BadUsage for a refusal. Nothing is printed for Run.
int answer(const Invocation &invocation);

} // namespace app
