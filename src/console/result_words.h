#pragma once

#include <QList>
#include <QString>

class QLabel;

namespace skin {
struct LineFacts;
}

// What a screen reader hears of what came of the person's action: the words a sighted person
// sees where the theme shows some, else the console's own few words. Pure.
namespace console {

// The texts the labels show (labels left out by the skin, or empty, are skipped), as sentences.
[[nodiscard]] QString labelWords(const QList<const QLabel *> &labels);

// How lines of the protection and switch lists read and what they hold: a header is a heading,
// an entry is a line named by its text after the prefix, checked when the button asks for the
// password or the switch is on.
[[nodiscard]] skin::LineFacts protectionLineFacts(const QString &line);
[[nodiscard]] skin::LineFacts switchLineFacts(const QString &line);

// A switch line after a flip: its key and its state ("Clock off").
[[nodiscard]] QString switchWords(const QString &line);

// The console's own words.
[[nodiscard]] QString protectionWords(bool isProtected);
[[nodiscard]] QString themeChosenWords(const QString &theme);
[[nodiscard]] QString themeAppliedWords(const QString &theme);
inline const QString noButtonChosenWords = QStringLiteral("Choose a button in the list first");
inline const QString wrongPasswordWords = QStringLiteral("Wrong password");
inline const QString ownButtonCommandWords =
    QStringLiteral("This button cannot run a console command");

} // namespace console
