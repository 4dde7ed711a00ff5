#include "bmp_writer.h"
#include "skin/shape_window.h"
#include "skin/value_forms.h"
#include "test_environment.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <functional>

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
        rows.append(QList<QRgb>());
        for (const QChar c : line)
            rows.last().append(colours.value(c));
    }
    return rows;
}

quint32 colourValueOf(QRgb c)
{
    return skin::colourValue(qRed(c), qGreen(c), qBlue(c));
}

// The first pixel where the window's outline differs from inside(x, y), for a readable failure.
// A window without a mask is whole.
QString firstDifference(const QWidget &window, const std::function<bool(int, int)> &inside)
{
    const QRegion region = window.mask().isEmpty() ? QRegion(window.rect()) : window.mask();
    for (int y = 0; y < window.height(); ++y)
        for (int x = 0; x < window.width(); ++x)
            if (region.contains(QPoint(x, y)) != inside(x, y))
                return QString("pixel %1,%2").arg(x).arg(y);
    return {};
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
    void backgroundThatDoesNotLoadLeavesARectangle_data();
    void backgroundThatDoesNotLoadLeavesARectangle();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestShapeWindow::madeBitmaps_data()
{
    QTest::addColumn<QStringList>("grid");
    QTest::addColumn<BmpLayout>("layout");
    QTest::addColumn<QChar>("maskKey");

    // 30 wide: one opaque run in the middle of a row, a row without mask pixels, a row of mask
    // colour only, and a pixel one step off the mask colour that must stay opaque.
    const QStringList wide = {
        QString(10, 'm') + QString(10, '#') + QString(10, 'm'),
        QString(30, 'w'),
        QString(30, 'm'),
        "o" + QString(28, 'm') + "g",
    };
    QTest::newRow("24-bit, 30 wide") << wide << BmpLayout{24} << QChar('m');
    QTest::newRow("24-bit, padded rows")
        << QStringList{"m#m", "#o#", "mmg"} << BmpLayout{24} << QChar('m');
    QTest::newRow("32-bit") << QStringList{"mm#mm", "#mmm#", "wwmww"} << BmpLayout{32}
                            << QChar('m');
    QTest::newRow("1-bit, 11 wide")
        << QStringList{"mmm#######m", "m#m#m#m#m#m", "###########"} << BmpLayout{1} << QChar('m');
    QTest::newRow("8-bit RLE") << wide << BmpLayout{8, true} << QChar('m');
    // 16 bits keep only 5 or 6 bits of each component; black is exact in any depth.
    QTest::newRow("16-bit, black mask")
        << QStringList{"##w##", "#mmm#", "#b#g#"} << BmpLayout{16} << QChar('#');
    // Left whole rather than invisible, so that the dialog can still be used.
    QTest::newRow("only mask colour") << QStringList{"mmm", "mmm"} << BmpLayout{24} << QChar('m');
}

void TestShapeWindow::madeBitmaps()
{
    QFETCH(QStringList, grid);
    QFETCH(BmpLayout, layout);
    QFETCH(QChar, maskKey);

    const QString path = m_env->path("Themes/Test/back.bmp");
    writeBytes(path, bmpBytes(pixelsOf(grid), layout));
    QWidget window;
    window.resize(400, 300);
    QVERIFY(ShapeWindow(window, colourValueOf(colours.value(maskKey)), path));

    QCOMPARE(window.size(), QSize(int(grid.first().size()), int(grid.size())));
    const bool anyInside = grid.join("").count(maskKey) < grid.join("").size();
    QCOMPARE(
        firstDifference(window, [&](int x, int y) { return !anyInside || grid[y][x] != maskKey; }),
        QString());
}

void TestShapeWindow::corpusBitmaps_data()
{
    QTest::addColumn<QString>("path");
    const QDir folder(qEnvironmentVariable("KESTA_SOURCE_DIR", ".") +
                      "/../shared/corpus/images/bmp");
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

    // Each pixel's colour as Qt gives it, a palette index outside the palette included. The
    // top left corner is the mask colour: bitmaps are usually cut from there.
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = pixels.pixel(0, 0) & RGB_MASK;
    QVERIFY(ShapeWindow(window, colourValueOf(key), path));
    QCOMPARE(window.size(), picture.size());
    const auto inside = [&](int x, int y) { return (pixels.pixel(x, y) & RGB_MASK) != key; };
    bool anyInside = false;
    for (int y = 0; y < picture.height() && !anyInside; ++y)
        for (int x = 0; x < picture.width() && !anyInside; ++x)
            anyInside = inside(x, y);
    QCOMPARE(firstDifference(window, [&](int x, int y) { return !anyInside || inside(x, y); }),
             QString());
}

// Rows the file does not hold read as palette entry 0, here the mask colour; without that they
// would be whatever memory held and the outline would change from one load to the next.
void TestShapeWindow::damagedBitmapIsSeeThroughWhereItSaysNothing()
{
    QByteArray bytes = bmpBytes(pixelsOf({"m####", "#####", "#m###", "#####"}), {8});
    bytes.chop(2 * 8); // the two top rows: the file stores the bottom row first
    const QString path = m_env->path("back.bmp");
    writeBytes(path, bytes);
    QWidget window;
    QVERIFY(ShapeWindow(window, colourValueOf(Magenta), path));
    QCOMPARE(firstDifference(window, [](int x, int y) { return y == 3 || (y == 2 && x != 1); }),
             QString());
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
    for (int x = 0; x < 4; ++x)
        QCOMPARE(mask.pixelIndex(x, 0), x == 2 ? 1 : 0);
}

void TestShapeWindow::backgroundThatDoesNotLoadLeavesARectangle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no background key") << QString() << QByteArray();
    QTest::newRow("missing file") << "missing.bmp" << QByteArray();
    QTest::newRow("cut short") << "back.bmp" << bmpBytes(pixelsOf({"m#m#", "#m#m"}), {}).left(30);
}

void TestShapeWindow::backgroundThatDoesNotLoadLeavesARectangle()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    const QString path = name.isEmpty() ? QString() : m_env->path(name);
    if (!bytes.isEmpty())
        writeBytes(path, bytes);
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
