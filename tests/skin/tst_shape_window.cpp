#include "bmp_writer.h"
#include "skin/shape_window.h"
#include "skin/value_forms.h"
#include "test_environment.h"

#include <QDir>
#include <QHash>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

// The outline a window got, pixel by pixel: true where the window is (inside its mask).
using Outline = QList<QList<bool>>;

namespace {

constexpr QRgb Magenta = 0xFFFF00FF;
const QHash<QChar, QRgb> colours = {
    {'m', Magenta},    {'o', 0xFFFE00FF}, // one step off the mask colour
    {'#', 0xFF000000}, {'w', 0xFFFFFFFF}, {'g', 0xFF00FF00}, {'b', 0xFF0000FF},
};

QList<QList<QRgb>> pixelsOf(const QStringList &grid)
{
    QList<QList<QRgb>> rows;
    for (const QString &line : grid) {
        QList<QRgb> row;
        for (const QChar c : line)
            row.append(colours.value(c));
        rows.append(row);
    }
    return rows;
}

quint32 colourValueOf(QRgb c)
{
    return skin::colourValue(qRed(c), qGreen(c), qBlue(c));
}

Outline outlineOf(const QWidget &window)
{
    // A window without a mask is whole.
    const QRegion region = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
    QImage painted(window.size(), QImage::Format_Grayscale8);
    painted.fill(0);
    QPainter painter(&painted);
    for (const QRect &r : region)
        painter.fillRect(r, Qt::white);
    painter.end();
    Outline outline(window.height(), QList<bool>(window.width()));
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            outline[y][x] = painted.pixelColor(x, y) == Qt::white;
    return outline;
}

// The first pixel where the outline differs, for a readable failure.
QString firstDifference(const Outline &actual, const Outline &expected)
{
    if (actual.size() != expected.size())
        return QString("height %1, expected %2").arg(actual.size()).arg(expected.size());
    for (int y = 0; y < expected.size(); ++y)
        for (int x = 0; x < expected[y].size(); ++x)
            if (actual[y].value(x) != expected[y][x])
                return QString("pixel %1,%2 is %3")
                    .arg(x)
                    .arg(y)
                    .arg(actual[y].value(x) ? "inside" : "see-through");
    return {};
}

QString corpusFolder()
{
    return qEnvironmentVariable("KESTA_SOURCE_DIR", ".") + "/../shared/corpus/images/bmp";
}

} // namespace

class TestShapeWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void madeBitmaps_data();
    void madeBitmaps();
    void corpusBitmaps_data();
    void corpusBitmaps();
    void damagedBitmapIsSeeThroughWhereItSaysNothing();
    void paintsThePictureAsBackground();
    void alphaPlaysNoPart();
    void pictureOfOnlyMaskColourStaysWhole();
    void backgroundThatDoesNotLoadLeavesARectangle_data();
    void backgroundThatDoesNotLoadLeavesARectangle();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestShapeWindow::madeBitmaps_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<int>("bitCount");
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<bool>("rle");
    QTest::addColumn<QChar>("maskKey");

    // 30 wide: one opaque run in the middle of a row, a row without mask pixels, a row of mask
    // colour only, and a pixel one step off the mask colour that must stay opaque.
    const QStringList wide = {
        QString(10, 'm') + QString(10, '#') + QString(10, 'm'),
        QString(30, 'w'),
        QString(30, 'm'),
        "o" + QString(28, 'm') + "g",
    };
    const QStringList odd = {"m#m", "#o#", "mmg"};
    QTest::newRow("24-bit, 30 wide") << wide << 24 << false << false << QChar('m');
    QTest::newRow("24-bit, 3 wide (padded rows)") << odd << 24 << false << false << QChar('m');
    QTest::newRow("32-bit, 5 wide")
        << QStringList{"mm#mm", "#mmm#", "wwmww"} << 32 << false << false << QChar('m');
    QTest::newRow("1-bit, 11 wide") << QStringList{"mmm#######m", "m#m#m#m#m#m", "###########"} << 1
                                    << false << false << QChar('m');
    QTest::newRow("1-bit, 9 wide, top-down")
        << QStringList{"#mmmmmmm#", "mmmm#mmmm"} << 1 << true << false << QChar('m');
    QTest::newRow("4-bit, 7 wide")
        << QStringList{"mo#wgbm", "bgw#omm"} << 4 << false << false << QChar('m');
    QTest::newRow("8-bit, 13 wide")
        << QStringList{"mmmm#####mmmm", "o###########o"} << 8 << false << false << QChar('m');
    QTest::newRow("8-bit, 5 wide, top-down")
        << QStringList{"m#m#m", "mmmmm", "#m#m#"} << 8 << true << false << QChar('m');
    QTest::newRow("8-bit RLE, 30 wide") << wide << 8 << false << true << QChar('m');
    // 16 bits keep only 5 or 6 bits of each component; black is exact in any depth.
    QTest::newRow("16-bit, 5 wide, black mask")
        << QStringList{"##w##", "#mmm#", "#b#g#"} << 16 << false << false << QChar('#');
}

void TestShapeWindow::madeBitmaps()
{
    QFETCH(QStringList, grid);
    QFETCH(int, bitCount);
    QFETCH(bool, topDown);
    QFETCH(bool, rle);
    QFETCH(QChar, maskKey);

    const QString path = m_env->path("Themes/Test/back.bmp");
    writeBytes(path, bmpBytes(pixelsOf(grid), {bitCount, topDown, rle}));
    QWidget window;
    window.resize(400, 300);
    QVERIFY(ShapeWindow(window, colourValueOf(colours.value(maskKey)), path));

    QCOMPARE(window.size(), QSize(int(grid.first().size()), int(grid.size())));
    Outline expected;
    for (const QString &line : grid) {
        QList<bool> row;
        for (const QChar c : line)
            row.append(c != maskKey);
        expected.append(row);
    }
    QCOMPARE(firstDifference(outlineOf(window), expected), QString());
}

