// The select dialog's command line, split and joined, on any text. Properties: nothing crashes;
// a split line joined and split again gives the same parts; a program and arguments that a
// line can hold come back from their joined line unchanged.

#include "dialogs/command_line.h"
#include "fuzz_support.h"

using namespace dialogs;

namespace {

bool trimmedOfBlanks(const QString &text)
{
    return !text.startsWith(u' ') && !text.endsWith(u' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString program = fuzzText(input, 64);
    const QString arguments = fuzzText(input, 64);
    const QString text = remainingText(input);

    const CommandLine split = splitCommandLine(text);
    const CommandLine again = splitCommandLine(joinCommandLine(split.program, split.arguments));
    FUZZ_CHECK(again.program == split.program && again.arguments == split.arguments);

    if (!program.contains(u'"') && trimmedOfBlanks(program) && trimmedOfBlanks(arguments)) {
        const CommandLine parts = splitCommandLine(joinCommandLine(program, arguments));
        FUZZ_CHECK(parts.program == program && parts.arguments == arguments);
    }

    if (const std::optional<ProgramLocation> location = programLocation(program))
        FUZZ_CHECK(location->folder + location->fileName == program);
    const QStringList roots = text.split(u'\n');
    const int holder = rootHolding(roots, program);
    FUZZ_CHECK(holder >= -1 && holder < roots.size());
    if (holder >= 0)
        FUZZ_CHECK(program.startsWith(roots.at(holder)));
    return 0;
}
