#pragma once

// Notifications between the messenger and its plug-in processes, carried as
// signals on the session bus:
//   path "/org/parley/PlugIn", interface "org.parley.PlugIn1",
//   member = the notification's name,
//   arguments (s object, a{sv} userInfo); "" stands for no object.
// Dates travel as milliseconds since the epoch (UTC): the typed posters of
// PlugInNotifications.h write them, and the keys named in dateKeysFor() are
// turned back into QDateTime on receipt.
//
// Every process that observes a name hears every posting of it, its own
// included; no posting is acknowledged, and one posted while nobody listens is
// lost. Delivery happens on the thread that owns the center (the main thread).

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <vector>

class QDBusMessage;

namespace parley {

struct DistributedNotification {
    QString name;
    QString object; // null when the poster sent none
    QVariantMap userInfo;
};

class DistributedNotificationCenter : public QObject
{
    Q_OBJECT

public:
    using Callback = std::function<void(const DistributedNotification &)>;
    using Token = quint64; // never 0 for a registration

    static constexpr char kPath[] = "/org/parley/PlugIn";
    static constexpr char kInterface[] = "org.parley.PlugIn1";

    // A center on the given bus (tests pass a private bus).
    explicit DistributedNotificationCenter(const QDBusConnection &bus, QObject *parent = nullptr);
    ~DistributedNotificationCenter() override;

    // The process-wide center on the session bus.
    static DistributedNotificationCenter &defaultCenter();

    bool isConnected() const { return mBus.isConnected(); }
    QDBusConnection bus() const { return mBus; }

    // Registers a callback for one name; with a context it is removed when the
    // context is destroyed. A name that is not a valid D-Bus member is refused
    // (answers 0).
    Token addObserver(QObject *context, const QString &name, Callback callback);
    Token addObserver(const QString &name, Callback callback) { return addObserver(nullptr, name, std::move(callback)); }
    void removeObserver(Token token);
    int observerCount() const { return int(mObservers.size()); }

    // Posts a notification; answers whether the bus took it. Values must be
    // property-list values (string, number, bool, date, byte array, list, map);
    // dates are sent as milliseconds.
    bool post(const QString &name, const QString &object = {}, const QVariantMap &userInfo = {});

    // Takes a well-known bus name, retrying for up to waitMs while another
    // process holds it. Answers whether it is ours.
    bool registerServiceName(const QString &serviceName, int waitMs = 0);
    void unregisterServiceName(const QString &serviceName);

    // Keys of a notification's userInfo that hold dates.
    static QStringList dateKeysFor(const QString &name);
    // The wire form of a userInfo (dates as milliseconds) and back.
    static QVariantMap toWire(const QVariantMap &userInfo);
    static QVariantMap fromWire(const QString &name, const QVariant &wireUserInfo);

private Q_SLOTS:
    void onSignal(const QDBusMessage &message);

private:
    struct Observer {
        Token token;
        QString name;
        QPointer<QObject> context;
        bool hasContext;
        std::shared_ptr<Callback> callback;
    };
    void subscribe(const QString &name);
    void unsubscribeIfUnused(const QString &name);

    QDBusConnection mBus;
    std::vector<Observer> mObservers;
    QStringList mSubscribed;
    Token mNextToken = 1;
};

} // namespace parley
