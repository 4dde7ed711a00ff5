// Start-up of the console on the demo theme until its window and lists are painted, beside two
// peers: a plain Qt program of its own (startup_peer) that shows the same pictures, GIFs,
// list lines and labels in the same fonts, and a bare Qt window shown by this binary. Each run is
// a new process, timed from its start until it reports its window painted (what it does to end
// afterwards is not timed); the three take turns.
#include "bench_report.h"
#include "console/frm_main.h"
#include "console_world.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "painted_window.h"
#include "platform/native_path.h"
#include "skin/layout_line.h"
#include "skin/theme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

int reportPainted(bench::PaintWatch &watch, QWidget &window)
{
    if (!watch.waitUntilPainted(window))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    return 0;
}

int runConsole(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bench::PaintWatch watch;
    frmMain console;
    if (!console.Form_Load())
        return 1;
    return reportPainted(watch, console);
}

int runBareWindow(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bench::PaintWatch watch;
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(1024, 768);
    window.show();
    return reportPainted(watch, window);
}

QString rectFields(const QRect &rect)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

QString lookFields(const QWidget &widget, QPalette::ColorRole back, QPalette::ColorRole text)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(widget.font().family())
        .arg(widget.font().pointSize())
        .arg(widget.palette().color(back).name(), widget.palette().color(text).name());
}

// The console's pictures and GIFs, each with its file and place, as its layout section gives them.
QStringList pictureLines(const skin::Theme &theme, const QSize inside)
{
    QStringList lines;
    const skin::ThemeFile skin = theme.consoleSkin();
    for (int n = 1;; ++n) {
        const std::optional<QString> text = skin.layoutLine(QStringLiteral("DEFAULT"), n);
        if (!text)
            return lines;
        const auto place = [&](const skin::LineGeometry &geometry, skin::EdgeRule rule) {
            return rectFields(skin::placeElement(geometry, rule, inside.width(), inside.height()));
        };
        const skin::LayoutLine line = skin::parseLayoutLine(*text);
        if (const auto *picture = std::get_if<skin::PictureLine>(&line)) {
            const QString file =
                picture->isThemePicture ? theme.previewPicture() : theme.file(picture->name);
            lines << u"picture|"_s + platform::nativePath(file) + u'|' +
                         place(picture->geometry, skin::EdgeRule::NotPositive);
        } else if (const auto *button = std::get_if<skin::ImageButtonLine>(&line)) {
            lines << u"picture|"_s + platform::nativePath(theme.file(button->name)) + u'|' +
                         place(button->geometry, skin::EdgeRule::Negative);
        } else if (const auto *animation = std::get_if<skin::AnimationLine>(&line)) {
            lines << u"gif|"_s + platform::nativePath(theme.file(animation->name)) + u'|' +
                         place(animation->geometry, skin::EdgeRule::Negative);
        }
    }
}

// What the console shows once started, for startup_peer to show the same.
int describeConsole(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmMain console;
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!console.Form_Load() || !out.open(QIODevice::WriteOnly))
        return 1;
    QStringList lines{QStringLiteral("window|%1|%2|%3")
                          .arg(console.width())
                          .arg(console.height())
                          .arg(console.palette().color(QPalette::Window).name())};
    lines << pictureLines(console.theme(), console.size());
    for (int i = 1; i <= 3; ++i) {
        if (const QListWidget *list = console.lstBox(i)) {
            lines << u"list|"_s + rectFields(list->geometry()) + u'|' +
                         lookFields(*list, QPalette::Base, QPalette::Text);
            for (int row = 0; row < list->count(); ++row)
                lines << u"line|"_s + list->item(row)->text();
        }
    }
    for (int i = 1; i <= 6; ++i) {
        if (const QLabel *label = console.lblInfo(i))
            lines << u"label|"_s + rectFields(label->geometry()) + u'|' +
                         lookFields(*label, QPalette::Window, QPalette::WindowText) + u'|' +
                         label->text();
    }
    out.write((lines.join(u'\n') + u'\n').toUtf8());
    return 0;
}

// Microseconds from the start of a child until it reports its window ready; a negative value
// when it failed.
double runChild(const QString &program, const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
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

// Start-up on one platform: the console, the fair peer and the bare window take turns; one run of
// each first, so that none pays alone for a cold disk cache. False when a run failed.
bool compareStartUps(const QString &platform, const QString &folder)
{
    const QString self = QCoreApplication::applicationFilePath();
    const QString peer = QFileInfo(self).absolutePath() + QStringLiteral("/startup_peer");
    const QString description = folder + QStringLiteral("/shown-") + platform + u".txt"_s;
    if (QProcess::execute(self, {QStringLiteral("--describe"), description}) != 0) {
        std::fprintf(stderr, "bench_startup: the console could not be described\n");
        return false;
    }
    std::vector<double> console, fair, bare;
    for (int run = 0; run < 16; ++run) {
        const double c = runChild(self, {QStringLiteral("--console")});
        const double f = runChild(peer, {description});
        const double b = runChild(self, {QStringLiteral("--bare")});
        if (c < 0 || f < 0 || b < 0) {
            std::fprintf(stderr, "bench_startup: a child run failed on %s\n", qPrintable(platform));
            return false;
        }
        if (run > 0) {
            console.push_back(c);
            fair.push_back(f);
            bare.push_back(b);
        }
    }
    const double consoleMs = bench::median(console) / 1000.0;
    const std::string what = "start-up until painted, demo theme, " + platform.toStdString();
    bench::printRow(what, consoleMs, "plain Qt program showing the same",
                    bench::median(fair) / 1000.0, "ms", "<= 1.2x",
                    consoleMs <= 1.2 * bench::median(fair) / 1000.0);
    bench::printRow(what, consoleMs, "bare Qt window, same binary", bench::median(bare) / 1000.0,
                    "ms", "second peer", true);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return runBareWindow(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--describe") == 0)
        return describeConsole(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
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

    qputenv("QT_QPA_PLATFORM", "offscreen");
    bool measured = compareStartUps(QStringLiteral("offscreen"), home.path());
    const bench::VirtualDisplay x;
    if (x.display().isEmpty()) {
        std::fprintf(stderr, "bench_startup: Xvfb did not start; no row under X\n");
        return measured ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("DISPLAY", x.display().toLatin1());
    measured = compareStartUps(QStringLiteral("Xvfb"), home.path()) && measured;
    return measured ? 0 : 1;
}
