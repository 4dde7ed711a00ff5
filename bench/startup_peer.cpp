// The fair peer of the console's start-up: a plain Qt program, in a binary of its own that links
// nothing but Qt Widgets, that shows what the console shows on the demo theme. It reads the
// description bench_startup writes (one element a line: pictures and GIFs by file and place,
// lists with their lines, labels with their text, all in the console's fonts and colours), loads
// every picture with QPixmap and every GIF with QMovie, shows one frameless window and says
// "ready" once the window and its lists are painted.
#include "painted_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMovie>

#include <cstdio>

namespace {

QRect rectOf(const QStringList &fields, int from)
{
    return QRect(fields.value(from).toInt(), fields.value(from + 1).toInt(),
                 fields.value(from + 2).toInt(), fields.value(from + 3).toInt());
}

// "font|family|points|back|text" style fields, colours as #rrggbb.
void dress(QWidget &widget, const QStringList &fields, int from)
{
    widget.setFont(QFont(fields.value(from), fields.value(from + 1).toInt()));
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, QColor(fields.value(from + 2)));
    palette.setColor(QPalette::Window, QColor(fields.value(from + 2)));
    palette.setColor(QPalette::Text, QColor(fields.value(from + 3)));
    palette.setColor(QPalette::WindowText, QColor(fields.value(from + 3)));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void addElement(QWidget &window, QListWidget *&lastList, const QStringList &fields)
{
    const QString &kind = fields.first();
    if (kind == u"window") {
        window.resize(fields.value(1).toInt(), fields.value(2).toInt());
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(fields.value(3)));
        window.setPalette(palette);
    } else if (kind == u"picture") {
        auto *picture = new QLabel(&window);
        picture->setScaledContents(true);
        picture->setPixmap(QPixmap(fields.value(1)));
        picture->setGeometry(rectOf(fields, 2));
    } else if (kind == u"gif") {
        auto *animation = new QLabel(&window);
        animation->setScaledContents(true);
        auto *movie = new QMovie(fields.value(1), {}, animation);
        animation->setMovie(movie);
        animation->setGeometry(rectOf(fields, 2));
        movie->start();
    } else if (kind == u"list") {
        lastList = new QListWidget(&window);
        lastList->setGeometry(rectOf(fields, 1));
        dress(*lastList, fields, 5);
    } else if (kind == u"line" && lastList) {
        lastList->addItem(fields.value(1));
    } else if (kind == u"label") {
        auto *label = new QLabel(fields.value(9), &window);
        label->setGeometry(rectOf(fields, 1));
        dress(*label, fields, 5);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    bench::PaintWatch watch;
    QFile description(QString::fromLocal8Bit(argc > 1 ? argv[1] : ""));
    if (!description.open(QIODevice::ReadOnly))
        return 1;
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("peer"));
    QListWidget *lastList = nullptr;
    while (!description.atEnd()) {
        QString line = QString::fromUtf8(description.readLine());
        if (line.endsWith(u'\n'))
            line.chop(1);
        addElement(window, lastList, line.split(u'|'));
    }
    window.show();
    if (!watch.waitUntilPainted(window))
        return 1;
    std::puts("ready");
    std::fflush(stdout);
    return 0;
}
