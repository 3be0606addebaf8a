// Pigeonhole: the message box. Started by the messenger with no arguments; it
// takes its bus name, announces itself and waits hidden for the messenger.
#include "DistributedNotificationCenter.h"
#include "Log.h"
#include "PGHTerminationSignal.h"
#include "Pigeonhole_AppDelegate.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLClientVersion.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pigeonhole"));
    parley::PLSetApplicationVersion();
    // Closing the window only hides it: the box ends on the messenger's word.
    QApplication::setQuitOnLastWindowClosed(false);
    parley::KCRegisterInterfaceLanguage();

    auto &center = parley::DistributedNotificationCenter::defaultCenter();
    const QString busName = QStringLiteral("org.parley.Pigeonhole");
    // The box of a session that just ended may still be letting the name go.
    if (!center.registerServiceName(busName, 5000)) {
        parley::plLog(QStringLiteral("Pigeonhole: the bus name %1 is taken; another box runs").arg(busName));
        return 1;
    }

    int status = 0;
    {
        pigeonhole::Pigeonhole_AppDelegate delegate(center);
        pigeonhole::PGHTerminationSignal terminationSignal;
        QObject::connect(&delegate, &pigeonhole::Pigeonhole_AppDelegate::terminated, &app, &QApplication::quit);
        QObject::connect(&terminationSignal, &pigeonhole::PGHTerminationSignal::received, &delegate,
                         &pigeonhole::Pigeonhole_AppDelegate::quitMessageBox);
        QTimer::singleShot(0, &delegate, [&delegate] { delegate.applicationDidFinishLaunching(); });
        status = app.exec();
    }
    center.unregisterServiceName(busName);
    return status;
}
