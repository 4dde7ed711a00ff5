// kesta-skin-check on a copy of the demo theme whose console skin has 10,000 button lines of one
// picture and two sounds, per layout line, beside the work each line cost before: its key read
// from disk twice (skin and override file), its picture and over picture decoded and its two
// sounds opened, for every line. The peer runs on the first 1,000 lines. Offscreen platform.
#include "bench_files.h"
#include "bench_report.h"
#include "platform/native_path.h"
#include "skin/hover_tracking.h"
#include "skin/layout_line.h"
#include "skin/theme.h"
#include "sound/sound_decoder.h"
#include "theme_check.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPixmap>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int lines = 10000;
constexpr int peerLines = 1000;

// The demo theme under root/Themes/Default whose console skin lays out 10,000 buttons.
bool writeTheme(const QString &root)
{
    const QString from = QStringLiteral(KESTA_DEMO_DIR "/Themes/Default");
    const QString theme = root + QStringLiteral("/Themes/Default");
    QDirIterator it(from, QDir::Files);
    QDir().mkpath(theme);
    QFile::copy(from + QStringLiteral(".bmp"), theme + QStringLiteral(".bmp"));
    while (it.hasNext()) {
        const QString source = it.next();
        QFile::copy(source, theme + u'/' + it.fileName());
    }
    QByteArray skin = "[DEFAULT]\r\nBackGround=14,22,34\r\n";
    for (int n = 1; n <= lines; ++n) {
        skin += QByteArray::number(n).rightJustified(2, '0') + "=dlg_ok.bmp,B," +
                QByteArray::number((n - 1) % 100 * 8) + "," +
                QByteArray::number((n - 1) / 100 * 6) + ",10,10,tick,click,False,QUIT\r\n";
    }
    const QByteArray demo = bench::readFile(from + QStringLiteral("/Security.skn"));
    const qsizetype rest = demo.indexOf("[SECURITY]");
    return rest > 0 &&
           bench::writeFile(theme + QStringLiteral("/Security.skn"), skin + demo.mid(rest));
}

QPixmap decoded(const QString &storedPath)
{
    return QPixmap::fromImage(QImageReader(platform::nativePath(storedPath)).read());
}

// What each layout line cost the checker before it read each file once.
void checkLinesAsBefore(const skin::Theme &theme)
{
    const skin::ThemeFile skin = theme.consoleSkin();
    for (int n = 1; n <= peerLines; ++n) {
        const std::optional<QString> line = skin.layoutLine(QStringLiteral("DEFAULT"), n);
        const skin::LayoutLine parsed = skin::parseLayoutLine(*line);
        const auto *button = std::get_if<skin::ImageButtonLine>(&parsed);
        if (!button)
            continue;
        const QString picture = theme.file(button->name);
        decoded(picture);
        decoded(skin::overPicturePath(picture));
        QString why;
        for (const QString &name : {button->button.overSound(), button->button.clickSound()})
            sound::decodeSoundOrExplain(platform::nativePath(theme.soundFile(name)), &why);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.*=false"));
    QTemporaryDir root;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("config"))));
    if (!writeTheme(root.path())) {
        std::fprintf(stderr, "bench_skin_check: cannot write the theme\n");
        return 1;
    }
    const skin::Theme theme(root.path(), QStringLiteral("\\Themes\\Default\\"),
                            QStringLiteral("Security"));
    qsizetype problems = 0;
    const double checker =
        bench::medianMicroseconds(5, [&] { problems = check::checkTheme(theme).size(); });
    const double before = bench::medianMicroseconds(3, [&] { checkLinesAsBefore(theme); });
    if (problems != 0) {
        std::fprintf(stderr, "bench_skin_check: the theme has %lld problems\n",
                     static_cast<long long>(problems));
        return 1;
    }
    const double perLine = checker / lines;
    bench::printRow("kesta-skin-check per layout line, 10,000 button lines", perLine,
                    "per line before: reads, pictures and sounds for each line", before / peerLines,
                    "us", "<= 30 us", perLine <= 30.0);
    return 0;
}
