#include "core/program_state.h"
#include "skin/animated_picture.h"
#include "skin/image_button.h"
#include "skin/layout_window.h"
#include "skin/tear_down_layout.h"
#include "skin_fixture.h"
#include "test_environment.h"

#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << QString(text).replace(testData(u"skin"_s), u"DATA"_s);
}

class Window : public RecordingWindow
{
public:
    Window() { resize(640, 480); }
    bool isQuitting() const override { return quitting; }
    bool quitting = false;
};

skin::Theme checkedIn(const QString &name)
{
    return {testData(u"skin"_s), u"\\Themes\\"_s + name + u'\\', u"Security"_s};
}

LayoutOutcome layOut(SkinnedWindow &window, const QString &section, bool animated = false,
                     int delay = 0)
{
    const skin::Theme theme = checkedIn(u"Test"_s);
    ProgramState &state = programState();
    state.ProgramDir = theme.programDir();
    state.ThemeDir = theme.themeDir();
    return LayoutWindow(window, theme, section, window.buttonTable(), window.animationTable(),
                        animated, delay, theme.consoleSkin());
}

QString animationState(Window &window, int a)
{
    const AnimationEntry &entry = window.animationTable().at(a);
    const AnimatedPicture *element = window.imgGif(a);
    const QTimer *timer = window.tmrAnim(a);
    return u"current %1, shows %2, timer %3%4"_s.arg(entry.current)
        .arg(element->shownFrame() + entry.first)
        .arg(timer->interval())
        .arg(timer->isActive() ? u" running"_s : QString());
}

// Everything a layout built and recorded, as text.
QStringList dump(Window &window, const LayoutOutcome &outcome, int before)
{
    QStringList out{u"lines %1, skipped %2, new elements %3"_s.arg(outcome.lines)
                        .arg(outcome.skipped)
                        .arg(window.controlCount() - before)};
    out += describeLayout(window);
    const ButtonTable &buttons = window.buttonTable();
    for (int i = 1; i <= buttons.count; ++i) {
        const ButtonEntry &b = buttons.at(i);
        out << u"button %1 of line %2: %3 over=%4 click=%5 command=%6"_s.arg(i).arg(b.line).arg(
            QString(b.picture).replace(testData(u"skin"_s), u"DATA"_s), b.overSound, b.clickSound,
            b.command);
    }
    const AnimationTable &animations = window.animationTable();
    for (int a = 1; a <= animations.animationCount; ++a) {
        const AnimationEntry &entry = animations.at(a);
        out << u"animation %1: frames %2-%3, "_s.arg(a).arg(entry.first).arg(entry.last) +
                   animationState(window, a);
        const AnimatedPicture *element = window.imgGif(a);
        out << u"  imgGif(%1): %2, %3 frames, %4x%5 picture"_s.arg(a)
                   .arg(geometryOf(*element))
                   .arg(element->frameCount())
                   .arg(element->picture().width())
                   .arg(element->picture().height());
        for (int f = 0; f < element->frameCount(); ++f)
            out << u"  frame %1: %2 ms"_s.arg(entry.first + f).arg(element->frameDelay(f));
        for (int tick = 0; tick < 3; ++tick) {
            window.tmrAnim_Timer(a);
            out << u"  after a tick: "_s + animationState(window, a);
        }
        window.quitting = true; // a tick while the window is being closed changes nothing
        window.tmrAnim_Timer(a);
        out << u"  after a tick while quitting: "_s + animationState(window, a);
        window.quitting = false;
    }
    const ProgramState &state = programState();
    out << u"theme picture %1, theme %2, last line read [%3]"_s.arg(state.ThemePictureIndex)
               .arg(state.ThemeName, state.INIValue);
    if (!window.pauses.isEmpty())
        out << u"%1 pauses of %2 ms"_s.arg(window.pauses.size()).arg(window.pauses.first());
    return out + warnings;
}

// Tears the layout down with the progressive closing of the state on, at 50 ms, where the
// theme's shell skin does not decide; the elements removed, the pauses and the repaints.
QStringList tearDown(Window &window, int before, const skin::Theme &theme)
{
    QStringList out{u"torn down:"_s};
    for (int i = before; i < window.controlCount(); ++i) {
        const QString name = QString::fromLatin1(window.control(i)->metaObject()->className());
        QObject::connect(window.control(i), &QObject::destroyed, [&out, name] { out << name; });
    }
    ProgramState &state = programState();
    state.InitialControlCount = before;
    state.Animated = true;
    state.AnimDelay = 50;
    window.pauses.clear();
    window.paints.clear();
    TearDownLayout(window, theme);
    const bool repainted = std::any_of(window.paints.cbegin(), window.paints.cend(),
                                       [&](const auto &p) { return p.elements > before; });
    return out << u"%1 pauses of %2 ms, repainted between: %3, %4 elements left"_s
                      .arg(window.pauses.size())
                      .arg(window.pauses.value(0))
                      .arg(repainted)
                      .arg(window.controlCount() - before);
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        warnings.clear();
        qInstallMessageHandler(collectWarnings);
        ProgramState &state = programState();
        state.INIValue.clear();
        state.ThemePictureIndex = 0;
        state.ThemeName.clear();
    }
    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        m_env.reset();
    }

    // Sections of the checked-in theme laid out (and torn down, under the shell skin of a
    // theme that turns the progressive closing on, off, or says nothing that converts),
    // against a golden dump of what was built and removed.
    void laysOutSections_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("animated");
        QTest::addColumn<QString>("tearDownTheme");
        for (const char *section : {"EVERY", "OVERRIDE", "SKIPPED", "KEYS", "ANIMATIONS", "LARGE",
                                    "OVER64", "PROGRESSIVE"})
            QTest::newRow(section) << QString::fromLatin1(section) << false << QString();
        QTest::newRow("PROGRESSIVE-animated") << u"PROGRESSIVE"_s << true << QString();
        for (const char *theme : {"On", "Off", "Bad", "Test"})
            QTest::newRow(qPrintable(u"TEARDOWN-"_s + QLatin1StringView(theme)))
                << u"TEARDOWN"_s << false << QString::fromLatin1(theme);
    }

    void laysOutSections()
    {
        QFETCH(QString, section);
        QFETCH(bool, animated);
        QFETCH(QString, tearDownTheme);
        Window window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int before = window.controlCount();
        window.paints.clear();
        const LayoutOutcome outcome = layOut(window, section, animated, 200);
        // Built progressively, each new element was painted before the next line was laid
        // out; built at once, none was painted before the last.
        int paintedInTurn = 0;
        for (int i = before; i < window.controlCount(); ++i) {
            paintedInTurn +=
                std::any_of(window.paints.cbegin(), window.paints.cend(), [&](const auto &p) {
                    return p.painted == window.control(i) && p.elements == i + 1;
                });
        }
        // The frames after the first come once each animation has been painted; one that no
        // part of the window shows is never painted and keeps its first frame.
        QVERIFY(QTest::qWaitFor([&window] {
            const auto animations = window.findChildren<AnimatedPicture *>();
            return std::none_of(animations.cbegin(), animations.cend(), [](const auto *a) {
                return a->waitsForFrames() && !a->visibleRegion().isEmpty();
            });
        }));
        QStringList out = dump(window, outcome, before);
        out << u"%1 painted in turn"_s.arg(paintedInTurn);
        if (!tearDownTheme.isEmpty())
            out += tearDown(window, before, checkedIn(tearDownTheme));
        compareWithGolden(out.join(u'\n').toUtf8() + '\n',
                          testData(u"skin/layout/"_s + QTest::currentDataTag() + u".golden"_s));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
