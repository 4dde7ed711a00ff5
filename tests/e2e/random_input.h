#pragma once

#include <QList>
#include <QRandomGenerator>
#include <QRect>
#include <QString>

class ConsoleSession;

// Seeded random input to the console and its dialogs, as a restless person gives it: the pointer
// on and across buttons (their over sounds replacing one another), clicks, double clicks and
// drags on buttons, lists and boxes, keys and typed text, all to whichever of the console, its
// dialogs and the system's prompts is in front. One seed gives one sequence of choices.
class RandomInput
{
public:
    RandomInput(ConsoleSession &session, quint32 seed);

    // Gives one input; what it gave, for the log.
    QString step();

private:
    struct Target
    {
        QRect rect;      // on the window
        QString command; // of a button
    };
    struct Front
    {
        QRect geometry; // on the screen
        QList<Target> targets;
        bool isConsole = true;
    };

    static QList<Target> targetsOf(const QString &skinFile, const QString &section, QSize window,
                                   const QStringList &boxKeys);
    Front front();
    QRect pickTarget(const Front &front);
    QStringList pointerTo(QPoint at) const;
    QPoint pointIn(const QRect &rect);
    QString typedText();

    QString hover(const Front &front);
    QString sweep(const Front &front);
    QString click(const Front &front, int clicks);
    QString drag(const Front &front);
    QString key();
    QString type();

    ConsoleSession &m_session;
    QRandomGenerator m_random;
    QList<Target> m_console;
    QList<Target> m_input;
    QList<Target> m_select;
};
