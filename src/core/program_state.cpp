#include "core/program_state.h"

int ButtonTable::add(const ButtonEntry &entry)
{
    ++count;
    if (entries.size() < count)
        entries.resize(count);
    entries[count - 1] = entry;
    return count;
}

ProgramState &programState()
{
    static ProgramState state;
    return state;
}

QString ThemePath()
{
    const ProgramState &state = programState();
    return state.ProgramDir + state.ThemeDir;
}
