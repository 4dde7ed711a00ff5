#include "random_input.h"

#include "console_session.h"
#include "screen_checks.h"

#include <QImage>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QStringList keys = {
    u"Tab"_s,  u"shift+Tab"_s, u"Return"_s,    u"Escape"_s,   u"space"_s, u"BackSpace"_s,
    u"Up"_s,   u"Down"_s,      u"Page_Down"_s, u"Home"_s,     u"End"_s,   u"ctrl+a"_s,
    u"Left"_s, u"Right"_s,     u"Delete"_s,    u"KP_Enter"_s,
};

// Letters and what a profile file or a button line takes specially.
const QString alphabet = u"abcdefghijklmnopqrstuvwxyz0123456789   ,;=[]\"\\\u00e9"_s;

QString seconds(int milliseconds)
{
    return QString::number(milliseconds / 1000.0, 'f', 3);
}

} // namespace

RandomInput::RandomInput(ConsoleSession &session, quint32 seed)
    : m_session(session)
    , m_random(seed)
    , m_console(targetsOf(session.themeFile(u"Security1280.skn"_s), u"DEFAULT"_s,
                          {XSession::Width, XSession::Height}, {}))
    , m_input(targetsOf(session.themeFile(u"terminal.skn"_s), u"INPUT"_s,
                        QImage(session.themeFile(u"input.bmp"_s)).size(), {u"InputBox"_s}))
    , m_select(targetsOf(session.themeFile(u"Security.skn"_s), u"SELECT"_s,
                         QImage(session.themeFile(u"select.bmp"_s)).size(),
                         {u"Drivelist"_s, u"Dirlist"_s, u"Filelist"_s, u"InputBox"_s, u"ArgBox"_s}))
{}

QList<RandomInput::Target> RandomInput::targetsOf(const QString &skinFile, const QString &section,
                                                  QSize window, const QStringList &boxKeys)
{
    QList<Target> targets;
    for (int n = 1;; ++n) {
        const QString line =
            skinValue(skinFile, section, QString::number(n).rightJustified(2, u'0'));
        if (line.isEmpty())
            break;
        const QString kind = line.section(u',', 1, 1);
        if (kind == u"B"_s || kind == u"L"_s)
            targets.append({layoutRect(skinFile, section, line.section(u',', 0, 0), window),
                            line.section(u',', 9)});
    }
    for (const QString &key : boxKeys)
        targets.append({fieldsRect(skinValue(skinFile, section, key), 0), {}});
    return targets;
}

RandomInput::Front RandomInput::front()
{
    XSession &x = m_session.x();
    const QRegularExpression console(ConsoleSession::ConsoleTitle);
    const QList<XSession::Window> windows = x.visibleWindows();
    // The dialogs and prompts are modal: one in front takes all input.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (console.match(it->title).hasMatch())
            continue;
        const QRect geometry = x.geometry(it->id).value_or(QRect());
        if (QRegularExpression(ConsoleSession::InputTitle).match(it->title).hasMatch())
            return {geometry, m_input, false};
        if (QRegularExpression(ConsoleSession::SelectTitle).match(it->title).hasMatch())
            return {geometry, m_select, false};
        return {geometry, {}, false};
    }
    return {QRect(0, 0, XSession::Width, XSession::Height), m_console, true};
}

QRect RandomInput::pickTarget(const Front &front)
{
    if (front.targets.isEmpty() || m_random.bounded(10) == 0)
        return front.geometry;
    Target target = front.targets.at(m_random.bounded(int(front.targets.size())));
    // The console's Quit button would end most consoles within a minute, too soon for their
    // memory to tell anything: it is taken one time in ten.
    if (front.isConsole && target.command.compare(u"QUIT"_s, Qt::CaseInsensitive) == 0 &&
        m_random.bounded(10) != 0)
        target = front.targets.at(m_random.bounded(int(front.targets.size())));
    return target.rect.translated(front.geometry.topLeft());
}

QPoint RandomInput::pointIn(const QRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return rect.topLeft();
    return rect.topLeft() + QPoint(m_random.bounded(rect.width()), m_random.bounded(rect.height()));
}

QStringList RandomInput::pointerTo(QPoint at) const
{
    return {u"mousemove"_s, QString::number(at.x()), QString::number(at.y())};
}

QString RandomInput::typedText()
{
    if (m_random.bounded(3) == 0)
        return ConsoleSession::Password;
    QString text;
    for (int length = 1 + m_random.bounded(12); length > 0; --length)
        text += alphabet.at(m_random.bounded(int(alphabet.size())));
    return text;
}

QString RandomInput::step()
{
    const Front at = front();
    const int roll = m_random.bounded(100);
    if (roll < 15)
        return hover(at);
    if (roll < 45)
        return sweep(at);
    if (roll < 65)
        return click(at, 1);
    if (roll < 70)
        return click(at, 2);
    if (roll < 75)
        return drag(at);
    if (roll < 90)
        return key();
    return type();
}

QString RandomInput::hover(const Front &front)
{
    const QPoint at = pointIn(pickTarget(front));
    m_session.x().gesture(pointerTo(at));
    return u"move to %1,%2"_s.arg(at.x()).arg(at.y());
}

QString RandomInput::sweep(const Front &front)
{
    QList<QRect> buttons;
    for (const Target &target : front.targets) {
        if (!target.command.isEmpty())
            buttons.append(target.rect.translated(front.geometry.topLeft()));
    }
    QStringList commands;
    for (int moves = 3 + m_random.bounded(12); moves > 0; --moves) {
        const QRect to = buttons.isEmpty() ? pickTarget(front)
                                           : buttons.at(m_random.bounded(int(buttons.size())));
        commands << pointerTo(pointIn(to)) << u"sleep"_s << seconds(20 + m_random.bounded(80));
    }
    m_session.x().gesture(commands);
    return u"sweep: "_s + commands.join(u' ');
}

QString RandomInput::click(const Front &front, int clicks)
{
    const QPoint at = pointIn(pickTarget(front));
    m_session.x().gesture(pointerTo(at) + QStringList{u"click"_s, u"--repeat"_s,
                                                      QString::number(clicks), u"--delay"_s,
                                                      u"80"_s, u"1"_s});
    return u"%1 click at %2,%3"_s.arg(clicks == 1 ? u"single"_s : u"double"_s)
        .arg(at.x())
        .arg(at.y());
}

QString RandomInput::drag(const Front &front)
{
    const QPoint from = pointIn(pickTarget(front));
    const QPoint to = pointIn(front.geometry);
    m_session.x().gesture(pointerTo(from) + QStringList{u"mousedown"_s, u"1"_s} +
                          pointerTo((from + to) / 2) + pointerTo(to) +
                          QStringList{u"mouseup"_s, u"1"_s});
    return u"drag from %1,%2 to %3,%4"_s.arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
}

QString RandomInput::key()
{
    const QString name = keys.at(m_random.bounded(int(keys.size())));
    m_session.x().key(name);
    return u"key "_s + name;
}

QString RandomInput::type()
{
    const QString text = typedText();
    m_session.x().type(text);
    return u"type \""_s + text + u'"';
}
