#include "core/program_state.h"
#include "skin/layout_window.h"
#include "skin/stretched_picture.h"
#include "skin/tear_down_layout.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestTearDownLayout : public QObject
{
    Q_OBJECT

private slots:
    void removesNewestFirstDownToInitialCount_data();
    void removesNewestFirstDownToInitialCount();
};

void TestTearDownLayout::removesNewestFirstDownToInitialCount_data()
{
    QTest::addColumn<QStringList>("shellSkin");
    QTest::addColumn<bool>("stateAnimated");
    QTest::addColumn<int>("stateDelay");
    QTest::addColumn<QList<int>>("pauses");

    // Visible elements and timers get a pause; the hidden frame goes without one.
    QTest::newRow("terminal.skn turns it on")
        << QStringList{u"[DEFAULT]"_s, u"Animated=True"_s, u"AnimDelay=30"_s} << false << 0
        << QList<int>(4, 30);
    QTest::newRow("terminal.skn turns it off")
        << QStringList{u"[DEFAULT]"_s, u"Animated=false"_s} << true << 50 << QList<int>();
    QTest::newRow("values that do not convert keep the state")
        << QStringList{u"[DEFAULT]"_s, u"Animated=maybe"_s, u"AnimDelay=soon"_s} << true << 50
        << QList<int>(4, 50);
    QTest::newRow("no keys keep the state") << QStringList{} << false << 50 << QList<int>();
}

void TestTearDownLayout::removesNewestFirstDownToInitialCount()
{
    QFETCH(QStringList, shellSkin);
    QFETCH(bool, stateAnimated);
    QFETCH(int, stateDelay);
    QFETCH(QList<int>, pauses);

    TestEnvironment env;
    ThemeFixture theme(env.root(), u"Test"_s);
    theme.writePicture(u"b1.bmp"_s);
    theme.writeFile(u"terminal.skn"_s, shellSkin);
    theme.writeFile(u"Security.skn"_s,
                    {u"[DEFAULT]"_s, u"01=x,T,0,0,10,10,0,0,0,0,0,0,Sans,8"_s,
                     u"02=b1.bmp,P,0,0,10,10"_s, u"03=b1.bmp,B,0,0,10,10,,,False,Q"_s});
    RecordingWindow window;
    window.resize(200, 100);
    window.show();
    ProgramState &state = programState();
    state.InitialControlCount = window.controlCount();
    LayoutWindow(window, theme.theme(), u"DEFAULT"_s, window.buttonTable(), window.animationTable(),
                 false, 0, theme.theme().consoleSkin());
    window.addGifFrame(1); // stays hidden, as frames other than the first do
    window.addAnimTimer(1);

    QStringList removed;
    for (int i = state.InitialControlCount; i < window.controlCount(); ++i) {
        QObject *element = window.control(i);
        const QString name = QString::fromLatin1(element->metaObject()->className());
        connect(element, &QObject::destroyed, this, [&removed, name] { removed << name; });
    }
    state.Animated = stateAnimated;
    state.AnimDelay = stateDelay;
    window.pauses.clear();
    window.paints.clear();

    TearDownLayout(window, theme.theme());

    QCOMPARE(removed, (QStringList{u"QTimer"_s, u"StretchedPicture"_s, u"ImageButton"_s,
                                   u"StretchedPicture"_s, u"QLabel"_s}));
    QCOMPARE(window.pauses, pauses);
    // Progressive closing repaints between removals; otherwise no repaint walks the elements
    // left, which for thousands of them took minutes.
    const bool paintedBetween =
        std::any_of(window.paints.cbegin(), window.paints.cend(),
                    [&](const auto &paint) { return paint.elements > state.InitialControlCount; });
    QCOMPARE(paintedBetween, !pauses.isEmpty());
    QCOMPARE(window.controlCount(), state.InitialControlCount);
    QVERIFY(window.lblInfo(0));
    QVERIFY(!window.lblInfo(5));
    QVERIFY(!window.imgBut(1));
    QCOMPARE(window.imgBut.indexes(), QList<int>{0});
}

QTEST_MAIN(TestTearDownLayout)
#include "tst_tear_down_layout.moc"
