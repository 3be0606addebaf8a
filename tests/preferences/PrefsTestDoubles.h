#pragma once

// Recording stand-ins for what the preferences window talks to: the
// account-session facade, the shell, the plug-in host and the emoticon
// palette; and the signed-in user as PrefsManager asks for it.

#include "Preferences/PrefsEmoticonPalette.h"
#include "Preferences/PrefsPlugInHost.h"
#include "Preferences/PrefsSession.h"
#include "Preferences/PrefsShell.h"
#include "Utils/PLCurrentUserProvider.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

namespace parley::test {

struct Call {
    QString name;
    QVariantList args;
    bool operator==(const Call &other) const { return name == other.name && args == other.args; }
};

class RecordingPrefsSession final : public PrefsSession
{
public:
    bool isLoggedIn() const override { return loggedIn; }
    bool setCPRF(const QVariantMap &profile, qint32 *tid) override
    {
        calls.append({QStringLiteral("setCPRF"), {profile}});
        if (tid)
            *tid = nextTid;
        return nextTid != -1;
    }
    bool setMyNickName(const QString &nickName) override { return record("setMyNickName", {nickName}); }
    bool blockBuddy(const QString &buddyID) override { return record("blockBuddy", {buddyID}); }
    bool unblockBuddy(const QString &buddyID) override { return record("unblockBuddy", {buddyID}); }
    bool removeBuddyFlag(const QString &buddyID, const QString &flag) override
    {
        return record("removeBuddyFlag", {buddyID, flag});
    }
    bool showBuddy(const QString &buddyID) override { return record("showBuddy", {buddyID}); }
    qint32 setOrchardInterlock(const QString &orchardID, const QString &password) override
    {
        record("setOrchardInterlock", {orchardID, password});
        return nextTid;
    }
    qint32 resetOrchardInterlock() override
    {
        record("resetOrchardInterlock", {});
        return nextTid;
    }
    qint32 setVelaInterlock(const QString &velaID, const QString &password) override
    {
        record("setVelaInterlock", {velaID, password});
        return nextTid;
    }
    qint32 resetVelaInterlock() override
    {
        record("resetVelaInterlock", {});
        return nextTid;
    }

    // The calls of one name, in order.
    QList<QVariantList> callsOf(const char *name) const
    {
        QList<QVariantList> out;
        for (const Call &c : calls)
            if (c.name == QLatin1String(name))
                out << c.args;
        return out;
    }

    bool loggedIn = true;
    qint32 nextTid = 7;
    QList<Call> calls;

private:
    bool record(const char *name, const QVariantList &args)
    {
        calls.append({QLatin1String(name), args});
        return true;
    }
};

class RecordingPrefsShell final : public PrefsShell
{
public:
    bool loginStatus() const override { return signedIn; }
    QString currentUserID() const override { return userID; }
    PrefsSession *session() override { return facade; }
    void terminateApplication() override { calls << QStringLiteral("terminateApplication"); }
    void showBuddyProfile(const PLBuddyPtr &buddy) override
    {
        calls << QStringLiteral("showBuddyProfile ") + (buddy ? buddy->velaID() : QString());
    }
    void showMyProfileSettings() override { calls << QStringLiteral("showMyProfileSettings"); }
    void showVelaJoin(bool isVela) override { calls << QStringLiteral("showVelaJoin %1").arg(isVela); }
    void showVelaFindID(bool isVela) override { calls << QStringLiteral("showVelaFindID %1").arg(isVela); }
    void openURL(const QUrl &url) override { urls << url; }

    bool signedIn = false;
    QString userID;
    PrefsSession *facade = nullptr;
    QStringList calls;
    QList<QUrl> urls;
};

class RecordingPlugInHost final : public PrefsPlugInHost
{
public:
    struct Facts {
        bool enableAutoLaunch = false;
        bool installed = false;
        bool needUpdate = false;
        bool autoLaunch = false;
    };
    QList<QVariantMap> plugInList() const override { return entries; }
    bool isEnableAutoLaunchPlugIn(const QString &id) const override { return facts.value(id).enableAutoLaunch; }
    bool isInstalledPlugIn(const QString &id) const override { return facts.value(id).installed; }
    bool isNeedUpdatePlugIn(const QString &id) const override { return facts.value(id).needUpdate; }
    bool isAutoLaunchPlugIn(const QString &id) const override { return facts.value(id).autoLaunch; }
    void setPluginAutoLaunch(const QString &id, bool on) override
    {
        calls << QStringLiteral("setPluginAutoLaunch %1 %2").arg(id).arg(on);
    }
    void quitPlugin(const QString &id, const QString &key) override
    {
        calls << QStringLiteral("quitPlugin %1 %2").arg(id, key);
    }
    void removePlugIn(const QString &id) override { calls << QStringLiteral("removePlugIn ") + id; }
    bool updatePlugIn(const QString &id, bool notify) override
    {
        calls << QStringLiteral("updatePlugIn %1 %2").arg(id).arg(notify);
        return true;
    }
    void showPlugInUpdater(const QString &id, bool execute) override
    {
        calls << QStringLiteral("showPlugInUpdater %1 %2").arg(id).arg(execute);
    }

    QList<QVariantMap> entries;
    QMap<QString, Facts> facts;
    QStringList calls;
};

class RecordingPalette final : public PrefsEmoticonPalette
{
public:
    void showEmoticonPalette(const QPoint &point, std::function<void(const QString &)> chosen) override
    {
        shownAt << point;
        mChosen = std::move(chosen);
        loaded = true;
    }
    bool isWindowLoaded() const override { return loaded; }
    void close() override
    {
        loaded = false;
        ++closed;
    }
    // The user picks an emoticon in the palette shown last.
    void choose(const QString &token)
    {
        if (mChosen)
            mChosen(token);
    }

    QList<QPoint> shownAt;
    bool loaded = false;
    int closed = 0;

private:
    std::function<void(const QString &)> mChosen;
};

struct FixedUser final : PLCurrentUserProvider {
    QString id;
    QString currentUserID() const override { return id; }
};

} // namespace parley::test
