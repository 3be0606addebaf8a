#pragma once

// GNOME's idle monitor on the session bus:
// org.gnome.Mutter.IdleMonitor.GetIdletime on its core monitor, in milliseconds.

#include "IdleSource.h"

#include <QDBusConnection>
#include <QObject>

namespace parley::shell {

class GnomeIdleMonitorSource final : public QObject, public IdleSource
{
public:
    static constexpr char kService[] = "org.gnome.Mutter.IdleMonitor";
    static constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
    static constexpr char kInterface[] = "org.gnome.Mutter.IdleMonitor";

    explicit GnomeIdleMonitorSource(const QDBusConnection &bus) : mBus(bus) {}
    void requestIdleTime(Answer answer) override;

private:
    QDBusConnection mBus;
};

} // namespace parley::shell
