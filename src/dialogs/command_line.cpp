#include "dialogs/command_line.h"

namespace dialogs {
namespace {

// Only blanks are trimmed: a tab or other white space belongs to what the user wrote.
QString trimBlanks(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u' ')
        ++start;
    while (end > start && text.at(end - 1) == u' ')
        --end;
    return text.sliced(start, end - start).toString();
}

bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

} // namespace

CommandLine splitCommandLine(QStringView text)
{
    if (text.startsWith(u'"')) {
        const qsizetype closing = text.indexOf(u'"', 1);
        if (closing < 0)
            return {trimBlanks(text.sliced(1)), {}};
        // Everything after the closing quote counts: the blank that normally follows it goes
        // with the trimming, and a character written right after the quote is not lost.
        return {trimBlanks(text.sliced(1, closing - 1)), trimBlanks(text.sliced(closing + 1))};
    }
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return {text.toString(), {}};
    return {trimBlanks(text.first(blank)), trimBlanks(text.sliced(blank + 1))};
}

QString joinCommandLine(const QString &program, const QString &arguments)
{
    QString line = program.contains(u' ') ? u'"' + program + u'"' : program;
    if (!arguments.isEmpty())
        line += u' ' + arguments;
    return line;
}

std::optional<ProgramLocation> programLocation(QStringView program)
{
    qsizetype last = program.size() - 1;
    while (last >= 0 && !isSeparator(program.at(last)))
        --last;
    if (last < 0)
        return std::nullopt;
    return ProgramLocation{program.first(last + 1).toString(), program.sliced(last + 1).toString()};
}

int rootHolding(const QStringList &roots, QStringView path)
{
    int best = -1;
    for (int i = 0; i < roots.size(); ++i) {
        const QString &root = roots.at(i);
        if (root.isEmpty() || !path.startsWith(root))
            continue;
        const bool holds =
            path.size() == root.size() || root.endsWith(u'/') || path.at(root.size()) == u'/';
        if (holds && (best < 0 || root.size() > roots.at(best).size()))
            best = i;
    }
    return best;
}

} // namespace dialogs
