#pragma once

// logind's idle hint of this session on the system bus: while the session is
// idle, the time since IdleSinceHint (microseconds of the real-time clock);
// while it is not, no idle time. A session whose desktop never sets the hint
// (IdleSinceHint 0) tells nothing.

#include "IdleSource.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>

#include <functional>

namespace parley::shell {

class LogindIdleSource final : public QObject, public IdleSource
{
public:
    static constexpr char kService[] = "org.freedesktop.login1";
    static constexpr char kPath[] = "/org/freedesktop/login1/session/auto";
    static constexpr char kInterface[] = "org.freedesktop.login1.Session";

    // `now`: microseconds of the real-time clock (the system's when null).
    explicit LogindIdleSource(const QDBusConnection &bus, std::function<qint64()> now = {});
    void requestIdleTime(Answer answer) override;

    // The idle seconds the two properties give at `nowMicroseconds`.
    static std::optional<double> idleSeconds(bool idleHint, quint64 idleSinceHint, qint64 nowMicroseconds);

private:
    QDBusConnection mBus;
    std::function<qint64()> mNow;
};

} // namespace parley::shell
