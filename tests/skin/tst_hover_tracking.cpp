#include "core/program_state.h"
#include "dialogs/frm_input.h"
#include "dialogs/frm_select.h"
#include "platform/pointer_source.h"
#include "platform/services.h"
#include "skin/hover_tracking.h"
#include "skin/image_button.h"
#include "skin/layout_window.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QImage>
#include <QMouseEvent>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Reports a scripted pointer position and widget, and counts the samples taken.
struct FakePointer
{
    QPoint screen;
    QWidget *under = nullptr;
    int samples = 0;
    platform::ServicesOverride standIn{{.pointerPosition =
                                            [this] {
                                                ++samples;
                                                return screen;
                                            },
                                        .widgetAt = [this](QPoint) { return under; }}};
};

class HoverWindow : public RecordingWindow
{
public:
    bool isQuitting() const override { return quitting; }
    bool quitting = false;
};

constexpr QRgb normalColour = 0xff008080;
constexpr QRgb overColour = 0xffff8000;

void writeSolid(const QString &path, QRgb colour)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path));
}

QRgb shownColour(const ImageButton &button)
{
    return button.picture().toImage().pixel(0, 0);
}

} // namespace

class TestHoverTracking : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pointerAndOverNames();
    void followsThePointer_data();
    void followsThePointer();
    void anOverPictureThatDoesNotLoad();
    void passesThatDoNothing_data();
    void passesThatDoNothing();
    void eventsThatRunAPass();
    void pointerFromWindowEvents();

private:
    // Moves the pointer to (x, y) of the window with `under` below it and runs one pass.
    void pass(QPoint local, QWidget *under);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    QStringList m_sounds;
    std::unique_ptr<FakePointer> m_pointer;
    std::unique_ptr<HoverWindow> m_window;
    QWidget m_other;
};

void TestHoverTracking::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_theme = std::make_unique<ThemeFixture>(m_env->root(), u"Test"_s);
    m_pointer = std::make_unique<FakePointer>();
    const QString folder = m_theme->themeFolder();
    writeSolid(folder + u"/b1.bmp"_s, normalColour);
    writeSolid(folder + u"/b1a.bmp"_s, overColour);
    writeSolid(folder + u"/b2.bmp"_s, normalColour);
    m_theme->writeFile(u"Security.skn"_s,
                       {u"[DEFAULT]"_s, u"01=b1.bmp,B,10,20,30,40,over,click,False,Q"_s,
                        u"02=b2.bmp,B,100,20,30,40,over,click,False,Q"_s});
    m_window = std::make_unique<HoverWindow>();
    m_sounds.clear();
    m_window->setSoundPlayer([this](const QString &name) { m_sounds << name; });
    m_window->resize(200, 100);
    // Far to the right, where a position that went through rounded twips factors would be off
    // by several pixels (the test runs at a font DPI of 110, where 1440 / DPI is not whole).
    m_window->move(1000, 200);
    m_window->tmrMouse->stop(); // every pass of these tests is one the test runs
    const skin::Theme &theme = m_theme->theme();
    LayoutWindow(*m_window, theme, u"DEFAULT"_s, m_window->buttonTable(),
                 m_window->animationTable(), false, 0, theme.consoleSkin());
    QCOMPARE(m_window->buttonTable().count, 2);
    // The template lies under the same rectangle: it must never be taken for a button.
    ImageButton *model = m_window->imgBut(0);
    QVERIFY(model);
    model->setGeometry(10, 20, 30, 40);
}

void TestHoverTracking::cleanup()
{
    m_window.reset();
    m_pointer.reset();
    m_theme.reset();
    m_env.reset();
}

void TestHoverTracking::pass(QPoint local, QWidget *under)
{
    m_pointer->screen = QPoint(1000, 200) + local;
    m_pointer->under = under;
    m_window->UpdateHover();
}

void TestHoverTracking::pointerAndOverNames()
{
    QCOMPARE(skin::overPicturePath(u"\\Themes\\T\\b1.bmp"_s), u"\\Themes\\T\\b1a.bmp"_s);
    QCOMPARE(skin::overPicturePath(u"x.jpeg"_s), u"x.ajpeg"_s);
    QCOMPARE(skin::overPicturePath(u"abcd"_s), u"aabcd"_s);
    QCOMPARE(skin::overPicturePath(u"abc"_s), u"abc"_s);

    pass({25, 40}, nullptr);
    QCOMPARE(programState().PointerX, 25);
    QCOMPARE(programState().PointerY, 40);
}

void TestHoverTracking::followsThePointer_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("states"); // after each step: O over, N normal
    QTest::addColumn<int>("sounds");

    QTest::newRow("entering plays once") << QStringList{"in", "in", "in"} << "OOO" << 1;
    QTest::newRow("2 px inside the left edge") << QStringList{"inside left"} << "O" << 1;
    QTest::newRow("leaving is silent") << QStringList{"in", "out"} << "ON" << 1;
    QTest::newRow("each entry plays") << QStringList{"in", "out", "in"} << "ONO" << 2;
    QTest::newRow("edge lines while normal")
        << QStringList{"left", "right", "top", "bottom"} << "NNNN" << 0;
    QTest::newRow("edge lines while over")
        << QStringList{"in", "left", "right", "top", "bottom"} << "OOOOO" << 1;
    QTest::newRow("another window over the button") << QStringList{"covered"} << "N" << 0;
    QTest::newRow("over until the pointer leaves the rectangle")
        << QStringList{"in", "covered", "out"} << "OON" << 1;
}

