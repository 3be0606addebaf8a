// A stand-in for the message box in tests: on the session bus it asks for the
// signed-in user once and quits when told to ("PLQuitPlugInProcess"). It
// prints "ready" once it listens and "quit" when it goes.
#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    parley::DistributedNotificationCenter &center = parley::DistributedNotificationCenter::defaultCenter();
    if (!center.isConnected()) {
        std::fprintf(stderr, "fake plug-in: no session bus\n");
        return 2;
    }
    center.addObserver(QLatin1String(parley::notifications::kQuitPlugInProcess), [](const parley::DistributedNotification &) {
        std::printf("quit\n");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    parley::plugin::postPlugUserInfo(QLatin1String(parley::notifications::kMessageBoxPlugInID), center);
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
