// The split of a button command into the file to open and its parameters, on any text.
// Properties: nothing crashes, and nothing of the command is lost or added: the parts and the
// separator between them give back the command exactly.

#include "console/open_command.h"
#include "fuzz_support.h"

using console::OpenTarget;
using console::splitOpenCommand;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString text = fuzzText(input, size);

    const OpenTarget target = splitOpenCommand(text);
    if (text.startsWith(u'"')) {
        FUZZ_CHECK(!target.file.contains(u'"'));
        if (text.indexOf(u'"', 1) >= 0)
            FUZZ_CHECK(u'"' + target.file + u'"' + target.parameters == text);
        else
            FUZZ_CHECK(u'"' + target.file == text && target.parameters.isEmpty());
    } else if (text.indexOf(u' ', 1) >= 0) {
        FUZZ_CHECK(target.file + u' ' + target.parameters == text);
        FUZZ_CHECK(target.file.indexOf(u' ', 1) < 0);
    } else {
        FUZZ_CHECK(target.file == text && target.parameters.isEmpty());
    }
    return 0;
}
