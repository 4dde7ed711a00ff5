#include "core/program_state.h"
#include "gif_writer.h"
#include "skin/image_button.h"
#include "skin/layout_window.h"
#include "skin/stretched_picture.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestLayoutWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void laysOutEveryKind();
    void overrideFileReplacesLinesButDecidesNone();
    void skippedLineWarnsAndLayoutGoesOn_data();
    void skippedLineWarnsAndLayoutGoesOn();
    void progressiveBuildPausesAndRepaintsEveryLine_data();
    void progressiveBuildPausesAndRepaintsEveryLine();
    void keysGoOnPastNinetyNine();
    void exitRequestStopsTheLayout_data();
    void exitRequestStopsTheLayout();

private:
    LayoutOutcome layOut(bool animated = false, int delay = 0);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    std::unique_ptr<RecordingWindow> m_window;
};

void TestLayoutWindow::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), u"Test"_s);
    m_theme->writePicture(u"b1.bmp"_s);
    m_theme->writePicture(u"back.png"_s);
    m_window = std::make_unique<RecordingWindow>();
    m_window->resize(640, 480);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    ProgramState &state = programState();
    state.INIValue.clear();
    state.ThemePictureIndex = 0;
    state.ThemeName.clear();
}

void TestLayoutWindow::cleanup()
{
    m_window.reset();
    m_theme.reset();
    m_env.reset();
}

LayoutOutcome TestLayoutWindow::layOut(bool animated, int delay)
{
    const skin::Theme &theme = m_theme->theme();
    return LayoutWindow(*m_window, theme, u"DEFAULT"_s, m_window->buttonTable(),
                        m_window->animationTable(), animated, delay, theme.consoleSkin());
}

