#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

// A private world for one test object: XDG_CONFIG_HOME and XDG_RUNTIME_DIR point into a
// temporary folder (so the settings store and the lock files are the test's own), and the
// messages the console would show are collected instead of opening a box.
class TestEnvironment
{
public:
    TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    QString root() const { return m_dir.path(); }
    // A path below root(); the folders on the way are created.
    QString path(const QString &relative) const;

    QStringList messages;

private:
    QTemporaryDir m_dir;
    platform::ServicesOverride m_messageBoxes{
        {.showMessage = [this](const QString &text) { messages.append(text); }}};
};

void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);
