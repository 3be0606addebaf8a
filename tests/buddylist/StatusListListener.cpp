// A second process on the test's bus: prints "ready" once it listens, then
// the user info of the first "PLBuddyStatusList" it hears as one line of
// JSON, and ends.

#include "DistributedNotificationCenter.h"
#include "NotificationNames.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    parley::DistributedNotificationCenter &center = parley::DistributedNotificationCenter::defaultCenter();
    if (!center.isConnected())
        return 2;
    center.addObserver(QLatin1String(parley::notifications::kBuddyStatusList),
                       [&](const parley::DistributedNotification &n) {
                           const QByteArray line = QJsonDocument(QJsonObject::fromVariantMap(n.userInfo)).toJson(QJsonDocument::Compact);
                           std::printf("%s\n", line.constData());
                           std::fflush(stdout);
                           app.quit();
                       });
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, [&] { app.exit(1); });
    return app.exec();
}