void TestHoverTracking::followsThePointer()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, states);
    QFETCH(int, sounds);

    ImageButton *button = m_window->imgBut(1);
    ImageButton *other = m_window->imgBut(2);
    ImageButton *model = m_window->imgBut(0);
    QVERIFY(button && other && model);
    const QHash<QString, QPoint> points{
        {"in", {25, 40}},  {"out", {5, 5}},      {"left", {10, 40}},    {"right", {40, 40}},
        {"top", {25, 20}}, {"bottom", {25, 60}}, {"covered", {25, 40}}, {"inside left", {12, 40}}};
    for (int s = 0; s < steps.size(); ++s) {
        QWidget *under = steps[s] == "covered" ? &m_other : static_cast<QWidget *>(button);
        pass(points.value(steps[s]), under);
        const bool over = states[s] == u'O';
        QCOMPARE(button->backColor(), over ? QColor(Qt::black) : QColor(Qt::white));
        QCOMPARE(shownColour(*button), over ? overColour : normalColour);
    }
    QCOMPARE(m_sounds, QStringList(sounds, u"over"_s));
    QCOMPARE(other->backColor(), QColor(Qt::white));
    QVERIFY(model->picture().isNull());
    QCOMPARE(model->backColor(), QColor(Qt::white));
}

void TestHoverTracking::anOverPictureThatDoesNotLoad()
{
    ImageButton *button = m_window->imgBut(2);
    QVERIFY(button);
    pass({110, 40}, button);
    pass({110, 40}, button);
    QCOMPARE(button->backColor(), QColor(Qt::black));
    QCOMPARE(shownColour(*button), normalColour);
    QCOMPARE(m_sounds.size(), 1);

    // The normal picture has gone too: the button shows what it showed before.
    QVERIFY(QFile::remove(m_theme->themeFolder() + u"/b2.bmp"_s));
    pass({5, 5}, nullptr);
    QCOMPARE(button->backColor(), QColor(Qt::white));
    QCOMPARE(shownColour(*button), normalColour);
}

void TestHoverTracking::passesThatDoNothing_data()
{
    QTest::addColumn<bool>("quitting");
    QTest::addColumn<int>("samples");

    QTest::newRow("no buttons counted") << false << 1;
    QTest::newRow("quitting: not even a sample") << true << 0;
}

void TestHoverTracking::passesThatDoNothing()
{
    QFETCH(bool, quitting);
    QFETCH(int, samples);

    if (quitting)
        m_window->quitting = true;
    else
        m_window->buttonTable().count = 0;
    ImageButton *button = m_window->imgBut(1);
    QVERIFY(button);
    pass({25, 40}, button);
    QCOMPARE(m_pointer->samples, samples);
    QCOMPARE(button->backColor(), QColor(Qt::white));
    QVERIFY(m_sounds.isEmpty());
}

void TestHoverTracking::eventsThatRunAPass()
{
    auto moveOver = [this](QWidget *target) {
        const int before = m_pointer->samples;
        for (QEvent::Type type :
             {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        return m_pointer->samples - before;
    };

    QCOMPARE(moveOver(m_window->elementSurface()), 3);
    QCOMPARE(moveOver(m_window->imgBut(1)), 3);
    QMetaObject::invokeMethod(m_window->tmrMouse, "timeout");
    QCOMPARE(m_pointer->samples, 7);
    QCOMPARE(m_window->tmrMouse->interval(), 100);

    frmInput input(m_theme->theme());
    QCOMPARE(moveOver(input.txtInput), 3);
    frmSelect select(m_theme->theme());
    QCOMPARE(moveOver(select.Dir1->viewport()), 3);
    QCOMPARE(moveOver(select.File1->viewport()), 3);
}

// On Wayland the pointer is known only from the events that reach the program's own windows:
// leaving the window leaves the button, as the pointer going elsewhere does on X11.
void TestHoverTracking::pointerFromWindowEvents()
{
    m_pointer.reset();
    platform::followPointerThroughWindowEvents();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    ImageButton *button = m_window->imgBut(1);
    QVERIFY(button);
    const QPoint inside(25, 40);
    QMouseEvent move(QEvent::MouseMove, inside, m_window->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(m_window->windowHandle(), &move);
    m_window->UpdateHover();
    QCOMPARE(button->backColor(), QColor(Qt::black));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_window->windowHandle(), &leave);
    m_window->UpdateHover();
    QCOMPARE(button->backColor(), QColor(Qt::white));
}

QTEST_MAIN(TestHoverTracking)
#include "tst_hover_tracking.moc"
