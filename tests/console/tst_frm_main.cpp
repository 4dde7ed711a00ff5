#include "console/frm_main.h"
#include "core/program_state.h"
#include "core/settings_store.h"
#include "platform/services.h"
#include "test_environment.h"

#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The console, except that ending the program ends this test object instead of the process.
class TestConsole : public frmMain
{
public:
    bool ended = false;

private:
    platform::ServicesOverride m_noExit{{.endProcess = [this] { ended = true; }}};
};

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsLaysOutAndEndsNewestFirst();
    void exitRequestEndsTheConsole();

private:
    void writeSkin(const QString &backGround);

    std::unique_ptr<TestEnvironment> m_env;
};

void TestFrmMain::init()
{
    m_env = std::make_unique<TestEnvironment>();
    programState() = ProgramState();
    QVERIFY(settings::save(settings::application, u"Default"_s, u"ProgramDir"_s, m_env->root()));
    QVERIFY(
        settings::save(settings::application, u"Default"_s, u"ThemeDir"_s, u"\\Themes\\Test\\"_s));
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QVERIFY(picture.save(m_env->path(u"Themes/Test/b1.bmp"_s)));
    writeBytes(m_env->path(u"Themes/Test/terminal.skn"_s),
               "[DEFAULT]\nAnimated=False\nAnimDelay=7\n");
}

void TestFrmMain::cleanup()
{
    m_env.reset();
}

void TestFrmMain::writeSkin(const QString &backGround)
{
    const QString skin = u"[DEFAULT]\nBackGround=%1\n"
                         "01=secinfo,L,10,10,100,50,0,0,0,255,255,255,Sans,9\n"
                         "02=b1.bmp,B,-50,10,40,20,,,False,QUIT\n"
                         "03=b1.bmp,B,-50,40,40,20,,,True,PASSWORD\n"_s.arg(backGround);
    writeBytes(m_env->path(u"Themes/Test/Security.skn"_s), skin.toUtf8());
}

void TestFrmMain::loadsLaysOutAndEndsNewestFirst()
{
    writeSkin(u"300,128,255"_s);
    TestConsole console;

    QVERIFY(console.Form_Load());

    const ProgramState &state = programState();
    QVERIFY(console.isVisible());
    QCOMPARE(console.palette().color(QPalette::Window), QColor(255, 128, 255));
    QVERIFY(console.cmdFake->isHidden());
    // Six templates, tmrMouse, File1, tmrExit and cmdFake.
    QCOMPARE(state.InitialControlCount, 10);
    QCOMPARE(state.SkinName, u"Security"_s);
    QCOMPARE(state.AnimDelay, 7);
    QCOMPARE(state.consoleButtons.count, 2);
    QCOMPARE(state.consoleButtons.at(2).command, u"PASSWORD"_s);
    QCOMPARE(console.imgBut(2)->x(), console.width() - 50);
    QCOMPARE(console.controlCount(), 13);

    console.EndProgram();

    QVERIFY(console.Quitting);
    QVERIFY(console.ended);
    QCOMPARE(console.controlCount(), 10);
    QVERIFY(!console.lstBox(1));
    QVERIFY(console.lstBox(0));
}

void TestFrmMain::exitRequestEndsTheConsole()
{
    writeSkin(u"0,0,0"_s);
    TestConsole console;
    QVERIFY(console.Form_Load());
    QVERIFY(!console.ended);

    QVERIFY(
        settings::save(settings::application, u"EXIT"_s, u"KESTA Terminal - Security"_s, u"1"_s));

    QTRY_VERIFY_WITH_TIMEOUT(console.ended, 5000);
    QVERIFY(!console.tmrExit->isActive());
    QCOMPARE(console.controlCount(), 10);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frm_main.moc"
