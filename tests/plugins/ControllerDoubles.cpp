#include "ControllerDoubles.h"

#include <QRegularExpression>

namespace parley::plugins::test {

namespace {

QString boolText(bool flag) { return flag ? QStringLiteral("YES") : QStringLiteral("NO"); }

} // namespace

struct Recorder::Parts {
    struct Chats final : shell::ChatManager {
        explicit Chats(Recorder &r) : r(r) {}
        shell::ChatDocument *chatDocumentForBuddyIDs(const QStringList &) override { return nullptr; }
        QString getChatText(const QString &) override { return {}; }
        void closeChatRoom(const QString &) override {}
        void saveChatMessages() override {}
        QList<shell::ChatDocument *> visibleChatDocumentList() override { return {}; }
        QList<shell::ChatDocument *> chatDocumentList() override { return {}; }
        void closeAllChatDocuments() override {}
        void activeNewMessageChatRoom() override {}
        shell::ChatDocument *openChatRoom(const QStringList &ids) override
        {
            r.calls << QStringLiteral("chat open %1").arg(ids.join(QLatin1Char(',')));
            return nullptr;
        }
        void reset() override {}
        Recorder &r;
    };
    struct Memos final : shell::MessageWindowManager {
        explicit Memos(Recorder &r) : r(r) {}
        void createReceiveMessageWindowWithInfo(const QVariantMap &info) override
        {
            r.calls << QStringLiteral("memo window %1").arg(info.value(QStringLiteral("cookie")).toString());
        }
        void setCookie(const QString &, const QString &) override {}
        Recorder &r;
    };
    struct Bridge final : shell::BridgePage {
        explicit Bridge(Recorder &r) : r(r) {}
        void bridgePageCall(const QString &code, const QString &, const QString &, int) override
        {
            r.calls << QStringLiteral("bridge call %1").arg(code);
        }
        void removeBridgeFile() override {}
        void showCertFAQ() override {}
        void showVelaJoin(bool) override {}
        void showVelaFindID(bool) override {}
        void showBridgePageForSVC(const QString &type, const QString &code, int flag, const QString &url) override
        {
            r.calls << QStringLiteral("bridge svc %1 %2 %3 %4").arg(type, code).arg(flag).arg(url);
        }
        void showVelaMsgBoxHelp() override { r.calls << QStringLiteral("bridge msgbox help"); }
        void showVelaChat(const QString &id) override
        {
            r.calls << QStringLiteral("bridge chat box %1").arg(id.isNull() ? QStringLiteral("(all)") : id);
        }
        void showVelaMemo() override { r.calls << QStringLiteral("bridge memo box"); }
        Recorder &r;
    };
    struct Toaster final : shell::ToasterManager {
        explicit Toaster(Recorder &r) : r(r) {}
        void showToasterWindow(const QString &type, const QString &who, const QString &text, QWidget *window,
                               const QString &url, const QVariantMap &) override
        {
            r.calls << QStringLiteral("toaster %1 %2 %3 %4 %5").arg(type, who, text, window ? QStringLiteral("window") : QStringLiteral("none"), url);
        }
        void showToasterWindow(const QString &, const QVariantMap &) override {}
        bool isToastWindow(const QWidget *) override { return false; }
        void reset() override {}
        Recorder &r;
    };
    struct Notices final : shell::DesktopNotices {
        explicit Notices(Recorder &r) : r(r) {}
        void notify(const shell::DesktopNotice &n) override
        {
            QStringList context;
            for (const QVariant &v : n.clickContext)
                context << v.toString();
            r.calls << QStringLiteral("notice %1|%2|%3|%4|%5|%6|%7")
                           .arg(n.notificationName, n.title, n.description, n.iconName)
                           .arg(n.priority)
                           .arg(boolText(n.sticky), context.join(QLatin1Char(',')));
        }
        Recorder &r;
    };
    struct Sessions final : shell::SessionManagerWindow {
        explicit Sessions(Recorder &r) : r(r) {}
        bool isAvailable() override { return r.sessionWindow; }
        void showWindow() override
        {
            r.sessionWindow = true;
            r.calls << QStringLiteral("sessions show");
        }
        void loadSetting() override { r.calls << QStringLiteral("sessions loadSetting"); }
        void removeAllList() override { r.calls << QStringLiteral("sessions removeAllList"); }
        void addList(const QString &key, const QString &media, const QString &equip, const QString &lang,
                     const QString &name, const QString &typeName) override
        {
            r.calls << QStringLiteral("sessions add %1|%2|%3|%4|%5|%6").arg(key, media, equip, lang, name, typeName);
        }
        void reloadSessionList() override { r.calls << QStringLiteral("sessions reload"); }
        Recorder &r;
    };
    struct PlugIns final : shell::PlugInManager {
        explicit PlugIns(Recorder &r) : r(r) {}
        void loadPlugInFromLocal(const QString &) override {}
        void reset() override { r.calls << QStringLiteral("plugins reset"); }
        QList<QVariantMap> plugInList() override { return r.plugIns; }
        QVariantMap pluginForID(const QString &id) override
        {
            for (const QVariantMap &e : std::as_const(r.plugIns))
                if (e.value(QStringLiteral("id")).toString() == id)
                    return e;
            return {};
        }
        QVariantMap pluginForName(const QString &name) override
        {
            for (const QVariantMap &e : std::as_const(r.plugIns))
                if (e.value(QStringLiteral("name")).toString() == name)
                    return e;
            return {};
        }
        bool isNeedUpdatePlugIn(const QString &id) override { return pluginForID(id).value(QStringLiteral("needUpdate")).toBool(); }
        bool isPlugInRunning(const QString &id) override { return r.running.contains(id); }
        bool plugInExecute(const QString &id) override
        {
            r.calls << QStringLiteral("plugins execute %1").arg(id);
            r.running << id;
            return true;
        }
        void quitPlugin(const QString &id, const QString &key) override
        {
            r.calls << QStringLiteral("plugins quit %1 %2").arg(id, key);
        }
        void setPluginNeedUpdate(const QString &id, bool flag) override
        {
            r.calls << QStringLiteral("plugins needUpdate %1 %2").arg(id, boolText(flag));
            for (QVariantMap &e : r.plugIns)
                if (e.value(QStringLiteral("id")).toString() == id)
                    e.insert(QStringLiteral("needUpdate"), flag);
        }
        void addPluginForUpdate(const QVariantMap &record) override
        {
            r.calls << QStringLiteral("plugins merge %1").arg(record.value(QStringLiteral("uuid")).toString());
        }
        Recorder &r;
    };
    struct Updates final : shell::UpdateManager {
        explicit Updates(Recorder &r) : r(r) {}
        void checkVersion() override {}
        QString latestMainVersion() override { return r.latestMainVersion; }
        QString mainDownloadURL() override { return r.mainDownloadURL; }
        bool updatePlugIn(const QString &id, bool notify) override
        {
            r.calls << QStringLiteral("updates update %1 %2").arg(id, boolText(notify));
            return r.updateStarts;
        }
        void showPlugInUpdater(const QString &id, bool execute) override
        {
            r.calls << QStringLiteral("updates updater %1 %2").arg(id, boolText(execute));
        }
        Recorder &r;
    };

    explicit Parts(Recorder &r)
        : chats(r), memos(r), bridge(r), toaster(r), notices(r), sessions(r), plugIns(r), updates(r)
    {
    }
    Chats chats;
    Memos memos;
    Bridge bridge;
    Toaster toaster;
    Notices notices;
    Sessions sessions;
    PlugIns plugIns;
    Updates updates;
};

Recorder::Recorder() : d(std::make_unique<Parts>(*this))
{
    shell::ShellWindows::setChatManager(&d->chats);
    shell::ShellWindows::setMessageWindowManager(&d->memos);
    shell::ShellWindows::setBridgePage(&d->bridge);
    shell::ShellWindows::setToasterManager(&d->toaster);
    shell::ShellWindows::setDesktopNotices(&d->notices);
    shell::ShellWindows::setSessionManagerWindow(&d->sessions);
    shell::ShellWindows::setPlugInManager(&d->plugIns);
    shell::ShellWindows::setUpdateManager(&d->updates);
}

Recorder::~Recorder() { shell::ShellWindows::clear(); }

} // namespace parley::plugins::test
