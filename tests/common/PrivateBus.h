#pragma once

// A private D-Bus daemon started by the test, so that no test touches the
// real session bus. Connections made with connect() are closed with the bus.

#include <QDBusConnection>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace parley::test {

class PrivateBus
{
public:
    PrivateBus()
    {
        mDaemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address=1")});
        if (!mDaemon.waitForStarted(5000))
            return;
        while (!mDaemon.canReadLine() && mDaemon.waitForReadyRead(20000)) {
        }
        mAddress = QString::fromUtf8(mDaemon.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString &name : std::as_const(mConnections))
            QDBusConnection::disconnectFromBus(name);
        mDaemon.kill();
        mDaemon.waitForFinished(5000);
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty(); }
    bool isRunning() const { return !mAddress.isEmpty(); }
    const QString &address() const { return mAddress; }

    // A new named connection to this bus (each name once).
    QDBusConnection connect(const QString &connectionName)
    {
        mConnections.append(connectionName);
        return QDBusConnection::connectToBus(mAddress, connectionName);
    }

private:
    QProcess mDaemon;
    QString mAddress;
    QStringList mConnections;
};

} // namespace parley::test