void TestLayoutWindow::laysOutEveryKind()
{
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    m_theme->writePicture(u"b2.bmp"_s);
    // The preview picture lies beside the theme folder.
    m_theme->writePicture(u"../Test.bmp"_s);
    writeBytes(m_theme->themeFolder() + u"/spin.gif"_s,
               QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                          "\x21\xf9\x04\x00\x0a\x00\x00\x00"
                          "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
                          43));
    m_theme->writeFile(
        u"Security.skn"_s,
        {u"[DEFAULT]"_s, u"BackGround=0,0,0"_s,
         u"01=secinfo,L,40,10,0,200,16,32,48,255,255,255,DejaVu Sans,10"_s,
         u"02=secvc,T,-200,-30,150,0,0,0,0,200,200,0,DejaVu Sans,9"_s,
         u"03=back.png,P,50%,0,25%,-80"_s, u"04=ThemePic,P,10,300,100,75"_s,
         u"05=b1.bmp,B,-100,10,80,20,over.wav,click.wav,False,QUIT"_s, u"05.Name= Leave "_s,
         u"06=b2.bmp,B,5,5,0,-20,,click2.wav,True,run.exe a,b,,c"_s, u"07=spin.gif,A,0,0,10,10"_s,
         u"08=seclb,T,0,0,100,20,1,2,3,4,5,6,DejaVu Sans,8"_s,
         u"10=b1.bmp,B,0,0,10,10,,,False,AFTER A GAP"_s});

    const int before = m_window->controlCount();
    const LayoutOutcome outcome = layOut();

    QCOMPARE(outcome.lines, 8);
    QCOMPARE(outcome.skipped, 0);
    const QStringList expected{
        u"lstBox(1) 40,10 600x200 back=#102030 text=#ffffff font=DejaVu Sans 10"_s,
        u"lblInfo(1) 0,0 100x20 back=#010203 text=#040506 font=DejaVu Sans 8"_s,
        u"lblInfo(6) 440,450 150x30 back=#000000 text=#c8c800 font=DejaVu Sans 9"_s,
        u"imgPic(1) 320,0 160x400"_s,
        u"imgPic(2) 10,300 100x75"_s,
        u"imgBut(1) 540,10 80x20"_s,
        u"imgBut(2) 5,5 0x455"_s,
    };
    QCOMPARE(describeLayout(*m_window), expected);
    // The list's scroll bar is drawn in the list's colours, not in the system's light ones.
    m_window->lstBox(1)->addItems(QStringList(60, u"line"_s));
    const QImage bar = m_window->lstBox(1)->verticalScrollBar()->grab().toImage();
    QCOMPARE(bar.pixelColor(bar.width() / 2, bar.height() - 2), QColor(0x10, 0x20, 0x30));
    // The animation adds its timer and its one frame.
    QCOMPARE(m_window->controlCount(), before + 9);
    QCOMPARE(m_window->animationTable().animationCount, 1);

    const ButtonTable &buttons = m_window->buttonTable();
    QCOMPARE(buttons.count, 2);
    QCOMPARE(buttons.at(1).picture, m_theme->storedPath(u"b1.bmp"_s));
    QCOMPARE(buttons.at(1).command, u"QUIT"_s);
    QCOMPARE(buttons.at(1).overSound, u"over.wav"_s);
    QCOMPARE(buttons.at(1).clickSound, u"click.wav"_s);
    QCOMPARE(buttons.at(1).line, 5);
    QCOMPARE(buttons.at(2).command, u"run.exe a,b,,c"_s);
    QCOMPARE(buttons.at(2).overSound, QString());
    QCOMPARE(buttons.at(2).line, 6);
    // What a screen reader calls them: the theme's name, else the command's file name.
    QCOMPARE(m_window->imgBut(1)->accessibleName(), u"Leave"_s);
    QCOMPARE(m_window->imgBut(2)->accessibleName(), u"run.exe a,b,,c"_s);
    QCOMPARE(m_window->imgPic(2)->accessibleName(), u"Test"_s);

    const ProgramState &state = programState();
    QCOMPARE(state.ThemePictureIndex, 2);
    QCOMPARE(state.ThemeName, u"Test"_s);
    QVERIFY(!m_window->imgPic(2)->picture().isNull());
    QCOMPARE(state.INIValue, u"seclb,T,0,0,100,20,1,2,3,4,5,6,DejaVu Sans,8"_s);

    for (QWidget *model : std::initializer_list<QWidget *>{
             m_window->lstBox(0), m_window->lblInfo(0), m_window->imgPic(0), m_window->imgBut(0)})
        QVERIFY(model->isHidden());
    QCOMPARE(m_window->imgBut(1)->backColor(), QColor(Qt::white));
}

void TestLayoutWindow::overrideFileReplacesLinesButDecidesNone()
{
    m_theme->writeFile(u"Security.skn"_s, {u"[DEFAULT]"_s, u"01=b1.bmp,B,0,0,10,10,,,False,SKN 1"_s,
                                           u"02=b1.bmp,B,0,0,10,10,,,False,SKN 2"_s,
                                           u"03=b1.bmp,B,0,0,10,10,,,False,SKN 3"_s});
    m_theme->writeFile(u"Security.ini"_s,
                       {u"[default]"_s, u"01=b1.bmp,B,20,0,10,10,,,False,INI 1"_s, u"03="_s,
                        u"04=b1.bmp,B,0,0,10,10,,,False,ONLY IN INI"_s});

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"Security\\.ini:3: DEFAULT 03: error: "_s));
    const LayoutOutcome outcome = layOut();

    QCOMPARE(outcome.lines, 3);
    QCOMPARE(outcome.skipped, 1);
    const ButtonTable &buttons = m_window->buttonTable();
    QCOMPARE(buttons.count, 2);
    QCOMPARE(buttons.at(1).command, u"INI 1"_s);
    QCOMPARE(m_window->imgBut(1)->x(), 20);
    QCOMPARE(buttons.at(2).command, u"SKN 2"_s);
    // The empty override line is the last line read.
    QCOMPARE(programState().INIValue, QString());
}

