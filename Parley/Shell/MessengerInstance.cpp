#include "MessengerInstance.h"

#include "Log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace parley::shell {

MessengerInstance::MessengerInstance(const QDBusConnection &bus, std::function<void()> showMainWindow)
    : mBus(bus), mShowMainWindow(std::move(showMainWindow))
{
    if (!mBus.isConnected())
        return;
    mRegistered = mBus.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportScriptableSlots);
    if (!mRegistered)
        plLog(QStringLiteral("%1 is taken on the bus: a second launch cannot reach this one")
                  .arg(QLatin1String(kPath)));
}

MessengerInstance::~MessengerInstance()
{
    if (mRegistered)
        mBus.unregisterObject(QLatin1String(kPath));
}

void MessengerInstance::ShowMainWindow()
{
    if (mShowMainWindow)
        mShowMainWindow();
}

bool MessengerInstance::showRunningCopy(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const auto owned = bus.interface()->isServiceRegistered(QLatin1String(kBusName));
    if (!owned.isValid() || !owned.value())
        return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kBusName), QLatin1String(kPath),
                                                             QLatin1String(kInterface), QStringLiteral("ShowMainWindow"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        // The name is held, so a copy runs; it is only not answering.
        plLog(QStringLiteral("the running messenger did not answer: %1").arg(reply.errorMessage()));
    return true;
}

} // namespace parley::shell
