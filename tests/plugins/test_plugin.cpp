// A tiny plug-in for the tests: on the session bus it asks for the signed-in
// user, writes its process ID as a line to $PARLEY_TEST_PLUGIN_PIDS (when
// set), and quits when told to ("PLQuitPlugInProcess").
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    parley::DistributedNotificationCenter &center = parley::DistributedNotificationCenter::defaultCenter();
    if (!center.isConnected()) {
        std::fprintf(stderr, "test plug-in: no session bus\n");
        return 2;
    }
    center.addObserver(QLatin1String(parley::notifications::kQuitPlugInProcess),
                       [](const parley::DistributedNotification &) { QCoreApplication::quit(); });
    const QString pids = qEnvironmentVariable("PARLEY_TEST_PLUGIN_PIDS");
    if (!pids.isEmpty()) {
        QFile file(pids);
        if (file.open(QIODevice::Append))
            file.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    }
    parley::plugin::postPlugUserInfo(QLatin1String(parley::notifications::kMessageBoxPlugInID), center);
    return app.exec();
}
