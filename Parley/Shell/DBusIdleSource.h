#pragma once

// A desktop service on the session bus whose one method, without arguments,
// answers the idle time as a count of some unit. A reply of another type is
// no answer, as is an error or a service that does not run.

#include "IdleSource.h"

#include <QDBusConnection>
#include <QObject>

namespace parley::shell {

class DBusIdleSource final : public QObject, public IdleSource
{
public:
    enum class ReplyType { UInt32, UInt64 };

    struct Method
    {
        const char *service;
        const char *path;
        const char *interface;
        const char *name;
        ReplyType replyType;
        double unitsPerSecond;
    };

    // The desktop's screen saver: org.freedesktop.ScreenSaver.GetSessionIdleTime, in seconds.
    static constexpr Method kScreenSaver{"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                         "org.freedesktop.ScreenSaver", "GetSessionIdleTime", ReplyType::UInt32, 1.0};
    // GNOME's idle monitor: org.gnome.Mutter.IdleMonitor.GetIdletime on its
    // core monitor, in milliseconds.
    static constexpr Method kGnomeIdleMonitor{"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                                              "org.gnome.Mutter.IdleMonitor", "GetIdletime", ReplyType::UInt64,
                                              1000.0};

    DBusIdleSource(const QDBusConnection &bus, const Method &method) : mBus(bus), mMethod(method) {}
    void requestIdleTime(Answer answer) override;

private:
    QDBusConnection mBus;
    Method mMethod;
};

} // namespace parley::shell
