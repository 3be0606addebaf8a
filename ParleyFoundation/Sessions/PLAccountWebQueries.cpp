#include "PLAccountWebQueries.h"

#include "Log.h"
#include "BuddyManagement/PLBuddyManager.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Utils/ParleyStringAdditions.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRunnable>
#include <QThreadPool>

namespace parley {

namespace {

// The queries' own threads: a query may block for the HTTP layer's timeout,
// so they don't take the shared pool's threads. At exit, queries not yet
// started are dropped and running ones waited for (a bounded time; the HTTP
// layer aborts its requests as the main loop ends) before Qt's objects go.
constexpr int kMaxQueryThreads = 8;
constexpr int kExitWaitMs = 3000;

QThreadPool &queryPool()
{
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(kMaxQueryThreads);
        return true;
    }();
    Q_UNUSED(configured);
    return pool;
}

void waitForQueries()
{
    queryPool().clear();
    queryPool().waitForDone(kExitWaitMs);
}

void registerExitWait() { qAddPostRoutine(waitForQueries); }

QAtomicInt gLiveQueries;

// One query. The pool deletes it on its own thread as soon as it has run, so
// nothing is left behind when no event loop runs by then.
class QueryJob : public QRunnable
{
public:
    QueryJob(QObject *context, std::function<QString()> request, std::function<void(const QString &)> done)
        : mTarget(context), mRequest(std::move(request)), mDone(std::move(done))
    {
        gLiveQueries.ref();
    }
    ~QueryJob() override { gLiveQueries.deref(); }

    void run() override
    {
        const QString reply = mRequest();
        if (!mTarget)
            return;
        QMetaObject::invokeMethod(mTarget, [target = mTarget, done = mDone, reply]() {
            if (target)
                done(reply);
        }, Qt::QueuedConnection);
    }

private:
    QPointer<QObject> mTarget;
    std::function<QString()> mRequest;
    std::function<void(const QString &)> mDone;
};

// Sister-service account modes of the records.
constexpr char kModeQ7[] = "2";
constexpr char kModeTarn[] = "3";

QString configured(const char *key, const QString &fallback)
{
    const QString value = PLConfManager::sharedManager().valueForKey(QLatin1String(key));
    return value.isEmpty() ? fallback : value;
}

QString sisterBaseURL()
{
    const QString server = PLEndpoints::current().webSister;
    return configured("minicubby_cgi_baseurl",
                      server.isEmpty() ? QString() : server + QLatin1String("/pims/parley/"));
}

// A record of three ":"-separated fields, or nothing.
std::optional<QStringList> record(const QString &part)
{
    const QStringList fields = part.split(QLatin1Char(':'));
    if (fields.size() != 3)
        return std::nullopt;
    return fields;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerExitWait)

QString PLAccountWebQueries::mailCountURL(const QString &server, const QString &velaID)
{
    if (server.isEmpty() || velaID.isEmpty())
        return {};
    const QString id = velaID.section(QLatin1Char('@'), 0, 0);
    return server + QLatin1String("/ParleyStart.php?id=") + urlEncode(id);
}

std::optional<int> PLAccountWebQueries::mailCountFromReply(const QString &reply)
{
    if (!reply.contains(QLatin1String("unseen")))
        return std::nullopt;
    const QStringList parts = reply.split(QLatin1Char(':'));
    if (parts.size() < 2)
        return std::nullopt;
    return plIntValue(parts[1]);
}

QString PLAccountWebQueries::memoCountURL(const QString &server)
{
    return server.isEmpty() ? QString() : server + QLatin1String("/client/CountMessage.do");
}

QString PLAccountWebQueries::saveChatURL(const QString &server)
{
    return server.isEmpty() ? QString() : server + QLatin1String("/client/SaveChat.do");
}

QString PLAccountWebQueries::memoCountBody(const QString &cmn, const QString &ticket)
{
    return QLatin1String("owner_cmn=") + urlEncode(cmn) + QLatin1String("&ticket=")
        + urlEncode(ticket);
}

std::optional<int> PLAccountWebQueries::memoCountFromReply(const QString &reply)
{
    const QStringList blocks = reply.split(QLatin1String("\n\n"));
    if (blocks.size() < 2 || !blocks[1].contains(QLatin1String("cnt")))
        return std::nullopt;
    const QStringList parts = blocks[1].split(QLatin1Char('='));
    if (parts.size() < 3)
        return std::nullopt;
    return plIntValue(parts[2]);
}

QString PLAccountWebQueries::mainAccountURL()
{
    const QString base = sisterBaseURL();
    return base.isEmpty() ? QString()
                          : base + configured("orchard_current_account_cgi",
                                              QStringLiteral("parley_get_mainid.asp"));
}

QString PLAccountWebQueries::newPostURL()
{
    const QString base = sisterBaseURL();
    return base.isEmpty() ? QString()
                          : base + configured("minicubby_new_article_q7cgi",
                                              QStringLiteral("parley_new_article_q7.asp"));
}

QString PLAccountWebQueries::mainAccountBody()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    QString body = QStringLiteral("encoded_value=");
    const QString own = me.orchardCMN();
    if (!own.isEmpty())
        body += tkEncode3A(own);
    // A scrambler result led by a control character is sent without it.
    if (body.size() > 14 && body.at(14) == QChar(0x0003))
        body.remove(14, 1);
    QStringList entries;
    for (const QString &orcmn : PLBuddyManager::sharedManager().orcmnArrayForAllBuddies())
        entries.append(urlEncode(orcmn));
    return body + QLatin1String("&buddy_list=") + entries.join(QLatin1String("%3b"));
}

