#include "core/window_placement.h"
#include "platform/screen_metrics.h"

#include <QTest>

#include <limits>

using namespace core;
using namespace Qt::StringLiterals;

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void shellArea_data();
    void shellArea();
    void runningFlag();
    void insideAuxiliary();
    void skinName();
    void unusableFactors();
};

void TestWindowPlacement::shellArea_data()
{
    QTest::addColumn<QStringList>("screen"); // Left, Top, Right, Bottom as stored
    QTest::addColumn<double>("tx");
    QTest::addColumn<double>("ty");
    QTest::addColumn<QRectF>("expected"); // twips
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<double>("ratio"); // the screen's device pixels per pixel

    // The auxiliary window is 150,300,15000,9000 twips; "-" stands for an absent key.
    QTest::newRow("different factors")
        << QStringList{u"0"_s, u"0"_s, u"800"_s, u"600"_s} << 10.0 << 20.0
        << QRectF(0, 0, 8000, 12000) << QRect(0, 0, 800, 600) << 1.0;
    QTest::newRow("offset area") << QStringList{u"100"_s, u"50"_s, u"900"_s, u"650"_s} << 9.6 << 9.6
                                 << QRectF(960, 480, 7680, 5760) << QRect(100, 50, 800, 600) << 1.0;
    QTest::newRow("no numbers count as absent")
        << QStringList{u"abc"_s, QString(), u"-"_s, u"wide"_s} << 15.0 << 15.0
        << QRectF(150, 300, 15000, 9000) << QRect(10, 20, 1000, 600) << 1.0;
    // The default right edge is the stored left edge plus the auxiliary width, not the
    // auxiliary window's own right edge.
    QTest::newRow("left stored, right absent")
        << QStringList{u"100"_s, u"-"_s, u"-"_s, u"-"_s} << 15.0 << 15.0
        << QRectF(1500, 300, 15000, 9000) << QRect(100, 20, 1000, 600) << 1.0;
    QTest::newRow("fractions round half to even")
        << QStringList{u"10.5"_s, u"20"_s, u"810.5"_s, u"620"_s} << 15.0 << 15.0
        << QRectF(157.5, 300, 12000, 9000) << QRect(10, 20, 800, 600) << 1.0;
    QTest::newRow("right left of left")
        << QStringList{u"500"_s, u"0"_s, u"100"_s, u"600"_s} << 15.0 << 15.0
        << QRectF(7500, 0, 0, 9000) << QRect(500, 0, 0, 600) << 1.0;
    // The shell's area is in device pixels, the console is placed in Qt's pixels.
    QTest::newRow("screen scaled to 200 %")
        << QStringList{u"0"_s, u"100"_s, u"2560"_s, u"1600"_s} << 15.0 << 15.0
        << QRectF(0, 750, 19200, 11250) << QRect(0, 50, 1280, 750) << 2.0;
    QTest::newRow("overlong number is absent")
        << QStringList{QString(400, u'9'), u"0"_s, u"800"_s, u"600"_s} << 15.0 << 15.0
        << QRectF(150, 0, 11850, 9000) << QRect(10, 0, 790, 600) << 1.0;
}

void TestWindowPlacement::shellArea()
{
    QFETCH(QStringList, screen);
    QFETCH(double, tx);
    QFETCH(double, ty);
    QFETCH(QRectF, expected);
    QFETCH(QRect, pixels);
    QFETCH(double, ratio);

    const auto stored = [&](int i) {
        return screen[i] == u"-" ? std::nullopt : std::optional<QString>(screen[i]);
    };
    const platform::TwipsFactors factors{tx, ty};
    const TwipsRect rect = placeInShellArea({stored(0), stored(1), stored(2), stored(3)},
                                            {150, 300, 15000, 9000}, factors, ratio);
    QCOMPARE(QRectF(rect.left, rect.top, rect.width, rect.height), expected);
    QCOMPARE(pixelsFromTwips(rect, factors), pixels);
}

void TestWindowPlacement::runningFlag()
{
    QVERIFY(shellIsRunning(u"-1"_s));
    QVERIFY(!shellIsRunning(std::nullopt));
    QVERIFY(!shellIsRunning(u"yes"_s));
}

void TestWindowPlacement::insideAuxiliary()
{
    QCOMPARE(placeInsideAuxiliary({-60, 0, 28800, 15750}), (TwipsRect{0, 60, 28680, 15630}));
    QCOMPARE(placeInsideAuxiliary({0, 0, 100, 90}), (TwipsRect{60, 60, 0, 0}));
}

void TestWindowPlacement::skinName()
{
    QCOMPARE(skinNameForScreen(u"Security"_s, 1024 * 15, 15), u"Security1024"_s);
    QCOMPARE(skinNameForScreen(u"Security"_s, 1366 * 9.6, 9.6), u"Security1366"_s);
    QCOMPARE(skinNameForScreen(u"Security"_s, 12000, 0), u"Security800"_s);
}

// A factor of 0 would divide by zero; such factors count as 15.
void TestWindowPlacement::unusableFactors()
{
    QCOMPARE(platform::twipsPerPixelFor(96), 15.0);
    QCOMPARE(platform::twipsPerPixelFor(0), 15.0);
    QCOMPARE(platform::twipsPerPixelFor(std::numeric_limits<double>::quiet_NaN()), 15.0);
    QCOMPARE(pixelsFromTwips({150, 150, 1500, 1500}, {0, -1}), QRect(10, 10, 100, 100));
    QCOMPARE(twipsFromPixels(QRect(10, 20, 30, 40), {0, 20}), (TwipsRect{150, 400, 450, 800}));
}

QTEST_GUILESS_MAIN(TestWindowPlacement)
#include "tst_window_placement.moc"
