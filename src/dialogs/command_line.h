#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The command line the select dialog edits: a program path, in double quotes when it contains
// a blank, then one blank and the arguments when there are any. All functions are pure.
namespace dialogs {

struct CommandLine
{
    QString program;
    QString arguments;
};

// Splits text into program and arguments. When text starts with a double quote, the program is
// what lies between it and the next double quote (all the rest when there is none) and the
// arguments are what follows that closing quote; otherwise the program is the text up to the
// first blank and the arguments the text after it. Both are trimmed of blanks (spaces) at
// their ends. "" gives two empty parts.
[[nodiscard]] CommandLine splitCommandLine(QStringView text);

// The command line of program and arguments: program as it is, in double quotes when it
// contains a blank, then, when arguments is not empty, one blank and arguments as they are.
// An empty program with arguments gives a line that starts with a blank; both empty give "".
[[nodiscard]] QString joinCommandLine(const QString &program, const QString &arguments);

// Where a program lies: the folder is the path up to and including its last separator ("/"
// and "\" both separate), the file name what follows it.
struct ProgramLocation
{
    QString folder;
    QString fileName;
};

// The location of program; std::nullopt when it is empty or has no separator, so that it names
// no folder.
[[nodiscard]] std::optional<ProgramLocation> programLocation(QStringView program);

// The index in roots (mount points such as "/" or "/home") of the one whose folder holds path:
// the longest root that equals path or is followed in it by "/"; the first of equal ones wins.
// Names are compared exactly. -1 when no root holds path (a relative path, for one).
[[nodiscard]] int rootHolding(const QStringList &roots, QStringView path);

} // namespace dialogs
