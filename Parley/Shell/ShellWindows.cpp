#include "ShellWindows.h"

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
    ShellWindows::BuddyRequestFactory buddyRequestFactory = nullptr;
};

Registry &registry()
{
    static Registry r;
    return r;
}

template <typename Interface, typename StandIn>
Interface &installedOr(Interface *installed)
{
    static StandIn standIn;
    return installed ? *installed : standIn;
}

} // namespace

BuddyListDataSource &ShellWindows::buddyListDataSource()
{
    return installedOr<BuddyListDataSource, NullBuddyListDataSource>(registry().buddyListDataSource);
}
BuddyListManager &ShellWindows::buddyListManager()
{
    return installedOr<BuddyListManager, NullBuddyListManager>(registry().buddyListManager);
}
ChatManager &ShellWindows::chatManager() { return installedOr<ChatManager, NullChatManager>(registry().chatManager); }
MessageWindowManager &ShellWindows::messageWindowManager()
{
    return installedOr<MessageWindowManager, NullMessageWindowManager>(registry().messageWindowManager);
}
TransferController &ShellWindows::transferController()
{
    return installedOr<TransferController, NullTransferController>(registry().transferController);
}
KCStatusView &ShellWindows::statusView() { return installedOr<KCStatusView, TitleOnlyStatusView>(registry().statusView); }
AnimiconManager &ShellWindows::animiconManager()
{
    return installedOr<AnimiconManager, NullAnimiconManager>(registry().animiconManager);
}
DockManager &ShellWindows::dockManager() { return installedOr<DockManager, NullDockManager>(registry().dockManager); }
ToasterManager &ShellWindows::toasterManager()
{
    return installedOr<ToasterManager, NullToasterManager>(registry().toasterManager);
}
BridgePage &ShellWindows::bridgePage() { return installedOr<BridgePage, NullBridgePage>(registry().bridgePage); }
PrefsController &ShellWindows::prefsController()
{
    return installedOr<PrefsController, NullPrefsController>(registry().prefsController);
}
PlugInManager &ShellWindows::plugInManager()
{
    return installedOr<PlugInManager, NullPlugInManager>(registry().plugInManager);
}
UpdateManager &ShellWindows::updateManager()
{
    return installedOr<UpdateManager, NullUpdateManager>(registry().updateManager);
}

std::unique_ptr<BuddyRequestController> ShellWindows::makeBuddyRequestController()
{
    if (registry().buddyRequestFactory)
        return registry().buddyRequestFactory();
    return std::make_unique<NullBuddyRequestController>();
}

bool ShellWindows::hasBuddyListDataSource() { return registry().buddyListDataSource != nullptr; }

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
void ShellWindows::setBuddyRequestFactory(BuddyRequestFactory factory) { registry().buddyRequestFactory = factory; }

void ShellWindows::clear() { registry() = Registry{}; }

} // namespace parley::shell
