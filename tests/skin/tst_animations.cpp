#include "core/program_state.h"
#include "gif_writer.h"
#include "skin/layout_window.h"
#include "skin/stretched_picture.h"
#include "skin/tear_down_layout.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestAnimations : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void twoAnimationsInOneSection();
    void startsWithTheFirstFramesDelay_data();
    void startsWithTheFirstFramesDelay();
    void ticksThroughTheFrames_data();
    void ticksThroughTheFrames();
    void framesHoldNoMoreThanTheElementShows_data();
    void framesHoldNoMoreThanTheElementShows();
    void tearDownRemovesFramesAndTimers();

private:
    // Lays out `lines` of section [DEFAULT] on a 200 x 100 window.
    void layOut(const QStringList &lines);
    // The imgGif members shown, by index.
    QList<int> shownFrames() const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingWindow> m_window;
};

namespace {

// One full-screen frame per delay (hundredths; -1 writes no control block).
QByteArray gifOfDelays(const QList<int> &delays)
{
    GifPlan plan;
    for (int i = 0; i < delays.size(); ++i)
        plan.frames << solidFrame({0, 0, 4, 4}, 1 + i % 3,
                                  delays[i] < 0 ? std::nullopt : std::optional<int>(delays[i]));
    return writeGif(plan);
}

class QuittingWindow : public RecordingWindow
{
public:
    bool isQuitting() const override { return quitting; }
    bool quitting = false;
};

} // namespace

void TestAnimations::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), u"Test"_s);
    m_window = std::make_unique<RecordingWindow>();
    m_window->resize(200, 100);
}

void TestAnimations::cleanup()
{
    m_window.reset();
    m_theme.reset();
    m_env.reset();
}

void TestAnimations::layOut(const QStringList &lines)
{
    m_theme->writeFile(u"Security.skn"_s, QStringList{u"[DEFAULT]"_s} + lines);
    const skin::Theme &theme = m_theme->theme();
    LayoutWindow(*m_window, theme, u"DEFAULT"_s, m_window->buttonTable(),
                 m_window->animationTable(), false, 0, theme.consoleSkin());
}

QList<int> TestAnimations::shownFrames() const
{
    QList<int> shown;
    for (int f : m_window->imgGif.indexes()) {
        const StretchedPicture *frame = m_window->imgGif(f);
        if (f > 0 && frame && !frame->isHidden())
            shown << f;
    }
    return shown;
}

