#include "platform/services.h"

#include "platform/message_box.h"
#include "platform/modal_show.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace platform {
namespace {

void endProcessNow()
{
    // Nothing may run after the console has ended: no event, no unload handler.
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

Services &current()
{
    static Services system{
        .showMessage = showMessageBox,
        .inputPrompt = askForText,
        .showModal = runModal,
        .openWithDesktop = [](const QUrl &url) { return QDesktopServices::openUrl(url); },
        .pointerPosition = [] { return QCursor::pos(); },
        .widgetAt = [](QPoint screenPoint) { return QApplication::widgetAt(screenPoint); },
        .playSound = {},
        .sleep =
            [](int milliseconds) {
                QThread::msleep(static_cast<unsigned long>(std::max(milliseconds, 0)));
            },
        .endProcess = endProcessNow,
    };
    return system;
}

// What is done to the services is done to each of them in turn.
constexpr std::tuple every{
    &Services::showMessage,     &Services::inputPrompt,     &Services::showModal,
    &Services::openWithDesktop, &Services::pointerPosition, &Services::widgetAt,
    &Services::playSound,       &Services::sleep,           &Services::endProcess,
};

template<typename Action>
void forEachService(Action &&action)
{
    std::apply([&action](auto... service) { (action(service), ...); }, every);
}

} // namespace

const Services &services()
{
    return current();
}

ServicesOverride::ServicesOverride(const Services &replacements)
    : m_replacements(replacements)
    , m_previous(current())
{
    forEachService([this](auto service) {
        if (m_replacements.*service)
            current().*service = m_replacements.*service;
    });
}

ServicesOverride::~ServicesOverride()
{
    // Only its own: an override of other services may have ended meanwhile.
    forEachService([this](auto service) {
        if (m_replacements.*service)
            current().*service = m_previous.*service;
    });
}

} // namespace platform
