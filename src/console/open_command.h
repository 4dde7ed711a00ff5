#pragma once

#include <QString>
#include <QStringView>

// Button commands that are no keyword: handed to the desktop to open.
namespace console {

// A command split into the file to open and its parameters:
// - a command that starts with a double quote: the file is what lies between it and the next
//   double quote, the parameters everything after that quote, a leading blank included; with
//   no closing quote the file is all the rest and there are no parameters;
// - otherwise, with a blank at the second character or later: the file is the text before the
//   first such blank, the parameters the text after it;
// - otherwise (one word, also one that only starts with a blank): the file is the whole
//   command, no parameters.
struct OpenTarget
{
    QString file;
    QString parameters;
};
[[nodiscard]] OpenTarget splitOpenCommand(QStringView text);

} // namespace console

// Opens a command the way the desktop opens a file (platform::shellOpen), in the folder
// ProgramDir: a program starts with its parameters, anything else goes to the default
// application. Every failure is silent.
void OpenCommand(const QString &text);
