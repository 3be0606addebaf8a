#pragma once

// Test doubles of the application controller's collaborators: a facade that
// records every call, a scheduler that runs delays on request, a
// connectivity test whose answer the test sets, and recording windows.

#include "AccountSession.h"
#include "ConnectivityTest.h"
#include "ShellScheduler.h"
#include "ShellWindows.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariantMap>

#include <deque>
#include <functional>
#include <memory>

namespace parley::shell::test {

class RecordingAccountSession final : public AccountSession
{
public:
    struct Login {
        QString userID;
        QString password;
        QVariantMap options;
    };

    bool loginWithUserID(const QString &userID, const QString &password, const QVariantMap &options) override
    {
        logins.append({userID, password, options});
        calls << QStringLiteral("login %1").arg(userID);
        if (loginAnswers.empty())
            return true;
        const bool answer = loginAnswers.front();
        loginAnswers.pop_front();
        return answer;
    }
    bool stopLogin() override
    {
        calls << QStringLiteral("stopLogin");
        return true;
    }
    bool logout(bool postNotification) override
    {
        calls << QStringLiteral("logout %1").arg(postNotification ? 1 : 0);
        const bool was = loggedIn;
        loggedIn = false;
        return was;
    }
    bool isLoggedIn() const override { return loggedIn; }
    void setIsAvailablePONG(bool flag) override { calls << QStringLiteral("pong %1").arg(flag ? 1 : 0); }
    bool setProxyMode(int mode, const QString &serverIP, int portNo, const QString &, const QString &) override
    {
        calls << QStringLiteral("proxy %1 %2 %3").arg(mode).arg(serverIP).arg(portNo);
        return true;
    }
    bool setMyStatus(int status) override
    {
        calls << QStringLiteral("status %1").arg(status);
        return true;
    }
    bool isSignInSession(const void *sender) const override { return sender && sender == signInSession; }
    PLParleySession *facade() override { return nullptr; }

    // The calls whose text starts with `prefix`.
    QStringList callsStartingWith(const QString &prefix) const
    {
        QStringList out;
        for (const QString &c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

    QList<Login> logins;
    QStringList calls;
    std::deque<bool> loginAnswers;
    bool loggedIn = false;
    const void *signInSession = nullptr;
};

class ManualScheduler final : public ShellScheduler
{
public:
    void schedule(QObject *context, double seconds, std::function<void()> fn) override
    {
        pending.push_back({QPointer<QObject>(context), seconds, std::move(fn)});
        delays.append(seconds);
    }
    // Runs the oldest pending delay; answers whether there was one.
    bool runNext()
    {
        if (pending.empty())
            return false;
        Entry entry = std::move(pending.front());
        pending.pop_front();
        if (entry.context)
            entry.fn();
        return true;
    }
    int pendingCount() const { return int(pending.size()); }

    QList<double> delays; // every delay asked for, in order

private:
    struct Entry {
        QPointer<QObject> context;
        double seconds;
        std::function<void()> fn;
    };
    std::deque<Entry> pending;
};

class FakeConnectivity final : public ConnectivityTest
{
public:
    void checkNetworkStatus() override { ++checks; }
    bool isDPLMode() const override { return dplMode; }
    int checks = 0;
    bool dplMode = false;
};

// Recording windows, registered for their lifetime; every call is one line
// of `calls`, prefixed by the window ("chat reset", "transfer reset").
class RecordingWindows
{
public:
    RecordingWindows();
    ~RecordingWindows();
    RecordingWindows(const RecordingWindows &) = delete;
    RecordingWindows &operator=(const RecordingWindows &) = delete;

    int count(const QString &line) const { return int(calls.count(line)); }

    QStringList calls;
    // What the chat manager reports as open.
    QList<ChatDocument *> visibleChats;
    // Windows the notice manager owns.
    QList<const QWidget *> toastWindows;
    // Registers a buddy-list data source (else the controller stands in for it).
    void useDataSource();

private:
    struct DataSource;
    struct Chats;
    struct Transfer;
    struct Toaster;
    struct PlugIns;
    struct Dock;
    struct Bridge;
    struct Updates;
    struct Prefs;
    std::unique_ptr<DataSource> mDataSource;
    std::unique_ptr<Chats> mChats;
    std::unique_ptr<Transfer> mTransfer;
    std::unique_ptr<Toaster> mToaster;
    std::unique_ptr<PlugIns> mPlugIns;
    std::unique_ptr<Dock> mDock;
    std::unique_ptr<Bridge> mBridge;
    std::unique_ptr<Updates> mUpdates;
    std::unique_ptr<Prefs> mPrefs;
};

} // namespace parley::shell::test
