#include "skin/box_description.h"

#include <QLineEdit>
#include <QTest>

using skin::BoxDescription;

namespace {

using Colour = std::array<std::optional<qint32>, 3>;

// One line per field, "-" for a field that is not given, so rows compare as text.
QString describe(const BoxDescription &box)
{
    const auto number = [](const std::optional<qint32> &v) {
        return v ? QString::number(*v) : QString("-");
    };
    const auto colour = [&](const Colour &c) {
        return number(c[0]) + "/" + number(c[1]) + "/" + number(c[2]);
    };
    return QString("%1 %2 %3 %4 back=%5 text=%6 font=[%7] size=%8")
        .arg(number(box.left), number(box.top), number(box.width), number(box.height),
             colour(box.backColour), colour(box.textColour), box.fontName.value_or("-"),
             box.fontSize ? QString::number(*box.fontSize) : QString("-"));
}

} // namespace

class TestBoxDescription : public QObject
{
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void appliesOnlyWhatIsGiven();
    void maskColour_data();
    void maskColour();
};

void TestBoxDescription::parses_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("all twelve fields")
        << "130,116,300,26,9,15,24,150,214,245,DejaVu Sans Mono,14"
        << "130 116 300 26 back=9/15/24 text=150/214/245 font=[DejaVu Sans Mono] size=14";
    QTest::newRow("font size is all the text after the eleventh comma")
        << "1,2,3,4,0,0,0,0,0,0,Courier New,12,5"
        << "1 2 3 4 back=0/0/0 text=0/0/0 font=[Courier New] size=12";
    QTest::newRow("font name taken exactly")
        << "1,2,3,4,0,0,0,0,0,0, Sans ,9"
        << "1 2 3 4 back=0/0/0 text=0/0/0 font=[ Sans ] size=9";
    QTest::newRow("single-precision size")
        << "1,2,3,4,0,0,0,0,0,0,Sans,10.1"
        << "1 2 3 4 back=0/0/0 text=0/0/0 font=[Sans] size=" + QString::number(double(10.1f));
    QTest::newRow("fewer fields") << "10,20"
                                  << "10 20 - - back=-/-/- text=-/-/- font=[-] size=-";
    QTest::newRow("empty and blank fields keep the design")
        << "10,,300, ,255,,0,,,,,"
        << "10 - 300 - back=255/-/0 text=-/-/- font=[-] size=-";
    QTest::newRow("empty value") << ""
                                 << "- - - - back=-/-/- text=-/-/- font=[-] size=-";
    QTest::newRow("numbers by the leading-number rule, half to even")
        << "10.5,11.5,12px,x"
        << "10 12 12 0 back=-/-/- text=-/-/- font=[-] size=-";
    QTest::newRow("negative size reads 0, position stays")
        << "-5,-6,-7,-8"
        << "-5 -6 0 0 back=-/-/- text=-/-/- font=[-] size=-";
    // Found by fuzzing: applying such a box overflowed its far edge.
    QTest::newRow("geometry limited to a widget's range")
        << "2,-99999999999,22222222222222222,2147483647"
        << "2 -16777215 16777215 16777215 back=-/-/- text=-/-/- font=[-] size=-";
    QTest::newRow("colour components limited")
        << "0,0,0,0,300,-4,128,256,1,2"
        << "0 0 0 0 back=255/0/128 text=255/1/2 font=[-] size=-";
    QTest::newRow("font size without a number")
        << "0,0,0,0,0,0,0,0,0,0,Sans,big"
        << "0 0 0 0 back=0/0/0 text=0/0/0 font=[Sans] size=-";
    QTest::newRow("font size zero") << "0,0,0,0,0,0,0,0,0,0,Sans,0"
                                    << "0 0 0 0 back=0/0/0 text=0/0/0 font=[Sans] size=-";
    QTest::newRow("font size below single precision")
        << "0,0,0,0,0,0,0,0,0,0,Sans,0.00000000000000000000000000000000000000000000001"
        << "0 0 0 0 back=0/0/0 text=0/0/0 font=[Sans] size=-";
    QTest::newRow("absurd font size") << "0,0,0,0,0,0,0,0,0,0,Sans,100000"
                                      << "0 0 0 0 back=0/0/0 text=0/0/0 font=[Sans] size=-";
}

void TestBoxDescription::parses()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(describe(skin::parseBoxDescription(value)), expected);
}

void TestBoxDescription::appliesOnlyWhatIsGiven()
{
    QLineEdit box;
    box.setGeometry(20, 30, 200, 24);
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Text, QColor(40, 50, 60));
    box.setPalette(palette);
    QFont font = box.font();
    font.setFamily("Serif");
    font.setPointSizeF(11);
    box.setFont(font);

    skin::applyBoxDescription(box, skin::parseBoxDescription(u",5,,40,255,,,,,70,,"));
    QCOMPARE(box.geometry(), QRect(20, 5, 200, 40));
    QCOMPARE(box.palette().color(QPalette::Base), QColor(255, 20, 30));
    QCOMPARE(box.palette().color(QPalette::Text), QColor(40, 50, 70));
    QCOMPARE(box.font().family(), QString("Serif"));
    QCOMPARE(box.font().pointSizeF(), 11.0);
}

void TestBoxDescription::maskColour_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<quint32>("expected");
    QTest::newRow("blue is the rest of the value") << "1,2,3,4" << (1u + 2u * 256 + 3u * 65536);
    QTest::newRow("missing blue") << "255,128" << (255u + 128u * 256);
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("limited") << "300,-1,256" << (255u + 255u * 65536);
}

void TestBoxDescription::maskColour()
{
    QFETCH(QString, value);
    QFETCH(quint32, expected);
    QCOMPARE(skin::maskColourValue(value), expected);
}

QTEST_MAIN(TestBoxDescription)
#include "tst_box_description.moc"
