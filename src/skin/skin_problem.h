#pragma once

#include <QString>

// What is wrong with a theme, said once for the console's warnings and the theme checker alike:
// the same fault gives the same text in both.
namespace skin {

struct SkinProblem
{
    enum class Severity
    {
        Warning, // the theme works, but not as its author meant
        Error,   // an element, a sound or an entry is lost
    };
    QString file;    // the stored path, or whatever the reader shows for it
    int line = 0;    // 1 for the first; 0 when the problem has no line (a missing file)
    QString section; // empty when the problem belongs to no section
    QString key;     // empty when the problem belongs to no key
    Severity severity = Severity::Error;
    QString message;

    // One line as compilers write it, so that editors jump to it:
    // "FILE:LINE: SECTION KEY: error: MESSAGE" (the line, section and key only when known).
    [[nodiscard]] QString text() const;
    [[nodiscard]] QString severityName() const;
};

// Says a problem in the skin layer's log (kesta.skin), as a warning whatever its severity:
// the console goes on without what it names.
void reportSkinProblem(const SkinProblem &problem);

// The message for an element whose index another line of the section already took.
[[nodiscard]] QString indexTakenMessage(const QString &set, int index);

} // namespace skin
