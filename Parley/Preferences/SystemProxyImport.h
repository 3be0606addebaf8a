#pragma once

// Importing the system's HTTP proxy into the Firewall pane: the system's
// proxies for an http address of the portal, the first HTTP proxy found.
// Asking the system may consult the network (a proxy auto-configuration
// script), so it runs on a worker thread and the answer comes back on the
// main thread.

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace parley {

struct ImportedProxy {
    QString host;
    quint16 port = 0;
};

class SystemProxyImport
{
public:
    SystemProxyImport() = delete;

    // The address whose proxy is asked for.
    static QUrl queryURL();
    // The first HTTP proxy the system names for `url`; none when it names none.
    static std::optional<ImportedProxy> httpProxyFor(const QUrl &url);
    // Asks on a worker thread; `done` runs on the main thread unless
    // `context` is gone by then.
    static void start(QObject *context, std::function<void(std::optional<ImportedProxy>)> done);
};

} // namespace parley
