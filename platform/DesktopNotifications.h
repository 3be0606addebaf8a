#pragma once

// Desktop notices through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). A notice carries a
// click context; when the user clicks it (the action "default"), the click
// handler hears that context. Notify is sent without waiting: the id the
// service hands back is matched to the context when its answer arrives.
// Without a notification service no notice is shown and nothing is reported.

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace parley {

struct DesktopNotificationRequest {
    QString appName = QStringLiteral("Parley");
    QString summary;      // the title (plain text)
    QString body;         // plain text; escaped before it goes out, since servers read markup
    QString imagePath;    // a local image file for the "image-path" hint; empty: none
    QString category;     // the "category" hint; empty: none
    QString actionLabel;  // the label of the "default" action
    bool isSticky = false;
    int priority = 0;     // -2..2; mapped to the urgency hint
    QVariant clickContext;
};

class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    static constexpr char kService[] = "org.freedesktop.Notifications";
    static constexpr char kPath[] = "/org/freedesktop/Notifications";
    static constexpr char kInterface[] = "org.freedesktop.Notifications";
    static constexpr char kDefaultAction[] = "default";

    explicit DesktopNotifications(const QDBusConnection &bus, QObject *parent = nullptr);
    ~DesktopNotifications() override;

    using ClickHandler = std::function<void(const QVariant &clickContext)>;
    void setClickHandler(ClickHandler handler) { mClickHandler = std::move(handler); }

    // Sends the notice; returns at once.
    void notify(const DesktopNotificationRequest &notice);

    // The urgency byte of a priority: below 0 low (0), 0 and 1 normal (1), 2 critical (2).
    static uchar urgencyForPriority(int priority);
    // Notices not yet answered or still shown (those whose click would be heard).
    int pendingCount() const { return mContexts.size() + mWaiting; }

private Q_SLOTS:
    void actionInvoked(uint id, const QString &actionKey);
    void notificationClosed(uint id, uint reason);

private:
    QDBusConnection mBus;
    ClickHandler mClickHandler;
    QHash<uint, QVariant> mContexts;
    int mWaiting = 0;
};

} // namespace parley
