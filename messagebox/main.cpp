// Pigeonhole: announces itself to the messenger and ends when asked to.
#include "DistributedNotificationCenter.h"
#include "Log.h"
#include "NotificationNames.h"
#include "PlugInNotifications.h"
#include "Utils/KCUtilities.h"

#include <QCoreApplication>
#include <QTimer>

namespace n = parley::notifications;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    parley::KCRegisterInterfaceLanguage();
    auto &center = parley::DistributedNotificationCenter::defaultCenter();
    const QString busName = QStringLiteral("org.parley.Pigeonhole");
    // The box of a session that just ended may still be letting the name go.
    if (!center.registerServiceName(busName, 5000)) {
        parley::plLog(QStringLiteral("Pigeonhole: the bus name %1 is taken; another box runs").arg(busName));
        return 1;
    }
    center.addObserver(QLatin1String(n::kQuitPlugInProcess),
                       [&app](const parley::DistributedNotification &) { app.quit(); });
    QTimer::singleShot(0, &app, [&center] {
        parley::plugin::postPlugUserInfo(QLatin1String(n::kMessageBoxPlugInID), center);
    });
    const int status = app.exec();
    center.unregisterServiceName(busName);
    return status;
}
