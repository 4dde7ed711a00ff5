#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace skin {

// Tells assistive technology what came of something the person did, as a notification of the
// window: a screen reader speaks it without moving the focus. Politely: while the window does
// not have the keyboard (a dialog just closed), the words wait until it has it again and the
// reader has told where the focus is; words that come while others wait are told with them.
class Announcer : public QObject
{
    Q_OBJECT

public:
    // The announcer of window, made on first use; it lives as long as the window.
    static Announcer &of(QWidget &window);

    // The words last told (what the notification reads).
    QString words() const { return m_words; }

    void announce(const QString &words);

signals:
    // Every announcement, as it is made.
    void announced(const QString &words);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit Announcer(QWidget &window);
    void tellLater();
    void tell();

    QWidget &m_window;
    QStringList m_waiting;
    QString m_words;
};

// Announcer::of(window).announce(words); nothing for empty words.
void announce(QWidget &window, const QString &words);

} // namespace skin
