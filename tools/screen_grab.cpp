// kesta-screen-grab FILE: saves a picture of the whole primary screen, for the demo run on a
// virtual display. Exits 1 when there is no screen or the file cannot be written.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    QScreen *screen = QGuiApplication::primaryScreen();
    if (arguments.size() != 2 || !screen) {
        std::fprintf(stderr, "usage: kesta-screen-grab FILE.png (needs a display)\n");
        return 1;
    }
    const QPixmap picture = screen->grabWindow(0);
    if (picture.isNull() || !picture.save(arguments.at(1))) {
        std::fprintf(stderr, "kesta-screen-grab: cannot grab the screen into %s\n",
                     qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
