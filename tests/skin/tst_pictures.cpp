#include "skin/gif_animation.h"
#include "skin/gif_structure.h"
#include "skin/picture_file.h"
#include "skin/shape_window.h"
#include "skin/value_forms.h"
#include "test_environment.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 magenta = 0xFF00FF; // a colour value: red in the low byte

QString corpus(const QString &relative)
{
    return qEnvironmentVariable("KESTA_SOURCE_DIR") + u"/../shared/corpus/images/"_s + relative;
}

QRegion outline(const QWidget &window)
{
    return window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
}

// The window's outline, one row of text a pixel row: "#" inside, "." cut out.
QString drawn(const QWidget &window)
{
    QString rows;
    for (int y = 0; y < window.height(); ++y) {
        for (int x = 0; x < window.width(); ++x)
            rows += outline(window).contains(QPoint(x, y)) ? u'#' : u'.';
        rows += u'\n';
    }
    return rows;
}

QString letters(const QImage &image)
{
    const QHash<QRgb, QChar> names{
        {0xff000000, u'k'}, {0xffff0000, u'r'}, {0xff00ff00, u'g'}, {0xff0000ff, u'b'}};
    QString rows;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            rows += names.value(image.pixel(x, y) | 0xff000000, u'?');
        rows += u' ';
    }
    return rows;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    // Checked-in bitmaps of each depth shape a window as golden text shows, and paint it.
    void shapesAndAnimationsAsDrawn()
    {
        QString out;
        const QDir shapes(testData(u"skin/shapes"_s));
        // A background that is not there or does not load leaves the window a rectangle of
        // its own size, without the outline of an earlier background.
        const QStringList names = shapes.entryList(QDir::Files, QDir::Name);
        for (const QString &name : names + QStringList{u"missing.bmp"_s, QString()}) {
            QWidget window;
            window.resize(5, 2);
            window.setMask(QRegion(0, 0, 1, 1));
            const QString path = name.isEmpty() ? QString() : shapes.filePath(name);
            const bool shaped =
                ShapeWindow(window, name.contains(u"black-mask"_s) ? 0 : magenta, path);
            out +=
                u"[%1]%2\n"_s.arg(name, shaped ? QString() : u" left as it was"_s) + drawn(window);
            if (!shaped)
                continue;
            const QImage painted = window.grab().toImage();
            const QImage picture = readPicture(path);
            for (int y = 0; y < window.height(); ++y)
                for (int x = 0; x < window.width(); ++x)
                    if (outline(window).contains(QPoint(x, y)) &&
                        qAlpha(picture.pixel(x, y)) == 255)
                        QCOMPARE(painted.pixel(x, y) | 0xff000000,
                                 picture.pixel(x, y) | 0xff000000);
        }
        const QDir gifs(testData(u"skin/gif"_s));
        for (const QString &name : gifs.entryList(QDir::Files, QDir::Name)) {
            const QByteArray bytes = readBytes(gifs.filePath(name));
            const skin::GifStructure structure = skin::walkGif(bytes);
            out += u"%1 walked:%2"_s.arg(name, structure.complete ? u"" : u" incomplete");
            for (const skin::GifImage &image : structure.images)
                out += u' ' + QString::number(image.delayMs);
            const skin::GifAnimation gif = skin::decodeGifAnimation(bytes);
            out += gif.error.isEmpty() ? u"\n"_s : u"\ndecoding fails after:\n"_s;
            for (const skin::GifFrame &frame : gif.frames)
                out += u"  %1 ms: "_s.arg(frame.delayMs) + letters(frame.image) + u'\n';
        }
        compareWithGolden(out.toUtf8(), testData(u"skin/pictures.golden"_s));
    }

    // Good corpus bitmaps take their outline from what Qt reads, their top left pixel the mask
    // colour; bad ones leave the window as it was.
    void corpusBitmaps_data()
    {
        QTest::addColumn<QString>("path");
        const QDir folder(corpus(u"bmp"_s));
        if (!folder.exists())
            QSKIP("the image corpus is not beside the source tree");
        for (const QString &name : folder.entryList({u"*.bmp"_s}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }

    void corpusBitmaps()
    {
        QFETCH(QString, path);
        const QImage pixels = readPicture(path).convertToFormat(QImage::Format_RGB32);
        QWidget window;
        window.resize(123, 45);
        const QRgb key = pixels.isNull() ? 0 : pixels.pixel(0, 0);
        if (pixels.isNull())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"does not load"_s));
        QCOMPARE(ShapeWindow(window, skin::colourValue(qRed(key), qGreen(key), qBlue(key)), path),
                 !pixels.isNull());
        QString expected;
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x)
                expected += pixels.pixel(x, y) == key ? u'.' : u'#';
            expected += u'\n';
        }
        if (!expected.contains(u'#'))
            expected.replace(u'.', u'#');
        if (pixels.isNull())
            QCOMPARE(window.size(), QSize(123, 45));
        else
            QCOMPARE(drawn(window), expected);
    }

    // Elements showing one file share its pixels until the file changes; a folder in its place
    // is said to be one.
    void picturesSharedUntilTheirFileChanges()
    {
        TestEnvironment env;
        const QString path = env.path(u"b.bmp"_s);
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path));
        const QPixmap first = skin::loadPicture(path).pixmap;
        QCOMPARE(skin::loadPicture(path).pixmap.cacheKey(), first.cacheKey());
        image = QImage(5, 2, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(path));
        QCOMPARE(skin::loadPicture(path).pixmap.toImage().pixel(0, 0), QColor(Qt::blue).rgb());
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        QCOMPARE(skin::loadPicture(path).error, u"picture %1 is a folder"_s.arg(path));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
