// e2e_cover: a window of one plain colour over the whole screen, as another program a person
// works in would cover the console. Ends when it is told to.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget cover;
    cover.setWindowTitle(QStringLiteral("KESTA e2e cover"));
    cover.setWindowFlag(Qt::FramelessWindowHint);
    cover.setAutoFillBackground(true);
    QPalette palette = cover.palette();
    palette.setColor(QPalette::Window, QColor(0, 200, 0));
    cover.setPalette(palette);
    cover.setGeometry(QGuiApplication::primaryScreen()->geometry());
    cover.show();
    return QApplication::exec();
}
