// A window of one plain colour over the whole screen, as another program would cover the console.
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget cover;
    cover.setWindowTitle(QStringLiteral("KESTA e2e cover"));
    cover.setWindowFlag(Qt::FramelessWindowHint);
    cover.setPalette(QPalette(QColor(0, 200, 0))); // Window takes the button colour too
    cover.setGeometry(QGuiApplication::primaryScreen()->geometry());
    cover.show();
    return QApplication::exec();
}
