#include "app/program_options.h"

#include <cstdio>

namespace app {

namespace {

const char consoleHelp[] =
    "Usage: kesta-security [--help | --version | --preview THEME_FOLDER]\n"
    "The security console of the KESTA Terminal shell: which of the shell's buttons ask for\n"
    "its password, their commands and sounds, the shell's switches, its theme and password.\n"
    "It takes everything it shows from the shell's settings store and theme files.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "  -v, --version  print the version and exit\n"
    "  --preview THEME_FOLDER\n"
    "                 open the console on that theme for its author: it writes nothing, runs\n"
    "                 beside the console, lays itself out again when a file of the theme\n"
    "                 changes and says the theme's problems on standard error, as\n"
    "                 kesta-skin-check(1) does\n"
    "\n"
    "The settings store is $XDG_CONFIG_HOME/KESTA Terminal/settings.ini ($XDG_CONFIG_HOME\n"
    "defaults to ~/.config); kesta-store(1) reads and writes it. One console runs per user:\n"
    "a second start brings the running one to the front and ends.\n"
    "Exit status: 0 when the console ends, 2 for bad usage. See kesta-security(1).\n";

Invocation refuse(const QString &what)
{
    return {Invocation::Refuse,
            QStringLiteral("kesta-security: %1\nTry 'kesta-security --help' "
                           "for more information.\n")
                .arg(what),
            {}};
}

} // namespace

QString version()
{
    return QStringLiteral(KESTA_VERSION);
}

Invocation parseConsoleArguments(const QStringList &arguments)
{
    // Every argument is checked, so that "--help --bogus" is refused as "--bogus" is; of help
    // and version, the first asked for is answered.
    Invocation::Action action = Invocation::Run;
    QString previewFolder;
    for (auto it = arguments.begin(); it != arguments.end(); ++it) {
        const QString &argument = *it;
        Invocation::Action asked;
        if (argument == u"--preview") {
            if (++it == arguments.end() || it->isEmpty())
                return refuse(QStringLiteral("--preview needs a theme folder"));
            if (!previewFolder.isEmpty())
                return refuse(QStringLiteral("--preview is given twice"));
            previewFolder = *it;
            continue;
        }
        if (argument == u"--help" || argument == u"-h")
            asked = Invocation::PrintHelp;
        else if (argument == u"--version" || argument == u"-v")
            asked = Invocation::PrintVersion;
        else if (argument.startsWith(u'-'))
            return refuse(QStringLiteral("unknown option '%1'").arg(argument));
        else
            return refuse(QStringLiteral("unexpected argument '%1'").arg(argument));
        if (action == Invocation::Run)
            action = asked;
    }
    switch (action) {
    case Invocation::PrintHelp:
        return {action, QString::fromLatin1(consoleHelp), {}};
    case Invocation::PrintVersion:
        return {action, QStringLiteral("kesta-security %1\n").arg(version()), {}};
    default:
        return {Invocation::Run, {}, previewFolder};
    }
}

QStringList argumentsOf(int argc, const char *const argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int answer(const Invocation &invocation)
{
    const QByteArray text = invocation.text.toLocal8Bit();
    switch (invocation.action) {
    case Invocation::Run:
        return Success;
    case Invocation::PrintHelp:
    case Invocation::PrintVersion:
        std::fputs(text.constData(), stdout);
        return Success;
    case Invocation::Refuse:
        std::fputs(text.constData(), stderr);
        return BadUsage;
    }
    return BadUsage;
}

} // namespace app
