#include "platform/sound_libraries.h"

#include "platform/platform_log.h"

#include <QLibrary>

namespace platform {
namespace {

// Loads a library by its name and major version, as the system's loader finds it for a program
// linked with it, and resolves functions from it; ok() says, and logs once, whether all came.
class Resolver
{
public:
    Resolver(const QString &name, int version)
        : m_library(new QLibrary(name, version)) // never unloaded: its threads may outlive us
        , m_loaded(m_library->load())
    {}

    template<typename Function>
    void resolve(Function &slot, const char *symbol)
    {
        slot = m_loaded ? reinterpret_cast<Function>(m_library->resolve(symbol)) : nullptr;
        if (m_loaded && !slot && m_missing.isEmpty())
            m_missing = QString::fromLatin1(symbol);
    }

    bool ok() const
    {
        if (!m_loaded)
            qCWarning(lcPlatform).noquote() << "no sound:" << m_library->errorString();
        else if (!m_missing.isEmpty())
            qCWarning(lcPlatform).noquote()
                << "no sound:" << m_library->fileName() << "lacks" << m_missing;
        return m_loaded && m_missing.isEmpty();
    }

private:
    QLibrary *m_library;
    bool m_loaded;
    QString m_missing;
};

} // namespace

#define KESTA_RESOLVE(name) resolver.resolve(table.name, #name);

const PulseLibrary *pulseLibrary()
{
    static const PulseLibrary *const library = []() -> const PulseLibrary * {
        static PulseLibrary table;
        Resolver resolver(QStringLiteral("pulse"), 0);
        KESTA_PULSE_FUNCTIONS(KESTA_RESOLVE)
        return resolver.ok() ? &table : nullptr;
    }();
    return library;
}

const SndFileLibrary *sndFileLibrary()
{
    static const SndFileLibrary *const library = []() -> const SndFileLibrary * {
        static SndFileLibrary table;
        Resolver resolver(QStringLiteral("sndfile"), 1);
        KESTA_SNDFILE_FUNCTIONS(KESTA_RESOLVE)
        return resolver.ok() ? &table : nullptr;
    }();
    return library;
}

} // namespace platform
