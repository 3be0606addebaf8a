#pragma once

// The messenger's desktop notices ("Parley Login", "Parley Chat", "Parley
// Memo", "Parley Multi-Login", "Parley MiniCubby"): a title, a description,
// one of our images as the icon and a click context, handed to the desktop's
// notification service. The application controller installs the service
// client and hears the clicks; without one, notices go nowhere.

#include <QString>
#include <QVariantList>

namespace parley {
class DesktopNotifications;
}

namespace parley::shell {

class DesktopNoticeBridge
{
public:
    DesktopNoticeBridge() = delete;

    // Not owned; nullptr uninstalls.
    static void setNotifications(DesktopNotifications *notifications);
    static DesktopNotifications *notifications();

    static void notifyWithTitle(const QString &title, const QString &description, const QString &notificationName,
                                const QString &iconName, int priority, bool isSticky,
                                const QVariantList &clickContext);

    // A file holding our image of that name for the desktop to read
    // (written once into the cache folder); empty when there is no such image.
    static QString iconFile(const QString &iconName);
};

} // namespace parley::shell