void TestAnimations::twoAnimationsInOneSection()
{
    writeBytes(m_theme->themeFolder() + u"/spin.gif"_s, gifOfDelays({10, 20, 30}));
    writeBytes(m_theme->themeFolder() + u"/blink.gif"_s, gifOfDelays({5, 5}));
    writeBytes(m_theme->themeFolder() + u"/broken.gif"_s, "GIF89a");
    m_theme->writePicture(u"b1.bmp"_s);
    layOut({u"01=spin.gif,A,10,10,40,40"_s, u"02=missing.gif,A,0,0,10,10"_s,
            u"03=broken.gif,A,0,0,10,10"_s, u"04=b1.bmp,B,0,0,10,10,,,False,Q"_s,
            u"05=blink.gif,A,-50,5,-10,0"_s});

    const AnimationTable &table = m_window->animationTable();
    QCOMPARE(table.animationCount, 2);
    QCOMPARE(table.frameCount, 5);
    QCOMPARE(table.at(1).first, 1);
    QCOMPARE(table.at(1).last, 3);
    QCOMPARE(table.at(1).current, 1);
    QCOMPARE(table.at(2).first, 4);
    QCOMPARE(table.at(2).last, 5);
    QCOMPARE(table.at(2).current, 4);
    QCOMPARE(m_window->imgGif.indexes(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(m_window->tmrAnim.indexes(), (QList<int>{0, 1, 2}));
    QCOMPARE(shownFrames(), (QList<int>{1, 4}));
    QVERIFY(m_window->imgBut(1)); // the lines after the files that do not load still count

    QCOMPARE(m_window->imgGif(2)->geometry(), QRect(10, 10, 40, 40));
    // Measured back from the right edge only below 0: a height of 0 stays 0.
    QCOMPARE(m_window->imgGif(5)->geometry(), QRect(150, 5, 40, 0));
    QCOMPARE(m_window->imgGif(3)->frameDelay(), 300);
    QCOMPARE(m_window->tmrAnim(1)->interval(), 100);
    QCOMPARE(m_window->tmrAnim(2)->interval(), 50);
    QVERIFY(m_window->tmrAnim(1)->isActive());
    QCOMPARE(m_window->tmrAnim(2)->timerType(), Qt::PreciseTimer);
}

void TestAnimations::startsWithTheFirstFramesDelay_data()
{
    QTest::addColumn<int>("firstDelay");
    QTest::addColumn<int>("interval");

    QTest::newRow("32760 ms fits") << 3276 << 32760;
    QTest::newRow("32770 ms does not: a still picture") << 3277 << 0;
    QTest::newRow("0: a still picture") << 0 << 0;
}

void TestAnimations::startsWithTheFirstFramesDelay()
{
    QFETCH(int, firstDelay);
    QFETCH(int, interval);

    writeBytes(m_theme->themeFolder() + u"/a.gif"_s, gifOfDelays({firstDelay, 10}));
    layOut({u"01=a.gif,A,0,0,10,10"_s});
    QCOMPARE(m_window->tmrAnim(1)->interval(), interval);
    QCOMPARE(m_window->tmrAnim(1)->isActive(), interval > 0);
}

void TestAnimations::ticksThroughTheFrames_data()
{
    QTest::addColumn<QList<int>>("delays");
    QTest::addColumn<QList<int>>("shown");     // the frame shown after each tick
    QTest::addColumn<QList<int>>("intervals"); // the timer's interval after each tick

    QTest::newRow("each frame its own delay, then the first again")
        << QList<int>{10, 20, 30} << QList<int>{2, 3, 1, 2} << QList<int>{200, 300, 100, 200};
    QTest::newRow("a single frame stays")
        << QList<int>{10} << QList<int>{1, 1} << QList<int>{100, 100};
    // Stopped on a delay of 0; a tick that comes anyway moves on as the others do.
    QTest::newRow("a delay of 0 stops the timer")
        << QList<int>{10, 0, 10} << QList<int>{2} << QList<int>{0};
}

void TestAnimations::ticksThroughTheFrames()
{
    QFETCH(QList<int>, delays);
    QFETCH(QList<int>, shown);
    QFETCH(QList<int>, intervals);

    // A first animation, so that this one's frames do not start at 1.
    writeBytes(m_theme->themeFolder() + u"/other.gif"_s, gifOfDelays({10, 10}));
    writeBytes(m_theme->themeFolder() + u"/a.gif"_s, gifOfDelays(delays));
    layOut({u"01=other.gif,A,0,0,10,10"_s, u"02=a.gif,A,0,0,10,10"_s});

    QTimer *timer = m_window->tmrAnim(2);
    for (int t = 0; t < shown.size(); ++t) {
        m_window->tmrAnim_Timer(2);
        QCOMPARE(shownFrames(), (QList<int>{1, 2 + shown[t]}));
        QCOMPARE(m_window->animationTable().at(2).current, 2 + shown[t]);
        QCOMPARE(timer->interval(), intervals[t]);
        QCOMPARE(timer->isActive(), intervals[t] > 0);
    }
    QCOMPARE(m_window->animationTable().at(1).current, 1);

    QuittingWindow quitting;
    quitting.resize(200, 100);
    const skin::Theme &theme = m_theme->theme();
    LayoutWindow(quitting, theme, u"DEFAULT"_s, quitting.buttonTable(), quitting.animationTable(),
                 false, 0, theme.consoleSkin());
    quitting.quitting = true;
    quitting.tmrAnim_Timer(2);
    QCOMPARE(quitting.animationTable().at(2).current, 3);
    const StretchedPicture *still = quitting.imgGif(3);
    QVERIFY(still && !still->isHidden());
}

void TestAnimations::framesHoldNoMoreThanTheElementShows_data()
{
    QTest::addColumn<QSize>("screen"); // the GIF's logical screen, with 1 x 1 images
    QTest::addColumn<int>("images");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QSize>("frameSize");

    QTest::newRow("a large screen shrinks to the element")
        << QSize(4096, 4096) << 64 << u"01=a.gif,A,0,0,10,20"_s << 64 << QSize(10, 20);
    QTest::newRow("a small GIF is not blown up")
        << QSize(4, 4) << 2 << u"01=a.gif,A,0,0,40,2"_s << 2 << QSize(4, 2);
    QTest::newRow("an element 0 wide")
        << QSize(4, 4) << 2 << u"01=a.gif,A,0,0,0,4"_s << 2 << QSize(1, 4);
    // 16 MiB a frame: four fit in 64 MiB.
    QTest::newRow("64 MiB at most: the frames before are kept")
        << QSize(1024, 4096) << 6 << u"01=a.gif,A,0,0,1024,4096"_s << 4 << QSize(1024, 4096);
}

void TestAnimations::framesHoldNoMoreThanTheElementShows()
{
    QFETCH(QSize, screen);
    QFETCH(int, images);
    QFETCH(QString, line);
    QFETCH(int, frames);
    QFETCH(QSize, frameSize);

    GifPlan plan;
    plan.screen = screen;
    for (int i = 0; i < images; ++i)
        plan.frames << solidFrame({0, 0, 1, 1}, 1 + i % 3, 10);
    writeBytes(m_theme->themeFolder() + u"/a.gif"_s, writeGif(plan));
    if (frames < images)
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(u"a\\.gif ends after %1 frames: .* 64 MiB at most"_s.arg(frames)));
    layOut({line});

    QCOMPARE(m_window->animationTable().frameCount, frames);
    QCOMPARE(m_window->imgGif(frames)->picture().size(), frameSize);
}

void TestAnimations::tearDownRemovesFramesAndTimers()
{
    writeBytes(m_theme->themeFolder() + u"/a.gif"_s, gifOfDelays({10, 10, 10}));
    m_theme->writePicture(u"b1.bmp"_s);
    m_theme->writeFile(u"terminal.skn"_s, {u"[DEFAULT]"_s, u"Animated=True"_s, u"AnimDelay=7"_s});
    ProgramState &state = programState();
    state.InitialControlCount = m_window->controlCount();
    layOut({u"01=a.gif,A,0,0,10,10"_s, u"02=b1.bmp,B,0,0,10,10,,,False,Q"_s});
    m_window->tmrAnim_Timer(1); // frame 2 is the one shown when the console closes

    QStringList removed;
    for (int i = state.InitialControlCount; i < m_window->controlCount(); ++i) {
        QObject *element = m_window->control(i);
        QString name = QString::fromLatin1(element->metaObject()->className());
        for (int f = 1; f <= 3; ++f) {
            if (m_window->imgGif(f) == element)
                name = u"frame %1"_s.arg(f);
        }
        connect(element, &QObject::destroyed, this, [&removed, name] { removed << name; });
    }
    m_window->pauses.clear();
    TearDownLayout(*m_window, m_theme->theme());

    QCOMPARE(removed, (QStringList{u"ImageButton"_s, u"frame 3"_s, u"frame 2"_s, u"frame 1"_s,
                                   u"QTimer"_s}));
    // The button, the frame on show and the timer; the hidden frames go without a pause.
    QCOMPARE(m_window->pauses, (QList<int>{7, 7, 7}));
    QCOMPARE(m_window->controlCount(), state.InitialControlCount);
}

QTEST_MAIN(TestAnimations)
#include "tst_animations.moc"
