#pragma once

// The account's web queries after sign-in: unread mail and memo counts, and
// the sister service's account modes and guest-book news for the user and
// every buddy. Requests are built from the model on the main thread, sent on
// a worker thread (the HTTP layer blocks), and their replies applied to the
// model back on the main thread: the worker never touches the model.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;

namespace parley {

class PLAccountWebQueries
{
public:
    // "<server>/ParleyStart.php?id=<portal ID up to its @, percent-encoded>";
    // null without a server or a portal ID.
    static QString mailCountURL(const QString &server, const QString &velaID);
    // The second ":"-separated value of a reply that contains "unseen".
    static std::optional<int> mailCountFromReply(const QString &reply);
    static QString memoCountURL(const QString &server);
    // The memo server's chat-log upload; null without a server.
    static QString saveChatURL(const QString &server);
    static QString memoCountBody(const QString &cmn, const QString &ticket);
    // The third "="-separated value of the second blank-line block, when that
    // block contains "cnt".
    static std::optional<int> memoCountFromReply(const QString &reply);

    // The sister service's scripts: the base URL and script names come from
    // the server configuration, else from the web server of the endpoints.
    static QString mainAccountURL();
    static QString newPostURL();
    // Request bodies from the current model (main thread). The new-post body
    // is null when the user has no sister-service account.
    static QString mainAccountBody();
    static QString newPostBody();
    // Replies applied to the model (main thread).
    static void applyMainAccountReply(const QString &reply);
    static void applyNewPostReply(const QString &reply);

    // Runs `request` on a worker thread and hands its result to `done` on the
    // context's thread; nothing runs if the context is gone. The job is
    // released on the worker as soon as it has run, and the program waits
    // (a bounded time) at exit for the ones still running.
    static void runDetached(QObject *context, std::function<QString()> request,
                            std::function<void(const QString &)> done);
    // The queries started and not yet released.
    static int liveQueries();
};

} // namespace parley
