#pragma once

// One messenger per desktop session: the running copy owns the bus name
// "org.parley.Messenger" (taken by the application controller) and answers
// ShowMainWindow at "/org/parley/Messenger" (interface
// "org.parley.Messenger1"); a second launch that finds the name taken asks
// it to show its main window instead of starting another copy.

#include <QDBusConnection>
#include <QObject>

#include <functional>

namespace parley::shell {

class MessengerInstance final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.parley.Messenger1")

public:
    static constexpr char kBusName[] = "org.parley.Messenger";
    static constexpr char kPath[] = "/org/parley/Messenger";
    static constexpr char kInterface[] = "org.parley.Messenger1";

    // Answers ShowMainWindow on `bus` with `showMainWindow` while it lives.
    MessengerInstance(const QDBusConnection &bus, std::function<void()> showMainWindow);
    ~MessengerInstance() override;

    // When another copy owns the bus name: asks it to show its main window
    // and answers true (this launch then ends). False when none runs.
    static bool showRunningCopy(const QDBusConnection &bus);

public Q_SLOTS:
    Q_SCRIPTABLE void ShowMainWindow();

private:
    QDBusConnection mBus;
    std::function<void()> mShowMainWindow;
    bool mRegistered = false;
};

} // namespace parley::shell
