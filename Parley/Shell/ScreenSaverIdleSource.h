#pragma once

// The desktop's screen saver on the session bus:
// org.freedesktop.ScreenSaver.GetSessionIdleTime, in seconds.

#include "IdleSource.h"

#include <QDBusConnection>
#include <QObject>

namespace parley::shell {

class ScreenSaverIdleSource final : public QObject, public IdleSource
{
public:
    static constexpr char kService[] = "org.freedesktop.ScreenSaver";
    static constexpr char kPath[] = "/org/freedesktop/ScreenSaver";
    static constexpr char kInterface[] = "org.freedesktop.ScreenSaver";

    explicit ScreenSaverIdleSource(const QDBusConnection &bus) : mBus(bus) {}
    void requestIdleTime(Answer answer) override;

private:
    QDBusConnection mBus;
};

} // namespace parley::shell