QString PLAccountWebQueries::newPostBody()
{
    const PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    const QString own = me.orchardCMN();
    PL_GUARD_OBJECT(!own.isNull(), QString());
    if (own.isEmpty())
        return {};
    QString ownRecord;
    if (me.isQ7Mode()) {
        PL_GUARD_OBJECT(!me.q7CMN().isEmpty(), QString());
        ownRecord = own + QLatin1Char(':') + me.q7CMN() + QLatin1String(":2");
    } else {
        ownRecord = own + QLatin1Char(':') + own + QLatin1Char(':')
            + (me.isTarnMode() ? QLatin1String("3") : QLatin1String("1"));
    }
    QString body = QLatin1String("encoded_value=") + tkEncode3A(ownRecord)
        + QLatin1String("&buddy_list=");
    const PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    const QStringList orcmns = buddies.orcmnArrayForAllBuddies();
    QStringList records;
    for (const QString &orcmn : orcmns) {
        const PLBuddyPtr buddy = buddies.buddyForOrchardCMN(orcmn);
        if (orcmn.isEmpty() || !buddy)
            continue;
        const bool q7 = buddy->isQ7Mode();
        const QString value = q7 ? buddy->q7CMN() : buddy->orchardCMN();
        const char *mode = q7 ? kModeQ7 : buddy->isTarnMode() ? kModeTarn : "1";
        records.append(urlEncode(orcmn) + QLatin1String("%3a") + urlEncode(value)
                       + QLatin1String("%3a") + QLatin1String(mode));
    }
    return body + records.join(QLatin1String("%3b")) + QLatin1String("\r\n");
}

void PLAccountWebQueries::applyMainAccountReply(const QString &reply)
{
    const QStringList parts = reply.split(QLatin1String("<BR>"));
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    if (const auto own = record(parts.value(0))) {
        if ((*own)[2] == QLatin1String(kModeQ7)) {
            me.setQ7Mode(true);
            me.setQ7CMN((*own)[1]);
        } else if ((*own)[2] == QLatin1String(kModeTarn)) {
            me.setQ7Mode(false);
            me.setTarnMode(true);
        }
    }
    // The part after the last separator is not a record.
    for (qsizetype i = 1; i + 1 < parts.size(); ++i) {
        const auto fields = record(parts[i]);
        if (!fields)
            continue;
        const PLBuddyPtr buddy = PLBuddyManager::sharedManager().buddyForOrchardCMN((*fields)[0]);
        if (!buddy)
            continue;
        if ((*fields)[2] == QLatin1String(kModeQ7)) {
            buddy->setQ7Mode(true);
            buddy->setQ7CMN((*fields)[1]);
        } else if ((*fields)[2] == QLatin1String(kModeTarn)) {
            buddy->setQ7Mode(false);
            buddy->setTarnMode(true);
        }
    }
}

void PLAccountWebQueries::applyNewPostReply(const QString &reply)
{
    const QStringList parts = reply.split(QLatin1String("<BR>"));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].isEmpty())
            continue;
        if (i == 0 && parts[i] == QLatin1String("ERROR"))
            continue;
        const auto fields = record(parts[i]);
        if (!fields) {
            plLogFalse(__FILE__, __LINE__);
            continue;
        }
        if ((*fields)[2] != QLatin1String("1"))
            continue;
        if (i == 0) {
            PLMyInfoManager::sharedManager().setOrchardGuestBookHasNewPost(true);
        } else if (const PLBuddyPtr buddy =
                       PLBuddyManager::sharedManager().buddyForOrchardCMN((*fields)[0])) {
            buddy->setOrchardGuestBookHasNewPost(true);
        }
    }
}

int PLAccountWebQueries::liveQueries()
{
    return gLiveQueries.loadAcquire();
}

void PLAccountWebQueries::runDetached(QObject *context, std::function<QString()> request,
                                      std::function<void(const QString &)> done)
{
    queryPool().start(new QueryJob(context, std::move(request), std::move(done)));
}

} // namespace parley
