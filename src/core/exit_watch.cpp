#include "core/exit_watch.h"

#include "core/console_window.h"
#include "core/program_state.h"
#include "core/settings_store.h"

#include <QFileInfo>

namespace core {

bool isExitRequest(const QString &stored)
{
    return stored == QLatin1String("1");
}

bool actOnExitRequest(ConsoleWindow &window)
{
    const QString request = settings::get(settings::application, QStringLiteral("EXIT"),
                                          programState().AppTitle, QStringLiteral("0"));
    if (!isExitRequest(request))
        return false;
    window.stopExitWatch();
    window.EndProgram();
    return true;
}

ExitWatch::ExitWatch(ConsoleWindow &window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{}

void ExitWatch::start()
{
    if (!m_watch) {
        // The store is replaced by a rename on every write: its folder tells of that, the file
        // itself of a write in place.
        const auto store = [] {
            const QString file = settings::filePath(settings::application);
            return QStringList{QFileInfo(file).path(), file};
        };
        m_watch = new platform::FileWatch(store, std::chrono::milliseconds(0), this);
        connect(m_watch, &platform::FileWatch::changed, this, &ExitWatch::storeChanged);
    }
    m_watch->rearm();
    storeChanged();
}

void ExitWatch::stop()
{
    // Stopped from within its own notification, as the request is acted on.
    if (m_watch)
        m_watch->deleteLater();
    m_watch = nullptr;
}

void ExitWatch::storeChanged()
{
    if (m_watch)
        actOnExitRequest(m_window);
}

} // namespace core
