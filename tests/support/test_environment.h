#pragma once

#include "platform/services.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

// A private world for one test object: XDG_CONFIG_HOME and XDG_RUNTIME_DIR point into a
// temporary folder (so the settings store is the test's own), the messages the console would
// show are collected instead of opening a box, and the write locks of the files below it leave
// the user's lock folder with it.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment &) = delete;
    TestEnvironment &operator=(const TestEnvironment &) = delete;

    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const; // below root(), its folders created

    QStringList messages;

private:
    QTemporaryDir m_dir;
    platform::ServicesOverride m_messageBoxes{
        {.showMessage = [this](const QString &text) { messages.append(text); }}};
};

void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

// A file checked in under tests/data, and a copy of the files below one of its folders.
QString testData(const QString &relative);
void copyTestData(const QString &relative, const QString &to);
// What identifies every entry below folder, one line each, sorted: its path and a file's
// SHA-256, a link's target, else its kind. A pipe is never opened: it would block.
QStringList folderRecord(const QString &folder);
// Compares actual with the golden file line by line; KESTA_UPDATE_GOLDEN=1 rewrites the file
// from actual instead, to be reviewed before it is committed.
void compareWithGolden(const QByteArray &actual, const QString &golden);
// A user of the tests' own ("kesta-test", created when missing: the tests run as root), for files
// that another user owns and for programs run as another user; empty when it cannot be had.
QString otherUser();
// Text columns for a data-driven test, one row per line "name | value ..." of the table under
// tests/data ("\n", "\r", "\t" stand for those characters; "#" starts a comment line).
void addTextRows(const QStringList &columns, const QString &table);
