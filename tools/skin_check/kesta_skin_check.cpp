// kesta-skin-check: everything wrong with a theme in one run, as the console would read it.

#include "app/program_options.h"
#include "skin/theme.h"
#include "theme_check.h"

#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

#include <cstdio>

namespace {

enum Exit
{
    Clean = 0,
    Errors = 1,
    BadUsage = 2
};

const char usage[] =
    "Usage: kesta-skin-check [--json] PROGRAM_FOLDER THEME_NAME\n"
    "       kesta-skin-check [--json] THEME_FOLDER\n"
    "Reads a KESTA Terminal theme as the security console reads it and reports every problem,\n"
    "one line each: FILE:LINE: SECTION KEY: error|warning: MESSAGE, then a summary line.\n"
    "A theme folder lies in the Themes folder of the shell's program folder.\n"
    "\n"
    "  --json      the problems as a JSON list of objects (file, line, section, key,\n"
    "              severity, message), without the summary\n"
    "  --help      this help\n"
    "  --version   the version\n"
    "\n"
    "Exit status: 0 no errors (warnings allowed), 1 errors, 2 bad usage. See "
    "kesta-skin-check(1).\n";

struct Request
{
    bool json = false;
    QString programDir; // absolute, no trailing separator
    QString themeName;
};

int refuse(const QString &why)
{
    std::fprintf(stderr, "kesta-skin-check: %s\n\n%s", qUtf8Printable(why), usage);
    return BadUsage;
}

void printText(const check::Problems &problems, const Request &request)
{
    std::fputs(qUtf8Printable(check::report(problems, request.programDir, request.themeName)),
               stdout);
}

void printJson(const check::Problems &problems, const Request &request)
{
    QJsonArray list;
    for (const skin::SkinProblem &problem : problems) {
        list.append(QJsonObject{
            {QStringLiteral("file"), check::shownFromProgram(problem.file, request.programDir)},
            {QStringLiteral("line"), problem.line},
            {QStringLiteral("section"), problem.section},
            {QStringLiteral("key"), problem.key},
            {QStringLiteral("severity"), problem.severityName()},
            {QStringLiteral("message"),
             check::shownFromProgram(problem.message, request.programDir)}});
    }
    std::fputs(QJsonDocument(list).toJson(QJsonDocument::Indented).constData(), stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments = app::argumentsOf(argc, argv);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(usage, stdout);
        return Clean;
    }
    if (arguments.contains(QStringLiteral("--version")) ||
        arguments.contains(QStringLiteral("-v"))) {
        std::printf("kesta-skin-check %s\n", qUtf8Printable(app::version()));
        return Clean;
    }
    Request request;
    request.json = arguments.removeAll(QStringLiteral("--json")) > 0;
    if (arguments.isEmpty() || arguments.size() > 2)
        return refuse(QStringLiteral("give a program folder and a theme name, or a theme folder"));
    if (arguments.first().startsWith(u'-'))
        return refuse(QStringLiteral("unknown option %1").arg(arguments.first()));
    QDir folder(arguments.first());
    if (arguments.size() == 1) {
        request.themeName = folder.dirName();
        folder.cdUp();
        folder.cdUp();
    } else {
        request.themeName = arguments.at(1);
    }
    request.programDir = folder.absolutePath();
    if (!QDir(request.programDir + QStringLiteral("/Themes/") + request.themeName).exists())
        return refuse(QStringLiteral("no theme folder Themes/%1 in %2")
                          .arg(request.themeName, request.programDir));

    // Pictures load as the console loads them, which needs a display connection; none is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The console's own warnings would say each problem a second time.
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.*=false"));
    QGuiApplication application(argc, argv);

    const skin::Theme theme(request.programDir,
                            QStringLiteral("\\Themes\\%1\\").arg(request.themeName),
                            QStringLiteral("Security"));
    const check::Problems problems = check::checkTheme(theme);
    if (request.json)
        printJson(problems, request);
    else
        printText(problems, request);
    const bool hasErrors = std::any_of(problems.begin(), problems.end(), [](const auto &problem) {
        return problem.severity == skin::SkinProblem::Severity::Error;
    });
    return hasErrors ? Errors : Clean;
}
