#pragma once

// Named notifications inside the process. Observers register a callback for a
// name (a null name means every name) and optionally for one sender (nullptr
// means any sender). Delivery is synchronous on the posting thread, in the
// order the observers were added.
//
// Lifetime rules:
// - addObserver returns a token; removeObserver(token) ends the registration.
// - An observer added with a context QObject is also removed when that object
//   is destroyed. The context must live on the thread that posts to it (as for
//   any direct call); the center does not guard cross-thread destruction.
// - Inside a callback an observer may remove itself or others, add observers
//   or post again. A removed observer is not called again, even later in the
//   post that is running; an observer added during a post first hears the
//   next post.
// - An exception thrown by a callback is logged and the other observers still
//   run.
//
// Names and userInfo keys are the constants of NotificationNames.h.

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class QObject;

namespace parley {

struct Notification {
    QString name;
    const void *sender = nullptr;
    QVariantMap userInfo;
};

class NotificationCenter {
public:
    using Callback = std::function<void(const Notification &)>;
    using Token = quint64; // never 0 for a registration

    // A fresh, independent center (tests make their own).
    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    // The process-wide center.
    static NotificationCenter &defaultCenter();

    Token addObserver(const QString &name, const void *sender, Callback callback);
    Token addObserver(QObject *context, const QString &name, const void *sender, Callback callback);
    // Unknown or already removed tokens are ignored.
    void removeObserver(Token token);
    // Number of live registrations.
    int observerCount() const;

    void post(const QString &name, const void *sender = nullptr, const QVariantMap &userInfo = {});
    // Posts on the main thread: at once when called there, otherwise queued to
    // the main event loop (the caller does not wait). Dropped if this center is
    // gone by then.
    void postOnMainThread(const QString &name, const void *sender = nullptr, const QVariantMap &userInfo = {});

private:
    struct State;
    std::shared_ptr<State> d;
};

} // namespace parley
