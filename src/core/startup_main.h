#pragma once

namespace platform {
class SingleInstance;
}

namespace core {

class ConsoleWindow;

enum class StartupResult
{
    Started,        // the console is placed, shown and laid out
    AlreadyRunning, // another console runs; it was asked to come to the front. Nothing was
                    // written to any store, and the caller ends the process.
};

// The start-up sequence of the console: hides cmdFake; claims the single instance (or asks the
// running console forward and stops); sets the caption to AppTitle; resets the exit request to
// "0" and starts the exit watch; places the window from the shell's "Screen" area when "Running"
// is true, else inside the usable screen area; reads ProgramDir, ThemeDir and InitialControlCount
// into the program state; has the window open the theme (SkinName, Animated, AnimDelay), set the
// background colour, start the start-up sound and lay itself out; it shows itself first only for
// a progressive build (Animated), else the caller shows it once it is filled. AppTitle and
// AppName must be set. Absent settings and skin keys, and stored texts that do not convert, keep
// their defaults.
[[nodiscard]] StartupResult StartupMain(ConsoleWindow &window, platform::SingleInstance &instance);

} // namespace core
