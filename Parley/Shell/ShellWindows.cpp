#include "ShellWindows.h"

#include "Log.h"

namespace parley::shell {

namespace {

// The stand-ins: they do nothing and answer "nothing there", except the
// status view, which keeps its title so that the shell can read back what it
// showed (the title saved before sleep).
struct NullBuddyListDataSource final : BuddyListDataSource {
    void reloadBuddyData(bool) override {}
    void setIsLoginCompleted(bool) override {}
    void expandAllItems(bool) override {}
};
struct NullBuddyListManager final : BuddyListManager {
    PLBuddyPtr buddyForBuddyDict(const QVariantMap &) override { return {}; }
    int buddyListType() override { return 0; }
    QVariantMap allBuddyList() override { return {}; }
    void clearOrButtonX() override {}
};
struct NullChatManager final : ChatManager {
    ChatDocument *chatDocumentForBuddyIDs(const QStringList &) override { return nullptr; }
    QString getChatText(const QString &) override { return {}; }
    void closeChatRoom(const QString &) override {}
    void saveChatMessages() override {}
    QList<ChatDocument *> visibleChatDocumentList() override { return {}; }
    QList<ChatDocument *> chatDocumentList() override { return {}; }
    void closeAllChatDocuments() override {}
    void activeNewMessageChatRoom() override {}
    ChatDocument *openChatRoom(const QStringList &) override { return nullptr; }
    void reset() override {}
};
struct NullMessageWindowManager final : MessageWindowManager {
    void createReceiveMessageWindowWithInfo(const QVariantMap &) override {}
    void setCookie(const QString &, const QString &) override {}
};
struct NullTransferController final : TransferController {
    void showWindow() override {}
    void reset() override {}
};
struct NullBuddyRequestController final : BuddyRequestController {
    void showBuddyRequestWindow(const QString &, const QString &, const QString &) override {}
    void close() override {}
};
struct TitleOnlyStatusView final : KCStatusView {
    QString title() override { return mTitle; }
    void setTitle(const QString &title) override { setTitle(title, false); }
    void setTitle(const QString &title, bool isSelected) override
    {
        mTitle = title;
        mSelected = isSelected;
    }
    bool isUserSelected() override { return mSelected; }
    QMenu *menu() override { return nullptr; }
    QString mTitle;
    bool mSelected = false;
};
struct NullAnimiconManager final : AnimiconManager {
    void updateAnimicon() override {}
};
struct NullDockManager final : DockManager {
    QMenu *dockMenu() override { return nullptr; }
    void dockIconUpdate() override {}
};
struct NullToasterManager final : ToasterManager {
    void showToasterWindow(const QString &, const QString &, const QString &, QWidget *, const QString &,
                           const QVariantMap &) override
    {
    }
    void showToasterWindow(const QString &, const QVariantMap &) override {}
    bool isToastWindow(const QWidget *) override { return false; }
    void reset() override {}
};
struct NullBridgePage final : BridgePage {
    void bridgePageCall(const QString &, const QString &, const QString &, int) override {}
    void removeBridgeFile() override {}
    void showCertFAQ() override {}
    void showVelaJoin(bool) override {}
    void showVelaFindID(bool) override {}
};
struct NullPrefsController final : PrefsController {
    void showWindow() override {}
    bool isWindowVisible() override { return false; }
    void close() override {}
    void setUserID(const QString &) override {}
    void readPreferences() override {}
};
struct NullPlugInManager final : PlugInManager {
    void loadPlugInFromLocal(const QString &) override {}
    void reset() override {}
};
struct NullUpdateManager final : UpdateManager {
    void checkVersion() override {}
};
struct NullSessionManagerWindow final : SessionManagerWindow {
    bool isAvailable() override { return false; }
    void showWindow() override {}
    void loadSetting() override {}
    void removeAllList() override {}
    void addList(const QString &, const QString &, const QString &, const QString &, const QString &,
                 const QString &) override
    {
    }
    void reloadSessionList() override {}
};
struct NullDesktopNotices final : DesktopNotices {
    void notify(const DesktopNotice &) override {}
};

struct Registry {
    BuddyListDataSource *buddyListDataSource = nullptr;
    BuddyListManager *buddyListManager = nullptr;
    ChatManager *chatManager = nullptr;
    MessageWindowManager *messageWindowManager = nullptr;
    TransferController *transferController = nullptr;
    KCStatusView *statusView = nullptr;
    AnimiconManager *animiconManager = nullptr;
    DockManager *dockManager = nullptr;
    ToasterManager *toasterManager = nullptr;
    BridgePage *bridgePage = nullptr;
    PrefsController *prefsController = nullptr;
    PlugInManager *plugInManager = nullptr;
    UpdateManager *updateManager = nullptr;
    SessionManagerWindow *sessionManagerWindow = nullptr;
    DesktopNotices *desktopNotices = nullptr;
    ShellWindows::BuddyRequestFactory buddyRequestFactory = nullptr;
};

Registry &registry()
{
    static Registry r;
    return r;
}

// A stand-in answering means the program forgot to install a service: said
// once per service, so that the log shows the wiring fault.
template <typename StandIn, typename Interface>
Interface &installedOr(Interface *installed, const char *name)
{
    static StandIn standIn;
    if (installed)
        return *installed;
    static bool said = false;
    if (!said) {
        said = true;
        plLog(QStringLiteral("no %1 is installed; a stand-in that does nothing answers").arg(QLatin1String(name)));
    }
    return standIn;
}

} // namespace

BuddyListDataSource &ShellWindows::buddyListDataSource()
{
    return installedOr<NullBuddyListDataSource>(registry().buddyListDataSource, "buddyListDataSource");
}
BuddyListManager &ShellWindows::buddyListManager()
{
    return installedOr<NullBuddyListManager>(registry().buddyListManager, "buddyListManager");
}
ChatManager &ShellWindows::chatManager()
{
    return installedOr<NullChatManager>(registry().chatManager, "chatManager");
}
MessageWindowManager &ShellWindows::messageWindowManager()
{
    return installedOr<NullMessageWindowManager>(registry().messageWindowManager, "messageWindowManager");
}
TransferController &ShellWindows::transferController()
{
    return installedOr<NullTransferController>(registry().transferController, "transferController");
}
KCStatusView &ShellWindows::statusView()
{
    return installedOr<TitleOnlyStatusView>(registry().statusView, "statusView");
}
AnimiconManager &ShellWindows::animiconManager()
{
    return installedOr<NullAnimiconManager>(registry().animiconManager, "animiconManager");
}
DockManager &ShellWindows::dockManager()
{
    return installedOr<NullDockManager>(registry().dockManager, "dockManager");
}
ToasterManager &ShellWindows::toasterManager()
{
    return installedOr<NullToasterManager>(registry().toasterManager, "toasterManager");
}
BridgePage &ShellWindows::bridgePage()
{
    return installedOr<NullBridgePage>(registry().bridgePage, "bridgePage");
}
PrefsController &ShellWindows::prefsController()
{
    return installedOr<NullPrefsController>(registry().prefsController, "prefsController");
}
PlugInManager &ShellWindows::plugInManager()
{
    return installedOr<NullPlugInManager>(registry().plugInManager, "plugInManager");
}
UpdateManager &ShellWindows::updateManager()
{
    return installedOr<NullUpdateManager>(registry().updateManager, "updateManager");
}
SessionManagerWindow &ShellWindows::sessionManagerWindow()
{
    return installedOr<NullSessionManagerWindow>(registry().sessionManagerWindow, "sessionManagerWindow");
}
DesktopNotices &ShellWindows::desktopNotices()
{
    return installedOr<NullDesktopNotices>(registry().desktopNotices, "desktopNotices");
}

std::unique_ptr<BuddyRequestController> ShellWindows::makeBuddyRequestController()
{
    if (registry().buddyRequestFactory)
        return registry().buddyRequestFactory();
    static bool said = false;
    if (!said) {
        said = true;
        plLog(QStringLiteral("no buddyRequestFactory is installed; a stand-in that does nothing answers"));
    }
    return std::make_unique<NullBuddyRequestController>();
}

bool ShellWindows::hasBuddyListDataSource() { return registry().buddyListDataSource != nullptr; }
bool ShellWindows::hasChatManager() { return registry().chatManager != nullptr; }
bool ShellWindows::hasStatusView() { return registry().statusView != nullptr; }
bool ShellWindows::hasDockManager() { return registry().dockManager != nullptr; }
bool ShellWindows::hasToasterManager() { return registry().toasterManager != nullptr; }

void ShellWindows::setBuddyListDataSource(BuddyListDataSource *dataSource) { registry().buddyListDataSource = dataSource; }
void ShellWindows::setBuddyListManager(BuddyListManager *manager) { registry().buddyListManager = manager; }
void ShellWindows::setChatManager(ChatManager *manager) { registry().chatManager = manager; }
void ShellWindows::setMessageWindowManager(MessageWindowManager *manager) { registry().messageWindowManager = manager; }
void ShellWindows::setTransferController(TransferController *controller) { registry().transferController = controller; }
void ShellWindows::setStatusView(KCStatusView *view) { registry().statusView = view; }
void ShellWindows::setAnimiconManager(AnimiconManager *manager) { registry().animiconManager = manager; }
void ShellWindows::setDockManager(DockManager *manager) { registry().dockManager = manager; }
void ShellWindows::setToasterManager(ToasterManager *manager) { registry().toasterManager = manager; }
void ShellWindows::setBridgePage(BridgePage *page) { registry().bridgePage = page; }
void ShellWindows::setPrefsController(PrefsController *controller) { registry().prefsController = controller; }
void ShellWindows::setPlugInManager(PlugInManager *manager) { registry().plugInManager = manager; }
void ShellWindows::setUpdateManager(UpdateManager *manager) { registry().updateManager = manager; }
void ShellWindows::setSessionManagerWindow(SessionManagerWindow *window) { registry().sessionManagerWindow = window; }
void ShellWindows::setDesktopNotices(DesktopNotices *notices) { registry().desktopNotices = notices; }
void ShellWindows::setBuddyRequestFactory(BuddyRequestFactory factory) { registry().buddyRequestFactory = factory; }

QStringList ShellWindows::standIns()
{
    const Registry &r = registry();
    const std::pair<const void *, const char *> services[] = {
        {r.buddyListDataSource, "buddyListDataSource"},
        {r.buddyListManager, "buddyListManager"},
        {r.chatManager, "chatManager"},
        {r.messageWindowManager, "messageWindowManager"},
        {r.transferController, "transferController"},
        {r.statusView, "statusView"},
        {r.animiconManager, "animiconManager"},
        {r.dockManager, "dockManager"},
        {r.toasterManager, "toasterManager"},
        {r.bridgePage, "bridgePage"},
        {r.prefsController, "prefsController"},
        {r.plugInManager, "plugInManager"},
        {r.updateManager, "updateManager"},
        {r.sessionManagerWindow, "sessionManagerWindow"},
        {r.desktopNotices, "desktopNotices"},
        {reinterpret_cast<const void *>(r.buddyRequestFactory), "buddyRequestFactory"},
    };
    QStringList missing;
    for (const auto &[installed, name] : services)
        if (!installed)
            missing << QLatin1String(name);
    return missing;
}

void ShellWindows::clear() { registry() = Registry{}; }

} // namespace parley::shell
