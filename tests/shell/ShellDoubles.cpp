#include "ShellDoubles.h"

#include "AppController.h"

namespace parley::shell::test {

struct RecordingWindows::DataSource final : BuddyListDataSource {
    explicit DataSource(QStringList &calls) : calls(calls) {}
    void reloadBuddyData(bool rebuild) override
    {
        calls << QStringLiteral("list reloadBuddyData %1").arg(rebuild);
        // As the real list does once its rows are built after the sign-in.
        if (rebuild && completed && AppController::sharedController())
            AppController::sharedController()->buddyDataReceived();
    }
    void setIsLoginCompleted(bool flag) override
    {
        completed = flag;
        calls << QStringLiteral("list setIsLoginCompleted %1").arg(flag);
    }
    void expandAllItems(bool expand) override { calls << QStringLiteral("list expandAllItems %1").arg(expand); }
    QStringList &calls;
    bool completed = false;
};

struct RecordingWindows::Chats final : ChatManager {
    Chats(QStringList &calls, QList<ChatDocument *> &visible) : calls(calls), visible(visible) {}
    ChatDocument *chatDocumentForBuddyIDs(const QStringList &) override { return nullptr; }
    QString getChatText(const QString &) override { return {}; }
    void closeChatRoom(const QString &key) override { calls << QStringLiteral("chat closeChatRoom %1").arg(key); }
    void saveChatMessages() override {}
    QList<ChatDocument *> visibleChatDocumentList() override { return visible; }
    QList<ChatDocument *> chatDocumentList() override { return visible; }
    void closeAllChatDocuments() override
    {
        calls << QStringLiteral("chat closeAllChatDocuments");
        visible.clear();
    }
    void activeNewMessageChatRoom() override { calls << QStringLiteral("chat activeNewMessageChatRoom"); }
    ChatDocument *openChatRoom(const QStringList &) override { return nullptr; }
    void reset() override { calls << QStringLiteral("chat reset"); }
    QStringList &calls;
    QList<ChatDocument *> &visible;
};

struct RecordingWindows::Transfer final : TransferController {
    explicit Transfer(QStringList &calls) : calls(calls) {}
    void showWindow() override { calls << QStringLiteral("transfer showWindow"); }
    void reset() override { calls << QStringLiteral("transfer reset"); }
    QStringList &calls;
};

struct RecordingWindows::Toaster final : ToasterManager {
    Toaster(QStringList &calls, QList<const QWidget *> &windows) : calls(calls), windows(windows) {}
    void showToasterWindow(const QString &type, const QString &buddyString, const QString &text, QWidget *,
                           const QString &url, const QVariantMap &userInfo) override
    {
        // Type, name, text and URL in brackets, then the details' keys.
        calls << QStringLiteral("toaster show %1 [%2] [%3] [%4] %5")
                     .arg(type, buddyString, text, url, QStringList(userInfo.keys()).join(QLatin1Char(',')));
    }
    void showToasterWindow(const QString &type, const QVariantMap &) override
    {
        calls << QStringLiteral("toaster count %1").arg(type);
    }
    bool isToastWindow(const QWidget *window) override { return windows.contains(window); }
    void reset() override { calls << QStringLiteral("toaster reset"); }
    QStringList &calls;
    QList<const QWidget *> &windows;
};

struct RecordingWindows::PlugIns final : PlugInManager {
    explicit PlugIns(QStringList &calls) : calls(calls) {}
    void loadPlugInFromLocal(const QString &path) override { calls << QStringLiteral("plugins load %1").arg(path); }
    void reset() override { calls << QStringLiteral("plugins reset"); }
    QStringList &calls;
};

struct RecordingWindows::Dock final : DockManager {
    explicit Dock(QStringList &calls) : calls(calls) {}
    QMenu *dockMenu() override { return nullptr; }
    void dockIconUpdate() override { calls << QStringLiteral("dock dockIconUpdate"); }
    QStringList &calls;
};

struct RecordingWindows::Bridge final : BridgePage {
    explicit Bridge(QStringList &calls) : calls(calls) {}
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override
    {
        // A null parameter or address shows as "-".
        const auto shown = [](const QString &s) { return s.isNull() ? QStringLiteral("-") : s; };
        calls << QStringLiteral("bridge call %1 %2 %3 %4").arg(code, shown(param), shown(returnURL), QString::number(hFlag));
    }
    void removeBridgeFile() override { calls << QStringLiteral("bridge removeBridgeFile"); }
    void showCertFAQ() override { calls << QStringLiteral("bridge showCertFAQ"); }
    void showVelaJoin(bool isVela) override { calls << QStringLiteral("bridge showVelaJoin %1").arg(isVela); }
    void showVelaFindID(bool isVela) override { calls << QStringLiteral("bridge showVelaFindID %1").arg(isVela); }
    // Every other page, so that a button or menu item that opens nothing fails its test.
    void showBridgePageForSVC(const QString &svc, const QString &code, int hFlag, const QString &url) override
    {
        calls << QStringLiteral("bridge showBridgePageForSVC %1 %2 %3 %4").arg(svc, code, QString::number(hFlag), url);
    }
    void showVelaMsgBoxHelp() override { calls << QStringLiteral("bridge showVelaMsgBoxHelp"); }
    void showVelaVelaComHome() override { calls << QStringLiteral("bridge showVelaVelaComHome"); }
    void showVelaOrchardHome() override { calls << QStringLiteral("bridge showVelaOrchardHome"); }
    void showParleyHome() override { calls << QStringLiteral("bridge showParleyHome"); }
    void showParleyFAQ() override { calls << QStringLiteral("bridge showParleyFAQ"); }
    void showParleyHottip() override { calls << QStringLiteral("bridge showParleyHottip"); }
    void showParleyMininook() override { calls << QStringLiteral("bridge showParleyMininook"); }
    void showParleyHelp() override { calls << QStringLiteral("bridge showParleyHelp"); }
    void showConfirmMail() override { calls << QStringLiteral("bridge showConfirmMail"); }
    void showVelaMemo() override { calls << QStringLiteral("bridge showVelaMemo"); }
    void showVelaChat(const QString &id) override { calls << QStringLiteral("bridge showVelaChat %1").arg(id); }
    void showVelaMail(bool flag) override { calls << QStringLiteral("bridge showVelaMail %1").arg(flag); }
    void showVelaMainHomepage(bool flag) override { calls << QStringLiteral("bridge showVelaMainHomepage %1").arg(flag); }
    void showOrchardMainHomepage(bool flag) override
    {
        calls << QStringLiteral("bridge showOrchardMainHomepage %1").arg(flag);
    }
    void showBuddyProfile(const PLBuddyPtr &buddy) override
    {
        calls << QStringLiteral("bridge showBuddyProfile %1").arg(buddy ? buddy->velaID() : QString());
    }
    void showProfile(const QString &cmn) override { calls << QStringLiteral("bridge showProfile %1").arg(cmn); }
    void showMyProfile() override { calls << QStringLiteral("bridge showMyProfile"); }
    void showMyProfileSettings() override { calls << QStringLiteral("bridge showMyProfileSettings"); }
    void showBuddyMininook(const PLBuddyPtr &buddy) override
    {
        calls << QStringLiteral("bridge showBuddyMininook %1").arg(buddy ? buddy->velaID() : QString());
    }
    void showMyMininook() override { calls << QStringLiteral("bridge showMyMininook"); }
    void showVelaSMS(const QList<QVariantMap> &entries) override
    {
        calls << QStringLiteral("bridge showVelaSMS %1").arg(entries.size());
    }
    QStringList &calls;
};

struct RecordingWindows::Updates final : UpdateManager {
    explicit Updates(QStringList &calls) : calls(calls) {}
    void checkVersion() override { calls << QStringLiteral("updates checkVersion"); }
    QStringList &calls;
};

struct RecordingWindows::Prefs final : PrefsController {
    explicit Prefs(QStringList &calls) : calls(calls) {}
    void showWindow() override { calls << QStringLiteral("prefs showWindow"); }
    bool isWindowVisible() override { return false; }
    void close() override { calls << QStringLiteral("prefs close"); }
    void setUserID(const QString &userID) override { calls << QStringLiteral("prefs setUserID %1").arg(userID); }
    void readPreferences() override { calls << QStringLiteral("prefs readPreferences"); }
    void showMessagePane() override { calls << QStringLiteral("prefs showMessagePane"); }
    void showNotificationPane() override { calls << QStringLiteral("prefs showNotificationPane"); }
    void showVelaComPane() override { calls << QStringLiteral("prefs showVelaComPane"); }
    void showGeneralPane() override { calls << QStringLiteral("prefs showGeneralPane"); }
    void showOrchardPane() override { calls << QStringLiteral("prefs showOrchardPane"); }
    QStringList &calls;
};

RecordingWindows::RecordingWindows()
    : mChats(std::make_unique<Chats>(calls, visibleChats)),
      mTransfer(std::make_unique<Transfer>(calls)),
      mToaster(std::make_unique<Toaster>(calls, toastWindows)),
      mPlugIns(std::make_unique<PlugIns>(calls)),
      mDock(std::make_unique<Dock>(calls)),
      mBridge(std::make_unique<Bridge>(calls)),
      mUpdates(std::make_unique<Updates>(calls)),
      mPrefs(std::make_unique<Prefs>(calls))
{
    ShellWindows::setChatManager(mChats.get());
    ShellWindows::setTransferController(mTransfer.get());
    ShellWindows::setToasterManager(mToaster.get());
    ShellWindows::setPlugInManager(mPlugIns.get());
    ShellWindows::setDockManager(mDock.get());
    ShellWindows::setBridgePage(mBridge.get());
    ShellWindows::setUpdateManager(mUpdates.get());
    ShellWindows::setPrefsController(mPrefs.get());
}

RecordingWindows::~RecordingWindows() { ShellWindows::clear(); }

void RecordingWindows::useDataSource()
{
    mDataSource = std::make_unique<DataSource>(calls);
    ShellWindows::setBuddyListDataSource(mDataSource.get());
}

} // namespace parley::shell::test
