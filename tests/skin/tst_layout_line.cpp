#include "skin/layout_line.h"

#include <QTest>

using namespace skin;
using namespace Qt::StringLiterals;

namespace {

QString describe(const LineGeometry &g)
{
    QStringList parts;
    for (const GeometryValue &v : {g.left, g.top, g.width, g.height})
        parts << QString::number(v.number) + (v.percent ? u"%"_s : QString());
    return parts.join(u',');
}

// One line of text per parsed line, so that a table row states everything that was read.
QString describe(const LayoutLine &line)
{
    if (const auto *t = std::get_if<TextElementLine>(&line)) {
        return u"%1#%2 %3 %4 back=%5 text=%6 font=%7 size=%8"_s
            .arg(t->kind == TextElementLine::Kind::List ? u"L" : u"T")
            .arg(t->index)
            .arg(t->name, describe(t->geometry))
            .arg(t->backColour)
            .arg(t->textColour)
            .arg(t->fontName, t->fontSize ? QString::number(*t->fontSize) : u"none"_s);
    }
    if (const auto *p = std::get_if<PictureLine>(&line))
        return u"P %1%2 %3"_s.arg(p->name, p->isThemePicture ? u" theme"_s : QString(),
                                  describe(p->geometry));
    if (const auto *b = std::get_if<ImageButtonLine>(&line)) {
        return u"B %1 %2 over=%3 click=%4 flag=%5 cmd=%6"_s.arg(
            b->name, describe(b->geometry), b->button.overSound(), b->button.clickSound(),
            *b->button.field(ButtonLine::Field::Flag), b->button.command());
    }
    if (const auto *a = std::get_if<AnimationLine>(&line))
        return u"A %1 %2"_s.arg(a->name, describe(a->geometry));
    switch (std::get<NotLaidOut>(line).reason) {
    case NotLaidOut::Reason::UnknownKind:
        return u"skip: kind"_s;
    case NotLaidOut::Reason::TooFewFields:
        return u"skip: fields"_s;
    case NotLaidOut::Reason::MissingNumber:
        return u"skip: number"_s;
    }
    return {};
}

GeometryValue field(const QString &text)
{
    const auto number = text.chopped(text.endsWith(u'%') ? 1 : 0).toDouble();
    return {number, text.endsWith(u'%')};
}

} // namespace

class TestLayoutLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void place_data();
    void place();
    void keys();
};

void TestLayoutLine::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("parsed");

    const QString colours = u"0,128,255,300,-1,7"_s;
    QTest::newRow("button")
        << u"x,B,-100,10,80,20,over.wav,click.wav,False,QUIT"_s
        << u"B x -100,10,80,20 over=over.wav click=click.wav flag=False cmd=QUIT"_s;
    QTest::newRow("command keeps commas")
        << u"go.bmp,B,1,2,3,4,,,True,notepad.exe a,b, c"_s
        << u"B go.bmp 1,2,3,4 over= click= flag=True cmd=notepad.exe a,b, c"_s;
    QTest::newRow("button without command") << u"x,B,1,2,3,4,o,c,True"_s << u"skip: fields"_s;
    QTest::newRow("lower-case kind") << u"x,b,1,2,3,4,o,c,True,QUIT"_s << u"skip: kind"_s;
    QTest::newRow("empty line") << QString() << u"skip: fields"_s;
    QTest::newRow("geometry that is no number")
        << u"x,B,px,10,80,20,o,c,F,Q"_s << u"skip: number"_s;
    QTest::newRow("empty or blank geometry reads 0")
        << u"x,B,, ,80,,o,c,F,Q"_s << u"B x 0,0,80,0 over=o click=c flag=F cmd=Q"_s;
    QTest::newRow("percent only for pictures")
        << u"x,B,50%,10,80,20,o,c,F,Q"_s << u"B x 50,10,80,20 over=o click=c flag=F cmd=Q"_s;

    QTest::newRow("list secinfo")
        << u"secinfo,L,10,20,0,-10,"_s + colours + u",Arial,9.75"_s
        << u"L#1 secinfo 10,20,0,-10 back=16744448 text=459007 font=Arial size=9.75"_s;
    QTest::newRow("list secturn")
        << u"secturn,L,0,0,1,1,"_s + colours + u",Arial,10,5"_s
        << u"L#3 secturn 0,0,1,1 back=16744448 text=459007 font=Arial size=10"_s;
    QTest::newRow("list other name")
        << u"SECINFO,L,0,0,1,1,"_s + colours + u",,big"_s
        << u"L#2 SECINFO 0,0,1,1 back=16744448 text=459007 font= size=none"_s;
    QTest::newRow("list without font size")
        << u"secinfo,L,0,0,1,1,"_s + colours + u",Arial"_s << u"skip: fields"_s;
    QTest::newRow("label seclb")
        << u"seclb,T,0,0,1,1,"_s + colours + u",Arial,0"_s
        << u"T#1 seclb 0,0,1,1 back=16744448 text=459007 font=Arial size=none"_s;
    QTest::newRow("label name compared exactly")
        << u"seclb ,T,0,0,1,1,"_s + colours + u",A,8"_s
        << u"T#5 seclb  0,0,1,1 back=16744448 text=459007 font=A size=8"_s;

    QTest::newRow("picture percent")
        << u"back.bmp,P,50%,0,100%,-10"_s << u"P back.bmp 50%,0,100%,-10"_s;
    QTest::newRow("theme picture")
        << u"ThemePic,P,0,0,10,10,more"_s << u"P ThemePic theme 0,0,10,10"_s;
    QTest::newRow("percent without number") << u"x,P,%,0,10,10"_s << u"skip: number"_s;
    QTest::newRow("animation") << u"anim.gif,A,1,2,3,4"_s << u"A anim.gif 1,2,3,4"_s;
}

