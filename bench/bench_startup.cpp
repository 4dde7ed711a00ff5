// Start-up of the console to a fully laid-out window on the demo theme, beside a bare Qt window
// shown by the same binary: each run is a whole process, from exec to exit.
#include "bench_report.h"
#include "console/frm_main.h"
#include "core/settings_store.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

int runConsole(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmMain console;
    return console.Form_Load() ? 0 : 1;
}

int runBareWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(1024, 768);
    window.show();
    QCoreApplication::processEvents();
    return 0;
}

bool runChild(const QString &program, const QString &mode)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(program, {mode});
    return child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return runBareWindow(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString &store = settings::application;
    settings::save(store, QStringLiteral("Default"), QStringLiteral("ProgramDir"),
                   QStringLiteral(KESTA_DEMO_DIR));
    settings::save(store, QStringLiteral("Default"), QStringLiteral("ThemeDir"),
                   QStringLiteral("\\Themes\\Default\\"));
    settings::save(store, QStringLiteral("General"), QStringLiteral("Running"),
                   QStringLiteral("False"));

    const QString self = QCoreApplication::applicationFilePath();
    bool ok =
        runChild(self, QStringLiteral("--console")) && runChild(self, QStringLiteral("--bare"));
    const int runs = 15;
    const double console = bench::medianMicroseconds(
        runs, [&] { ok = runChild(self, QStringLiteral("--console")) && ok; });
    const double bare = bench::medianMicroseconds(
        runs, [&] { ok = runChild(self, QStringLiteral("--bare")) && ok; });
    if (!ok) {
        std::fprintf(stderr, "bench_startup: a child run failed\n");
        return 1;
    }
    bench::printRow("start-up to a laid-out console (demo theme)", console / 1000.0,
                    "bare Qt window, same binary", bare / 1000.0, "ms", "<= 1.3x",
                    console <= 1.3 * bare);
    return 0;
}
