// kesta-store: the shell's side of the stores the console shares, on the command line.

#include "app/program_options.h"
#include "core/ini_access.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/profile_engine.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringDecoder>
#include <QStringList>

#include <cstdio>

namespace {

enum Exit
{
    Success = 0,
    NotFound = 1,
    BadUsage = 2
};

const char usage[] =
    "Usage: kesta-store COMMAND ...\n"
    "Reads and writes what the KESTA Terminal shell shares with its security console.\n"
    "\n"
    "The settings store (application \"KESTA Terminal\"):\n"
    "  get SECTION KEY [DEFAULT]       print the value, or DEFAULT when it is absent\n"
    "                                  (exit 1 when absent and no DEFAULT is given)\n"
    "  set SECTION KEY VALUE           store VALUE, any single line of text, exactly\n"
    "  delete SECTION KEY              remove the entry (absent is no error)\n"
    "  request-exit                    ask the running console to end: sets\n"
    "                                  EXIT / \"KESTA Terminal - Security\" to \"1\"\n"
    "\n"
    "INI files (skin files, override files, voicecontrol.ini), as the console reads them:\n"
    "  ini get FILE SECTION KEY        print the value (exit 1 when not found)\n"
    "  ini set FILE SECTION KEY VALUE  write key=VALUE into [SECTION], creating what is missing\n"
    "  ini delete FILE SECTION [KEY]   remove the key, or the whole section; SECTION and a\n"
    "                                  KEY that is given must not be empty (no file is\n"
    "                                  ever deleted)\n"
    "  lock FILE PROGRAM [ARGUMENT...] run PROGRAM while holding FILE's write lock, for a\n"
    "                                  program that changes FILE itself; exit with its status\n"
    "\n"
    "Section and key names are matched without regard to case; FILE may use \\ or /.\n"
    "Arguments are UTF-8 text. A value is printed exactly, in UTF-8, followed by one newline;\n"
    "a value that a file cannot hold exactly is refused, never altered.\n"
    "Exit status: 0 success, 1 not found or failed, 2 bad usage; lock: PROGRAM's status.\n"
    "--help prints this help, --version the version. See kesta-store(1).\n"
    "The settings store lives in $XDG_CONFIG_HOME/KESTA Terminal/settings.ini\n"
    "($XDG_CONFIG_HOME defaults to ~/.config).\n";

int printValue(const QString &value)
{
    std::fputs(value.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    return Success;
}

int badUsage()
{
    std::fputs(usage, stderr);
    return BadUsage;
}

int storeCommand(const QStringList &args)
{
    const QString &command = args[0];
    if (command == u"get" && (args.size() == 3 || args.size() == 4)) {
        const settings::Lookup found = settings::lookup(settings::application, args[1], args[2]);
        if (!found.error.isEmpty()) {
            std::fprintf(stderr, "kesta-store: cannot read the settings store: %s\n",
                         found.error.toUtf8().constData());
            return NotFound;
        }
        if (found.value)
            return printValue(*found.value);
        return args.size() == 4 ? printValue(args[3]) : NotFound;
    }
    if (command == u"set" && args.size() == 4)
        return settings::save(settings::application, args[1], args[2], args[3]) ? Success
                                                                                : NotFound;
    if (command == u"delete" && args.size() == 3)
        return settings::remove(settings::application, args[1], args[2]) ? Success : NotFound;
    if (command == u"request-exit" && args.size() == 1)
        return settings::save(settings::application, QStringLiteral("EXIT"),
                              QStringLiteral("KESTA Terminal - Security"), QStringLiteral("1"))
                   ? Success
                   : NotFound;
    return badUsage();
}

int iniCommand(const QStringList &args)
{
    const QString command = args.value(1);
    if (command == u"get" && args.size() == 5) {
        const std::optional<QString> value = readIni(args[3], args[4], args[2]);
        return value ? printValue(*value) : NotFound;
    }
    if (command == u"set" && args.size() == 6)
        return WriteINI(args[3], args[4], args[5], args[2]) ? Success : NotFound;
    if (command == u"delete" && (args.size() == 4 || args.size() == 5)) {
        // An empty section would delete the whole file, an empty key the whole section: what an
        // empty variable in a script would do by accident.
        if (args[3].isEmpty() || (args.size() == 5 && args[4].isEmpty()))
            return badUsage();
        return DeleteINI(args[2], args[3], args.value(4), true, false) ? Success : NotFound;
    }
    return badUsage();
}

// The program runs with this process's standard input and output; the lock ends with it.
int lockCommand(const QStringList &args)
{
    if (args.size() < 3)
        return badUsage();
    int status = NotFound;
    const platform::ProfileWrite locked = platform::withProfileLock(args[1], [&] {
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.setInputChannelMode(QProcess::ForwardedInputChannel);
        program.start(args[2], args.mid(3));
        if (!program.waitForStarted(-1)) {
            std::fprintf(stderr, "kesta-store: cannot run %s: %s\n", args[2].toUtf8().constData(),
                         program.errorString().toUtf8().constData());
            return;
        }
        program.waitForFinished(-1);
        if (program.exitStatus() == QProcess::NormalExit)
            status = program.exitCode();
    });
    if (!locked.ok)
        std::fprintf(stderr, "kesta-store: cannot lock %s: %s\n", args[1].toUtf8().constData(),
                     locked.error.toUtf8().constData());
    return status;
}

// The arguments as given: a byte-order mark at the start of one is kept, so that it is refused
// as text no file can hold, where the usual decoding would drop it without a word.
QStringList argumentsOf(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        args.append(decoder(QByteArrayView(argv[i])));
    }
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
    // An argument that is no UTF-8 would reach us with its odd bytes replaced: it could be
    // neither stored nor matched as the caller wrote it.
    for (int i = 1; i < argc; ++i) {
        if (!QByteArrayView(argv[i]).isValidUtf8()) {
            std::fprintf(stderr, "kesta-store: argument %d is not UTF-8 text\n", i);
            return NotFound;
        }
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kesta-store"));
    const platform::ServicesOverride toStandardError({.showMessage = [](const QString &text) {
        std::fprintf(stderr, "kesta-store: %s\n", text.toUtf8().constData());
    }});

    const QStringList args = argumentsOf(argc, argv);
    if (args.isEmpty())
        return badUsage();
    if (args[0] == u"--help" || args[0] == u"-h") {
        std::fputs(usage, stdout);
        return Success;
    }
    if (args[0] == u"--version" || args[0] == u"-v")
        return printValue(QStringLiteral("kesta-store ") + app::version());
    if (args[0] == u"lock")
        return lockCommand(args);
    return args[0] == u"ini" ? iniCommand(args) : storeCommand(args);
}