void TestShapeWindow::corpusBitmaps_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(corpusFolder());
    if (!folder.exists())
        QSKIP("the bitmap corpus is not beside the source tree");
    for (const QString &name : folder.entryList({"*.bmp"}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << folder.filePath(name);
}

// Good bitmaps of every depth and compression take their outline pixel by pixel from what Qt
// reads; bad ones leave the window as it was.
void TestShapeWindow::corpusBitmaps()
{
    QFETCH(QString, path);
    const QImage picture = readPicture(path);

    QWidget window;
    window.resize(123, 45);
    if (picture.isNull()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("does not load"));
        QVERIFY(!ShapeWindow(window, 0, path));
        QCOMPARE(window.size(), QSize(123, 45));
        QVERIFY(window.mask().isEmpty());
        return;
    }

    // Each pixel's colour as Qt gives it, a palette index outside the palette included.
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    // The colour of the top left corner is the mask colour: bitmaps are usually cut from there.
    const QRgb key = pixels.pixel(0, 0) & RGB_MASK;
    QVERIFY(ShapeWindow(window, colourValueOf(key), path));
    QCOMPARE(window.size(), picture.size());
    Outline expected(picture.height(), QList<bool>(picture.width()));
    bool anyInside = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            expected[y][x] = (pixels.pixel(x, y) & RGB_MASK) != key;
            anyInside = anyInside || expected[y][x];
        }
    }
    if (!anyInside) {
        QVERIFY(window.mask().isEmpty()); // left whole rather than invisible
        return;
    }
    QCOMPARE(firstDifference(outlineOf(window), expected), QString());
}

// Rows the file does not hold read as palette entry 0, here the mask colour; without that they
// would be whatever memory held and the outline would change from one load to the next.
void TestShapeWindow::damagedBitmapIsSeeThroughWhereItSaysNothing()
{
    QByteArray bytes = bmpBytes(pixelsOf({"m####", "#####", "#m###", "#####"}), {8, false, false});
    bytes.chop(2 * 8); // the two top rows: the file stores the bottom row first
    const QString path = m_env->path("back.bmp");
    writeBytes(path, bytes);
    QWidget window;
    QVERIFY(ShapeWindow(window, colourValueOf(Magenta), path));
    const Outline expected = {{false, false, false, false, false},
                              {false, false, false, false, false},
                              {true, false, true, true, true},
                              {true, true, true, true, true}};
    QCOMPARE(firstDifference(outlineOf(window), expected), QString());
}

void TestShapeWindow::paintsThePictureAsBackground()
{
    const QStringList grid = {"mmmmmm", "mgggbm", "mwww#m", "mmmmmm"};
    const QString path = m_env->path("back.bmp");
    writeBytes(path, bmpBytes(pixelsOf(grid), {}));
    QWidget window;
    QVERIFY(ShapeWindow(window, colourValueOf(Magenta), path));
    const QImage painted = window.grab().toImage();
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 5; ++x)
            QCOMPARE(painted.pixel(x, y) | 0xFF000000, colours.value(grid[y][x]));
}

void TestShapeWindow::alphaPlaysNoPart()
{
    QImage picture(4, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, Magenta);
    picture.setPixel(1, 0, qRgba(255, 0, 255, 0)); // mask colour, fully transparent
    picture.setPixel(2, 0, qRgba(0, 255, 0, 0));   // another colour, fully transparent
    picture.setPixel(3, 0, qRgba(255, 0, 255, 128));
    const QImage mask = shapeMask(picture, colourValueOf(Magenta));
    QCOMPARE(mask.format(), QImage::Format_MonoLSB);
    QCOMPARE(mask.pixelIndex(0, 0), 0);
    QCOMPARE(mask.pixelIndex(1, 0), 0);
    QCOMPARE(mask.pixelIndex(2, 0), 1);
    QCOMPARE(mask.pixelIndex(3, 0), 0);
}

void TestShapeWindow::pictureOfOnlyMaskColourStaysWhole()
{
    const QString path = m_env->path("back.bmp");
    writeBytes(path, bmpBytes(pixelsOf({"mmm", "mmm"}), {}));
    QWidget window;
    QVERIFY(ShapeWindow(window, colourValueOf(Magenta), path));
    QCOMPARE(window.size(), QSize(3, 2));
    QVERIFY(window.mask().isEmpty());
}

void TestShapeWindow::backgroundThatDoesNotLoadLeavesARectangle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no background key") << QString() << QByteArray();
    QTest::newRow("missing file") << "missing.bmp" << QByteArray();
    QTest::newRow("not a picture") << "back.bmp" << QByteArray("BM this is no bitmap");
    QByteArray cut = bmpBytes(pixelsOf({"m#m#", "#m#m"}), {});
    cut.truncate(30);
    QTest::newRow("cut short") << "back.bmp" << cut;
}

void TestShapeWindow::backgroundThatDoesNotLoadLeavesARectangle()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QString path;
    if (!name.isEmpty()) {
        path = m_env->path(name);
        if (!bytes.isEmpty())
            writeBytes(path, bytes);
    }
    QWidget window;
    window.resize(200, 100);
    // A window shaped before keeps no outline of its earlier background.
    window.setMask(QRegion(0, 0, 10, 10));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("rectangular"));
    QVERIFY(!ShapeWindow(window, 0, path));
    QCOMPARE(window.size(), QSize(200, 100));
    QVERIFY(window.mask().isEmpty());
}

QTEST_MAIN(TestShapeWindow)
#include "tst_shape_window.moc"
