#include "dialogs/command_line.h"
#include "skin/box_description.h"
#include "skin/hover_tracking.h"
#include "skin/layout_line.h"
#include "skin/line_look.h"
#include "skin/theme.h"
#include "skin/value_forms.h"
#include "test_environment.h"

#include <QLineEdit>
#include <QTest>

using namespace skin;
using namespace Qt::StringLiterals;

namespace {

QString orDash(const std::optional<qint32> &v)
{
    return v ? QString::number(*v) : u"-"_s;
}

QString describe(const BoxDescription &b)
{
    const auto colour = [](const auto &c) {
        return orDash(c[0]) + u'/' + orDash(c[1]) + u'/' + orDash(c[2]);
    };
    return u"%1 %2 %3 %4 back=%5 text=%6 font=[%7] size=%8"_s.arg(
        orDash(b.left), orDash(b.top), orDash(b.width), orDash(b.height), colour(b.backColour),
        colour(b.textColour), b.fontName.value_or(u"-"_s),
        b.fontSize ? QString::number(*b.fontSize) : u"-"_s);
}

QString applied(const QString &value)
{
    QLineEdit box;
    box.setGeometry(20, 30, 200, 24);
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Text, QColor(40, 50, 60));
    box.setPalette(palette);
    box.setFont(QFont(u"Serif"_s, 11));
    applyBoxDescription(box, parseBoxDescription(value));
    const QRect r = box.geometry();
    return u"%1,%2 %3x%4 back=%5 text=%6 font=%7 %8"_s.arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(box.palette().color(QPalette::Base).name(), box.palette().color(QPalette::Text).name(),
             box.font().family())
        .arg(box.font().pointSizeF());
}

QString describe(const LineGeometry &g)
{
    QStringList parts;
    for (const GeometryValue &v : {g.left, g.top, g.width, g.height})
        parts << QString::number(v.number) + (v.percent ? u"%"_s : QString());
    return parts.join(u',');
}

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
    return u"skip: reason %1"_s.arg(int(std::get<NotLaidOut>(line).reason));
}

// "left,top,width,height B|L widthxheight"
QString placed(const QString &input)
{
    const QStringList words = input.split(u' ');
    GeometryValue v[4];
    for (int i = 0; i < 4; ++i) {
        const QString field = words[0].section(u',', i, i);
        v[i] = {field.chopped(field.endsWith(u'%') ? 1 : 0).toDouble(), field.endsWith(u'%')};
    }
    const QRect r = placeElement(
        {v[0], v[1], v[2], v[3]}, words[1] == u"B" ? EdgeRule::Negative : EdgeRule::NotPositive,
        words[2].section(u'x', 0, 0).toDouble(), words[2].section(u'x', 1, 1).toDouble());
    return u"%1,%2 %3x%4"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString read(const QString &form, const QString &in)
{
    if (form == u"colour") {
        const std::optional<quint32> c = toColour(in);
        return c ? QString::number(*c) : u"-"_s;
    }
    if (form == u"mask colour")
        return QString::number(maskColourValue(in));
    if (form.endsWith(u" fields"))
        return fieldList(in, form.section(u' ', 0, 0).toInt()).join(u'|') + u'|';
    if (form == u"box")
        return describe(parseBoxDescription(in));
    if (form == u"apply box")
        return applied(in);
    if (form == u"layout line")
        return describe(parseLayoutLine(in));
    if (form == u"place")
        return placed(in);
    if (form == u"layout key")
        return layoutKey(in.toInt());
    if (form == u"override file")
        return ThemeFile(in).overrideFile().path();
    if (form == u"theme name")
        return Theme(u"/opt/k"_s, in, {}).name();
    if (form == u"preview picture") {
        const Theme blue(u"/opt/k"_s, u"\\Themes\\Blue\\"_s, {});
        return in.isEmpty() ? blue.previewPicture() : blue.previewPicture(in);
    }
    if (form == u"over picture")
        return overPicturePath(in);
    if (form == u"console skin") {
        return Theme::withConsoleSkinFor(testData(u"skin"_s), u"\\Themes\\"_s + in + u'\\',
                                         u"Security1024"_s, u"Security"_s)
            .skinName();
    }
    if (form == u"command line") {
        const dialogs::CommandLine split = dialogs::splitCommandLine(in);
        return split.program + u'|' + split.arguments + u'|' +
               dialogs::joinCommandLine(split.program, split.arguments);
    }
    if (form == u"program location") {
        const auto location = dialogs::programLocation(in);
        return location ? location->folder + u'|' + location->fileName : u"-"_s;
    }
    if (form == u"root holding") {
        const QStringList roots{u"/"_s, u"/home"_s, u"/home/user/usb"_s, u"/mnt/data"_s};
        return QString::number(dialogs::rootHolding(roots, in));
    }
    if (form == u"focus colour") { // back, text: the frame, its contrast, the chosen line
        const QColor back(in.section(u' ', 0, 0)), text(in.section(u' ', 1, 1));
        const QColor focus = focusColour(back, text);
        return u"%1 %2:1 %3"_s.arg(focus.name())
            .arg(contrastRatio(focus, back), 0, 'f', 2)
            .arg(chosenColour(back, text).name());
    }
    return u"unknown form"_s;
}

} // namespace

// Every value form read from the lines of a golden file, each followed by what it reads as.
class TestValueTables : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryForm()
    {
        const QString golden = testData(u"skin/values.golden"_s);
        QString form, out;
        for (const QString &line : QString::fromUtf8(readBytes(golden)).split(u'\n')) {
            if (line.startsWith(u'['))
                form = line.mid(1).chopped(1);
            if (line.startsWith(u'='))
                continue;
            out += line + u'\n';
            if (line.startsWith(u'<'))
                out += u'=' + read(form, line.mid(1)) + u'\n';
        }
        compareWithGolden(out.chopped(1).toUtf8(), golden);
    }
};

QTEST_MAIN(TestValueTables)
#include "tst_value_tables.moc"
