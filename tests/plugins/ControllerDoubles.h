#pragma once

// Recording doubles of what the application controller's plug-in side talks
// to: the facade's session calls, the windows, the plug-in manager, the
// update manager, the notices and the session list. Each call is one line of
// `calls` ("chat open bob", "bridge svc ORRP B003 1 https://x"). Registered
// with ShellWindows for the recorder's lifetime.

#include "AccountSession.h"
#include "ShellWindows.h"

#include <QRegularExpression>
#include <QStringList>
#include <QVariantMap>

#include <memory>

namespace parley::plugins::test {

class PlugInSession final : public shell::AccountSession
{
public:
    bool loginWithUserID(const QString &userID, const QString &, const QVariantMap &) override
    {
        calls << QStringLiteral("login %1").arg(userID);
        return true;
    }
    bool stopLogin() override { return true; }
    bool logout(bool) override
    {
        loggedIn = false;
        return true;
    }
    bool isLoggedIn() const override { return loggedIn; }
    void setIsAvailablePONG(bool) override {}
    bool setProxyMode(int, const QString &, int, const QString &, const QString &) override { return true; }
    bool setMyStatus(int status) override
    {
        calls << QStringLiteral("status %1").arg(status);
        return true;
    }
    bool isSignInSession(const void *) const override { return false; }
    PLParleySession *facade() override { return nullptr; }
    bool requestSessionList(const QString &loginID) override
    {
        calls << QStringLiteral("session list %1").arg(loginID);
        return true;
    }
    int sendKillSession(const QString &target, const QString &type) override
    {
        calls << QStringLiteral("session kill %1 %2").arg(type, target);
        return ++lastTid;
    }
    bool getMemo(const QString &cookie) override
    {
        calls << QStringLiteral("session memo %1").arg(cookie);
        return true;
    }

    QStringList calls;
    bool loggedIn = false;
    int lastTid = 40;
};

class Recorder
{
public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder &) = delete;
    Recorder &operator=(const Recorder &) = delete;

    QStringList take()
    {
        QStringList out = calls;
        calls.clear();
        return out;
    }
    QStringList startingWith(const QString &prefix) const { return calls.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix))); }

    QStringList calls;
    // The plug-in manager's entries and state.
    QList<QVariantMap> plugIns;
    QStringList running;
    // The update manager's answers.
    QString latestMainVersion;
    QString mainDownloadURL;
    bool updateStarts = true;
    // The session list exists.
    bool sessionWindow = false;

private:
    struct Parts;
    std::unique_ptr<Parts> d;
};

} // namespace parley::plugins::test