void TestLayoutLine::parse()
{
    QFETCH(QString, line);
    QFETCH(QString, parsed);
    QCOMPARE(describe(parseLayoutLine(line)), parsed);
}

void TestLayoutLine::place_data()
{
    QTest::addColumn<QStringList>("geometry"); // left, top, width, height as written
    QTest::addColumn<bool>("button");          // the rule of buttons and animations
    QTest::addColumn<double>("insideWidth");
    QTest::addColumn<double>("insideHeight");
    QTest::addColumn<QRect>("rect");

    const auto g = [](const char *l, const char *t, const char *w, const char *h) {
        return QStringList{QString::fromLatin1(l), QString::fromLatin1(t), QString::fromLatin1(w),
                           QString::fromLatin1(h)};
    };
    QTest::newRow("left from the right")
        << g("-100", "10", "80", "20") << true << 640.0 << 480.0 << QRect(540, 10, 80, 20);
    QTest::newRow("list width 0") << g("40", "0", "0", "10") << false << 640.0 << 480.0
                                  << QRect(40, 0, 600, 10);
    QTest::newRow("button width 0")
        << g("40", "0", "0", "0") << true << 640.0 << 480.0 << QRect(40, 0, 0, 0);
    QTest::newRow("button width -20")
        << g("40", "0", "-20", "10") << true << 640.0 << 480.0 << QRect(40, 0, 580, 10);
    QTest::newRow("top and height from the bottom")
        << g("0", "-30", "10", "0") << false << 640.0 << 480.0 << QRect(0, 450, 10, 30);
    QTest::newRow("percent of height")
        << g("0", "50%", "25%", "25%") << false << 640.0 << 480.0 << QRect(0, 240, 160, 120);
    QTest::newRow("negative percent")
        << g("-10%", "0", "0%", "10") << false << 640.0 << 480.0 << QRect(576, 0, 64, 10);
    QTest::newRow("plain fractions")
        << g("10.5", "11.5", "2.5", "3.5") << false << 640.0 << 480.0 << QRect(10, 12, 2, 4);
    QTest::newRow("real inside size")
        << g("-100", "0", "0", "10") << false << 641.5 << 480.0 << QRect(542, 0, 100, 10);
    QTest::newRow("real inside size, even")
        << g("-100", "0", "0", "10") << false << 640.5 << 480.0 << QRect(540, 0, 100, 10);
    QTest::newRow("starts past the edge")
        << g("700", "0", "0", "10") << false << 640.0 << 480.0 << QRect(700, 0, 0, 10);
    // Found by fuzzing: the rectangle's far edge overflowed.
    QTest::newRow("beyond a widget's range")
        << g("2147483647", "-99999999999", "2147483647", "1e300") << true << 640.0 << 480.0
        << QRect(16777215, -16777215, 16777215, 16777215);
    QTest::newRow("lowest left on an empty window")
        << g("-2147483648", "0", "0", "0") << true << 0.0 << 0.0 << QRect(-16777215, 0, 0, 0);
}

void TestLayoutLine::place()
{
    QFETCH(QStringList, geometry);
    QFETCH(bool, button);
    QFETCH(double, insideWidth);
    QFETCH(double, insideHeight);
    QFETCH(QRect, rect);
    const LineGeometry g{field(geometry[0]), field(geometry[1]), field(geometry[2]),
                         field(geometry[3])};
    QCOMPARE(placeElement(g, button ? EdgeRule::Negative : EdgeRule::NotPositive, insideWidth,
                          insideHeight),
             rect);
}

void TestLayoutLine::keys()
{
    QCOMPARE(layoutKey(1), u"01"_s);
    QCOMPARE(layoutKey(100), u"100"_s);
}

QTEST_GUILESS_MAIN(TestLayoutLine)
#include "tst_layout_line.moc"
