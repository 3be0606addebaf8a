#include "DesktopNoticeBridge.h"

#include "DesktopNotifications.h"
#include "ImageRegistry.h"
#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace parley::shell {

namespace {

QPointer<DesktopNotifications> gNotifications;

} // namespace

void DesktopNoticeBridge::setNotifications(DesktopNotifications *notifications) { gNotifications = notifications; }

DesktopNotifications *DesktopNoticeBridge::notifications() { return gNotifications; }

QString DesktopNoticeBridge::iconFile(const QString &iconName)
{
    const QString base = ImageRegistry::baseName(iconName);
    if (base.isEmpty() || base.contains(QLatin1Char('/')) || !ImageRegistry::contains(base))
        return {};
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/parley/notice-icons");
    const QString path = folder + QLatin1Char('/') + base + QStringLiteral(".png");
    if (QFileInfo::exists(path))
        return path;
    // A small image, written once.
    if (!QDir().mkpath(folder) || !ImageRegistry::image(base).save(path, "PNG")) {
        plLog(QStringLiteral("notice icon not written: %1").arg(path));
        return {};
    }
    return path;
}

void DesktopNoticeBridge::notifyWithTitle(const QString &title, const QString &description,
                                          const QString &notificationName, const QString &iconName, int priority,
                                          bool isSticky, const QVariantList &clickContext)
{
    if (!gNotifications)
        return;
    DesktopNotificationRequest notice;
    notice.summary = title;
    notice.body = description;
    notice.category = notificationName;
    notice.imagePath = iconFile(iconName);
    notice.actionLabel = KCLocalizedString(QStringLiteral("NoticeOpen"));
    notice.priority = priority;
    notice.isSticky = isSticky;
    notice.clickContext = clickContext;
    gNotifications->notify(notice);
}

} // namespace parley::shell
