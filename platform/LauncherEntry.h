#pragma once

// The count and urgency shown on the application's launcher icon by docks and
// panels that follow the launcher-entry convention: the signal
// com.canonical.Unity.LauncherEntry.Update(s appUri, a{sv} properties) on the
// session bus, with "count" (x), "count-visible" (b) and "urgent" (b).

#include <QDBusConnection>
#include <QString>
#include <QVariantMap>

namespace parley {

class LauncherEntry
{
public:
    static constexpr char kInterface[] = "com.canonical.Unity.LauncherEntry";
    static constexpr char kPath[] = "/org/parley/Parley/LauncherEntry";
    static constexpr char kAppUri[] = "application://parley.desktop";

    explicit LauncherEntry(const QDBusConnection &bus) : mBus(bus) {}

    // The properties of one update.
    static QVariantMap properties(qint64 count, bool countVisible, bool urgent);
    // Sends the signal; false when there is no bus.
    bool update(qint64 count, bool countVisible, bool urgent);

private:
    QDBusConnection mBus;
};

} // namespace parley
