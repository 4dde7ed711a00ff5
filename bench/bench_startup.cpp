// Start-up of the console to a fully laid-out window on the demo theme, beside a bare Qt window
// shown by the same binary: each run is a new process, timed from its start until it reports
// its window ready (what it does to end afterwards is not timed).
#include "bench_report.h"
#include "console/frm_main.h"
#include "core/settings_store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int runConsole(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmMain console;
    if (!console.Form_Load())
        return 1;
    // Laid out is on the screen: the elements that appeared together are painted.
    QCoreApplication::processEvents();
    std::puts("ready");
    std::fflush(stdout);
    return 0;
}

int runBareWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(1024, 768);
    window.show();
    QCoreApplication::processEvents();
    std::puts("ready");
    std::fflush(stdout);
    return 0;
}

// Microseconds from the start of a child until it reports its window ready; a negative value
// when it failed.
double runChild(const QString &program, const QString &mode)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(program, {mode});
    while (!child.canReadLine()) {
        if (!child.waitForReadyRead(60000))
            return -1.0;
    }
    const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1000.0;
    const bool ready = child.readLine().trimmed() == "ready";
    const bool ended = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit &&
                       child.exitCode() == 0;
    return ready && ended ? elapsed : -1.0;
}

double median(std::vector<double> samples)
{
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
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
    if (!settings::save(store, QStringLiteral("Default"), QStringLiteral("ProgramDir"),
                        QStringLiteral(KESTA_DEMO_DIR)) ||
        !settings::save(store, QStringLiteral("Default"), QStringLiteral("ThemeDir"),
                        QStringLiteral("\\Themes\\Default\\")) ||
        !settings::save(store, QStringLiteral("General"), QStringLiteral("Running"),
                        QStringLiteral("False"))) {
        qCritical("the settings store of the benchmark cannot be written");
        return 1;
    }

    const QString self = QCoreApplication::applicationFilePath();
    // One run of each first, so that neither pays alone for a cold disk cache; then turn about.
    runChild(self, QStringLiteral("--console"));
    runChild(self, QStringLiteral("--bare"));
    std::vector<double> console;
    std::vector<double> bare;
    for (int run = 0; run < 15; ++run) {
        console.push_back(runChild(self, QStringLiteral("--console")));
        bare.push_back(runChild(self, QStringLiteral("--bare")));
    }
    if (*std::min_element(console.cbegin(), console.cend()) < 0 ||
        *std::min_element(bare.cbegin(), bare.cend()) < 0) {
        std::fprintf(stderr, "bench_startup: a child run failed\n");
        return 1;
    }
    const double consoleFigure = median(console);
    const double bareFigure = median(bare);
    bench::printRow("start-up to a laid-out console (demo theme)", consoleFigure / 1000.0,
                    "bare Qt window, same binary", bareFigure / 1000.0, "ms", "<= 1.3x",
                    consoleFigure <= 1.3 * bareFigure);
    return 0;
}
