#include "core/program_state.h"
#include "platform/pointer_source.h"
#include "skin/image_button.h"
#include "skin/layout_window.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QCursor>
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

// The checked-in theme's b1.bmp and b2.bmp, and b1's over picture b1a.bmp.
constexpr QRgb normalColour = 0xff008080;
constexpr QRgb overColour = 0xffff8000;

bool isOver(const ImageButton *button)
{
    return button && button->backColor() == Qt::black;
}

QRgb shownColour(const ImageButton *button)
{
    return button ? button->picture().toImage().pixel(0, 0) : 0;
}

} // namespace

class TestHoverTracking : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_theme = std::make_unique<ThemeFixture>(m_env->root(), u"Test"_s);
        m_theme->copyCheckedIn();
        m_pointer = std::make_unique<FakePointer>();
        m_window = std::make_unique<HoverWindow>();
        m_sounds.clear();
        m_window->setSoundPlayer([this](const QString &name) { m_sounds << name; });
        m_window->resize(200, 100);
        // Far to the right, where a position that went through rounded twips factors would be
        // off by several pixels (the test runs at a font DPI where 1440 / DPI is not whole).
        m_window->move(1000, 200);
        const skin::Theme &theme = m_theme->theme();
        LayoutWindow(*m_window, theme, u"HOVER"_s, m_window->buttonTable(),
                     m_window->animationTable(), false, 0, theme.consoleSkin());
        QCOMPARE(m_window->buttonTable().count, 2);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // The template lies under the same rectangle: it must never be taken for a button.
        m_window->imgBut(0)->setGeometry(10, 20, 30, 40);
    }
    void cleanup()
    {
        m_window.reset();
        m_pointer.reset();
        m_theme.reset();
        m_env.reset();
    }

    void followsThePointer_data() { addTextRows({"walk", "states", "sounds"}, "tables/hover.txt"); }

    void followsThePointer()
    {
        QFETCH(QString, walk);
        QFETCH(QString, states);
        QFETCH(QString, sounds);
        const QStringList steps = walk.split(u' ');
        ImageButton *button = m_window->imgBut(1);
        QVERIFY(button);
        const QHash<QString, QPoint> points{{"in", {25, 40}},      {"out", {5, 5}},
                                            {"left", {10, 40}},    {"right", {40, 40}},
                                            {"top", {25, 20}},     {"bottom", {25, 60}},
                                            {"covered", {25, 40}}, {"inside-left", {12, 40}}};
        for (int s = 0; s < steps.size(); ++s) {
            m_window->quitting = m_window->quitting || steps[s] == "quit";
            pass(points.value(steps[s]), steps[s] == "covered" ? &m_other : button);
            QCOMPARE(isOver(button), states[s] == u'O');
            QCOMPARE(shownColour(button), isOver(button) ? overColour : normalColour);
        }
        QCOMPARE(m_sounds, QStringList(sounds.toInt(), u"over"_s));
        QCOMPARE(m_pointer->samples, m_window->quitting ? 0 : steps.size());
        if (!m_window->quitting)
            QCOMPARE(programState().PointerY, points.value(steps.last()).y());
        QVERIFY(!isOver(m_window->imgBut(2)));
        QVERIFY(!isOver(m_window->imgBut(0)));
    }

    void anOverPictureThatDoesNotLoad()
    {
        ImageButton *button = m_window->imgBut(2);
        pass({110, 40}, button);
        pass({110, 40}, button);
        QVERIFY(isOver(button));
        QCOMPARE(shownColour(button), normalColour);
        QCOMPARE(m_sounds.size(), 1);
        // The normal picture has gone too: the button shows what it showed before.
        QVERIFY(QFile::remove(m_theme->themeFolder() + u"/b2.bmp"_s));
        pass({5, 5}, nullptr);
        QVERIFY(!isOver(button));
        QCOMPARE(shownColour(button), normalColour);
    }

    // The pointer leaving the window ends the over picture, with the system's pointer and with the
    // one known from window events alone (Wayland; it stays for the process once asked for: last).
    void aLeaveEndsTheOverPicture()
    {
        m_pointer.reset();
        for (const bool fromEvents : {false, true}) {
            if (fromEvents)
                platform::followPointerThroughWindowEvents();
            m_window->move(100, 200); // on the screen, where the system finds it under the pointer
            QCursor::setPos(m_window->mapToGlobal(QPoint(25, 40)));
            QTRY_VERIFY(isOver(m_window->imgBut(1)));
            QCursor::setPos(m_window->mapToGlobal(QPoint(-50, 40)));
            QTRY_VERIFY(!isOver(m_window->imgBut(1)));
        }
    }

private:
    // Moves the pointer to a point of the window with `under` below it and runs one pass.
    void pass(QPoint local, QWidget *under)
    {
        m_pointer->screen = QPoint(1000, 200) + local;
        m_pointer->under = under;
        m_window->UpdateHover();
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ThemeFixture> m_theme;
    QStringList m_sounds;
    std::unique_ptr<FakePointer> m_pointer;
    std::unique_ptr<HoverWindow> m_window;
    QWidget m_other;
};

QTEST_MAIN(TestHoverTracking)
#include "tst_hover_tracking.moc"