void TestLayoutWindow::skippedLineWarnsAndLayoutGoesOn_data()
{
    QTest::addColumn<QString>("line");

    QTest::newRow("too few fields") << u"b1.bmp,B,1,2,3"_s;
    QTest::newRow("geometry without number") << u"b1.bmp,B,x,2,3,4,,,False,Q"_s;
    QTest::newRow("missing button picture") << u"nothere.bmp,B,1,2,3,4,,,False,Q"_s;
    QTest::newRow("picture that does not decode") << u"broken.bmp,P,1,2,3,4"_s;
    QTest::newRow("label index claimed twice") << u"another,T,1,2,3,4,0,0,0,0,0,0,Sans,8"_s;
    QTest::newRow("list index claimed twice") << u"secturn,L,1,2,3,4,0,0,0,0,0,0,Sans,8"_s;
    QTest::newRow("lower-case kind") << u"b1.bmp,b,1,2,3,4,,,False,Q"_s;
    QTest::newRow("no kind") << u"b1.bmp"_s;
}

void TestLayoutWindow::skippedLineWarnsAndLayoutGoesOn()
{
    QFETCH(QString, line);
    writeBytes(m_theme->themeFolder() + u"/broken.bmp"_s, "BM this is no bitmap");
    m_theme->writeFile(u"Security.skn"_s,
                       {u"[DEFAULT]"_s, u"01=other,T,0,0,10,10,0,0,0,0,0,0,Sans,8"_s,
                        u"02=secturn,L,0,0,10,10,0,0,0,0,0,0,Sans,8"_s, u"03="_s + line,
                        u"04=b1.bmp,B,0,0,10,10,,,False,STILL HERE"_s});

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(u"^.*Security\\.skn:4: DEFAULT 03: error: "_s));
    const int before = m_window->controlCount();
    const LayoutOutcome outcome = layOut();

    QCOMPARE(outcome.lines, 4);
    QCOMPARE(outcome.skipped, 1);
    QCOMPARE(m_window->controlCount(), before + 3);
    QCOMPARE(m_window->buttonTable().count, 1);
    QCOMPARE(m_window->buttonTable().at(1).command, u"STILL HERE"_s);
    QVERIFY(m_window->imgBut(1));
    QVERIFY(!m_window->imgPic(1));
}

void TestLayoutWindow::progressiveBuildPausesAndRepaintsEveryLine_data()
{
    QTest::addColumn<bool>("animated");
    QTest::addColumn<QList<int>>("pauses");

    QTest::newRow("progressive") << true << QList<int>(15, 200);
    QTest::newRow("at once") << false << QList<int>();
}

void TestLayoutWindow::progressiveBuildPausesAndRepaintsEveryLine()
{
    QFETCH(bool, animated);
    QFETCH(QList<int>, pauses);
    QStringList skin{u"[DEFAULT]"_s};
    for (int n = 1; n <= 15; ++n) {
        // Every fifth line creates nothing, and still counts for the pause.
        const QString kind = n % 5 == 0 ? u"b"_s : u"B"_s;
        skin << u"%1=b1.bmp,%2,%3,%4,30,20,,,False,CMD"_s.arg(n, 2, 10, QChar(u'0'))
                    .arg(kind)
                    .arg(n * 40 % 600)
                    .arg(n * 25);
    }
    m_theme->writeFile(u"Security.skn"_s, skin);
    const int before = m_window->controlCount();
    m_window->paints.clear();

    for (int i = 0; i < 3; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"is none of L, T, P, B, A"_s));
    layOut(animated, 200);

    QCOMPARE(m_window->pauses, pauses);
    QCOMPARE(m_window->controlCount(), before + 12);
    for (int i = before; i < m_window->controlCount(); ++i) {
        const auto *element = qobject_cast<QWidget *>(m_window->control(i));
        QVERIFY(element && element->isVisible());
        // Built progressively, each new button was painted before the next line was laid out;
        // built at once, none was painted before the last.
        const bool paintedInTurn =
            std::any_of(m_window->paints.cbegin(), m_window->paints.cend(),
                        [&](const RecordingWindow::Paint &paint) {
                            return paint.painted == element && paint.elements == i + 1;
                        });
        QVERIFY2(paintedInTurn == animated || i + 1 == m_window->controlCount(),
                 qPrintable(u"element %1"_s.arg(i)));
    }
}

