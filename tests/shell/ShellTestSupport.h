#pragma once

// What the shell's tests share: one private session bus for the whole
// binary, fresh settings and folders per test, a message-box bundle of our
// own making, and the certificates of the sign-in tests.

#include "DistributedNotificationCenter.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace parley::shell::test {

// The binary's private bus and a center on it (null when dbus-daemon is missing).
QString privateBusAddress();
DistributedNotificationCenter *privateCenter();

// Fresh settings file, support folder and resource folder for one test; the
// interface language is Korean unless set otherwise.
class FreshSettings
{
public:
    explicit FreshSettings(const QString &language = QStringLiteral("ko"));
    ~FreshSettings();
    FreshSettings(const FreshSettings &) = delete;
    FreshSettings &operator=(const FreshSettings &) = delete;

    QString root() const { return mDir.path(); }
    QString supportFolder() const;   // the messenger's support folder
    QString resourceFolder() const;  // where the message box ships
    QString settingsFile() const;

private:
    QTemporaryDir mDir;
    QByteArray mOldDataHome;
};

// Lays out Pigeonhole.app in `resourceFolder` with that version (none when
// null) and the fake plug-in as its executable. Answers the bundle's path.
QString makeMessageBoxBundle(const QString &resourceFolder, const QString &version,
                             const QString &name = QStringLiteral("Message Box"));

// The path of the fake plug-in program.
QString fakePlugInProgram();

} // namespace parley::shell::test
