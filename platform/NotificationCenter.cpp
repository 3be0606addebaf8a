#include "NotificationCenter.h"

#include "Log.h"
#include "MainThread.h"

#include <QMutex>
#include <QMutexLocker>
#include <QObject>

#include <atomic>
#include <vector>

namespace parley {

namespace {

struct Observer {
    NotificationCenter::Token token = 0;
    QString name;
    const void *sender = nullptr;
    NotificationCenter::Callback callback;
    QMetaObject::Connection contextConnection;
    std::atomic<bool> alive{true};

    bool matches(const QString &postedName, const void *postedSender) const
    {
        return (name.isNull() || name == postedName) && (sender == nullptr || sender == postedSender);
    }
};

} // namespace

struct NotificationCenter::State {
    mutable QMutex mutex;
    // Shared pointers so that a post can work on a snapshot while observers
    // are added or removed; `alive` tells the snapshot who has left since.
    std::vector<std::shared_ptr<Observer>> observers;
    Token nextToken = 1;

    void remove(Token token)
    {
        std::shared_ptr<Observer> gone;
        {
            QMutexLocker lock(&mutex);
            for (auto it = observers.begin(); it != observers.end(); ++it) {
                if ((*it)->token == token) {
                    gone = std::move(*it);
                    observers.erase(it);
                    break;
                }
            }
        }
        if (!gone)
            return;
        gone->alive.store(false);
        QObject::disconnect(gone->contextConnection);
    }

    void post(const Notification &notification)
    {
        std::vector<std::shared_ptr<Observer>> snapshot;
        {
            QMutexLocker lock(&mutex);
            for (const auto &observer : observers) {
                if (observer->matches(notification.name, notification.sender))
                    snapshot.push_back(observer);
            }
        }
        for (const auto &observer : snapshot) {
            if (!observer->alive.load())
                continue;
            PL_LOG_EXCEPTIONS(observer->callback(notification));
        }
    }
};

NotificationCenter::NotificationCenter() : d(std::make_shared<State>()) {}

NotificationCenter::~NotificationCenter()
{
    std::vector<std::shared_ptr<Observer>> gone;
    {
        QMutexLocker lock(&d->mutex);
        gone.swap(d->observers);
    }
    for (const auto &observer : gone) {
        observer->alive.store(false);
        QObject::disconnect(observer->contextConnection);
    }
}

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString &name, const void *sender, Callback callback)
{
    return addObserver(nullptr, name, sender, std::move(callback));
}

NotificationCenter::Token NotificationCenter::addObserver(QObject *context, const QString &name, const void *sender,
                                                          Callback callback)
{
    PL_GUARD_OBJECT(callback, 0);
    auto observer = std::make_shared<Observer>();
    observer->name = name;
    observer->sender = sender;
    observer->callback = std::move(callback);

    QMutexLocker lock(&d->mutex);
    const Token token = d->nextToken++;
    observer->token = token;
    if (context) {
        // Weak: the connection must not keep the center's state alive, and
        // the destructor above cuts it when the center goes first.
        std::weak_ptr<State> weak = d;
        observer->contextConnection = QObject::connect(context, &QObject::destroyed, [weak, token] {
            if (auto state = weak.lock())
                state->remove(token);
        });
    }
    d->observers.push_back(std::move(observer));
    return token;
}

void NotificationCenter::removeObserver(Token token) { d->remove(token); }

int NotificationCenter::observerCount() const
{
    QMutexLocker lock(&d->mutex);
    return int(d->observers.size());
}

void NotificationCenter::post(const QString &name, const void *sender, const QVariantMap &userInfo)
{
    d->post(Notification{name, sender, userInfo});
}

void NotificationCenter::postOnMainThread(const QString &name, const void *sender, const QVariantMap &userInfo)
{
    if (isMainThread()) {
        post(name, sender, userInfo);
        return;
    }
    std::weak_ptr<State> weak = d;
    runOnMainThread(
        [weak, notification = Notification{name, sender, userInfo}] {
            if (auto state = weak.lock())
                state->post(notification);
        },
        false);
}

} // namespace parley