void TestLayoutWindow::keysGoOnPastNinetyNine()
{
    QStringList skin{u"[DEFAULT]"_s};
    for (int n = 1; n <= 100; ++n)
        skin << u"%1=back.png,P,%2,0,5,5"_s.arg(n, 2, 10, QChar(u'0')).arg(n);
    skin << u"0101=back.png,P,0,0,5,5"_s;
    m_theme->writeFile(u"Security.skn"_s, skin);

    const LayoutOutcome outcome = layOut();

    QCOMPARE(outcome.lines, 100);
    QVERIFY(m_window->imgPic(100));
    QCOMPARE(m_window->imgPic(100)->x(), 100);
    QVERIFY(!m_window->imgPic(101));
}

namespace {

// A window whose exit request is answered by the first event that runs while it is laid out,
// and which counts the event passes after that.
class ExitingWindow : public SkinnedWindow
{
public:
    ExitingWindow()
    {
        resize(640, 480);
        QTimer::singleShot(0, this, [this] { quitting = true; });
        auto *pass = new QTimer(this);
        connect(pass, &QTimer::timeout, this, [this] { passesAfterExit += quitting; });
        pass->start(0);
    }
    bool isQuitting() const override { return quitting; }
    bool quitting = false;
    int passesAfterExit = 0;
};

// 40 frames of 400 x 300 pixels, each different: some tens of milliseconds to decode.
QByteArray longGif()
{
    GifPlan plan;
    plan.screen = QSize(400, 300);
    for (int k = 0; k < 40; ++k) {
        GifFrameSpec frame = solidFrame({0, 0, 400, 300}, 0, 4);
        for (int i = 0; i < frame.indexes.size(); ++i)
            frame.indexes[i] = char((i / 7 + k) % 4);
        plan.frames << frame;
    }
    return writeGif(plan);
}

} // namespace

void TestLayoutWindow::exitRequestStopsTheLayout_data()
{
    QTest::addColumn<bool>("animated"); // with a pause of two seconds after each line
    QTest::addColumn<QString>("first");

    QTest::newRow("during a progressive pause") << true << u"b1.bmp,B,0,0,10,10,,,False,Q"_s;
    QTest::newRow("while a GIF is laid out") << false << u"long.gif,A,0,0,10,10"_s;
}

void TestLayoutWindow::exitRequestStopsTheLayout()
{
    QFETCH(bool, animated);
    QFETCH(QString, first);
    writeBytes(m_theme->themeFolder() + u"/long.gif"_s, longGif());
    m_theme->writeFile(u"Security.skn"_s,
                       {u"[DEFAULT]"_s, u"01="_s + first, u"02=b1.bmp,B,0,0,10,10,,,False,Q"_s,
                        u"03=b1.bmp,B,0,0,10,10,,,False,Q"_s});
    ExitingWindow window;
    const LayoutOutcome outcome =
        LayoutWindow(window, m_theme->theme(), u"DEFAULT"_s, window.buttonTable(),
                     window.animationTable(), animated, 2000, m_theme->theme().consoleSkin());
    QCOMPARE(outcome.lines, 1);
    QVERIFY(window.animationTable().frameCount < 40);
    // Neither the rest of the pause nor the rest of the GIF was waited for.
    QVERIFY(window.passesAfterExit < 5);
}

QTEST_MAIN(TestLayoutWindow)
#include "tst_layout_window.moc"
