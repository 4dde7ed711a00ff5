#pragma once

class QLabel;
class QString;
class QListWidget;

namespace skin {
class Theme;
}

namespace console {

// What the console's command handlers and editors need of the console window; the window
// implements it, so that the handlers need not know the window itself.
class ConsoleView
{
public:
    // The theme the console was opened with.
    virtual const skin::Theme &theme() const = 0;
    // lblInfo(index); nullptr when the skin leaves it out.
    virtual QLabel *infoLabel(int index) const = 0;
    // lstBox(1); nullptr when the skin leaves it out.
    virtual QListWidget *protectionList() const = 0;
    // Position of the last clicked protection line.
    virtual int selectedLine() const = 0;
    // Fills the protection and switch lists again from the theme's files.
    virtual void refillSettingsLists() = 0;
    // Tells assistive technology, politely, what came of the person's action (skin::announce).
    virtual void announce(const QString &words) = 0;
    // Ends the program; does not return.
    virtual void EndProgram() = 0;

protected:
    ~ConsoleView() = default;
};

} // namespace console
