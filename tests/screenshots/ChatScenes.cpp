// The chat window (a conversation with emoticons, an animicon line and file
// lines; and one with the absence banner) and the file transfer window with
// sends and receives in their states.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Chat/ChatDocument.h"
#include "Chat/ChatManager.h"
#include "ChatManagement/PLChatSessionManager.h"
#include "Conversation/AnimiconManager.h"
#include "NotificationCenter.h"
#include "NotificationNames.h"
#include "ScreenshotScenes.h"
#include "Transfer/TransferController.h"
#include "Transfer/TransferFilePort.h"

#include <QEventLoop>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QTabWidget>
#include <QTimer>

namespace parley::screenshots {

namespace {

namespace nn = notifications;

PLChatSessionManager &sceneRooms()
{
    static PLChatSessionManager rooms(NotificationCenter::defaultCenter());
    return rooms;
}

ChatManager &sceneManager()
{
    static ChatManager manager(sceneRooms(), NotificationCenter::defaultCenter(), [] {
        ChatManager::Account account;
        account.createRoom = [](const QStringList &, QString *uuid) {
            static int next = 0;
            *uuid = QStringLiteral("scene-%1").arg(++next);
            return true;
        };
        return account;
    }());
    return manager;
}

void sceneBuddies(int minjiStatus)
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.reset();
    const auto add = [&](const char *cmn, const QString &name, int status) {
        PLBuddyPtr b = buddies.createBuddyForCMN(QLatin1String(cmn));
        b->setVelaID(QLatin1String(cmn) + QStringLiteral("@parley.test"));
        b->setName(name);
        b->setNickName(name);
        b->setStatus(status);
        b->setBuddyFlags(QStringLiteral("1100"));
    };
    add("minji", sample(QStringLiteral("김민지"), QStringLiteral("Minji Kim")), minjiStatus);
    add("junho", sample(QStringLiteral("이준호"), QStringLiteral("Junho Lee")), 1);
    // Minji has a page on the sister service: the chat header shows its home button.
    buddies.buddyForID(QStringLiteral("minji@parley.test"))->setOrchardCMN(QStringLiteral("100042"));
    PLMyInfoManager &me = PLMyInfoManager::sharedManager();
    me.setStatus(1);
    me.setName(sample(QStringLiteral("박지훈"), QStringLiteral("Jihun Park")));
    me.setNickName(me.name());
}

// The animicon of the scene, fetched before its line is shown, as a user who
// has seen it once has it in the cache.
void cacheSceneAnimicon(const QString &categoryID, const QString &animiconID)
{
    ::AnimiconManager &animicons = ::AnimiconManager::sharedManager();
    if (!animicons.cachedImageFileForCategory(categoryID, animiconID).isEmpty())
        return;
    QEventLoop loop;
    bool done = false;
    animicons.animiconImageFileForCategory(categoryID, animiconID, &loop, [&](const QString &) {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
}

QWidget *chatWindow(bool banner)
{
    sceneBuddies(banner ? 0 : 1);
    const QString minji = QStringLiteral("minji@parley.test");
    ChatDocument *window = sceneManager().openChatRoom({minji});
    if (!window) {
        // An offline buddy opens no chat: the window the buddy left behind.
        PLBuddyManager::sharedManager().buddyForID(minji)->setStatus(1);
        window = sceneManager().openChatRoom({minji});
        PLBuddyManager::sharedManager().buddyForID(minji)->setStatus(0);
    }
    ChatConversation &chat = window->conversation();
    const bool korean = sample(QStringLiteral("ko"), QStringLiteral("en")) == QLatin1String("ko");
    chat.addMessage(QStringLiteral("Gulim\t8388608\t\t")
                        + (korean ? QStringLiteral("안녕하세요 /웃음/ 오늘 회의 자료 보내 드릴게요")
                                  : QStringLiteral("Hello /smile/ I'll send you the slides")),
                    minji, false, false);
    chat.addMessage(korean ? QStringLiteral("고마워요 /하트/ 기다릴게요") : QStringLiteral("Thanks /heart/ I'm waiting"),
                    QString(), true, false);
    cacheSceneAnimicon(QStringLiteral("k"), QStringLiteral("001"));
    chat.addMessage(QStringLiteral("Gulim\t32768\t\t<ANICO|k001|k_001.bmp|")
                        + (korean ? QStringLiteral("웃음") : QStringLiteral("Laugh")) + QStringLiteral("|/ANICO>"),
                    minji, false, false);
    chat.addFileInfoMessage(QStringLiteral("FileTransferDownloadMessage"), 0, minji);
    chat.addFileInfo(korean ? QStringLiteral("회의자료.pdf (1.2MB)") : QStringLiteral("slides.pdf (1.2MB)"), 1);
    if (banner)
        chat.updateAbsentBuddyStatusView();
    window->statusLine()->setText(sample(QStringLiteral("마지막 메시지 받은 시각: 2026-12-11 오후 02:05"),
                                         QStringLiteral("Last message received: 2026-12-11 PM 02:05")));
    // Held in a plain frame: the program closes the frame, and the chat
    // window's own close would ask whether to save the log.
    auto *frame = new QWidget;
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    window->setParent(frame);
    window->setWindowFlags(Qt::Widget);
    layout->addWidget(window);
    frame->resize(360, 460);
    return frame;
}

const bool registeredChat = registerScene(QStringLiteral("chat-window"), [] { return chatWindow(false); });
const bool registeredBanner = registerScene(QStringLiteral("chat-window-banner"), [] { return chatWindow(true); });

// The chat toolbar's context menu: its items, and how they show.
const bool registeredToolbarMenu = registerScene(QStringLiteral("chat-toolbar-menu"), [] {
    sceneBuddies(1);
    ChatDocument *window = sceneManager().openChatRoom({QStringLiteral("junho@parley.test")});
    QMenu *menu = window->toolbarMenu();
    menu->setParent(nullptr, Qt::Popup); // the scene owns what it shows
    window->setParent(menu, Qt::Window);  // and the window goes with it
    return menu;
});

// Records for the transfer window to read.
class SceneFiles final : public TransferFilePort
{
public:
    void add(const QString &cookie, const QString &name, qint64 size, bool download, qint64 done, bool isDone,
             bool cancelled)
    {
        records.insert(cookie, {{"fileCookie", cookie},
                                {"fileName", name},
                                {"fileSize", size},
                                {"targetID", QStringLiteral("minji@parley.test")},
                                {"chatSessionKey", QStringLiteral("scene")},
                                {"ioIndex", done},
                                {"transPercent", float(size ? 100.0 * double(done) / double(size) : 0)},
                                {"isDone", isDone},
                                {"isCancelled", cancelled},
                                {"isDownload", download},
                                {"filePath", QStringLiteral("/tmp/") + name},
                                {"isMail", false}});
    }
    QVariantMap fileInfoForCookie(const QString &cookie) override { return records.value(cookie); }
    void setFileInfoFlag(const QString &cookie, const QString &key, bool value) override
    {
        if (records.contains(cookie))
            records[cookie].insert(key, value);
    }
    bool acceptDownloadFor(const QString &) override { return true; }
    bool rejectDownloadFor(const QString &) override { return true; }
    bool cancelDownloadFor(const QString &) override { return true; }
    bool cancelUploadFor(const QString &) override { return true; }
    bool receiveMailFor(const QString &) override { return true; }
    bool sendMailFor(const QString &) override { return true; }
    bool checkMailForCookie(const QString &) override { return false; }
    bool removeFileInfoForCookie(const QString &cookie) override { return records.remove(cookie) > 0; }

    QHash<QString, QVariantMap> records;
};

class TransferScene final : public QWidget
{
public:
    TransferScene()
    {
        sceneBuddies(1);
        mWindow = new TransferController(mFiles, nullptr, mCenter, this);
        const auto offer = [&](const char *cookie, const QString &name, qint64 size, bool download) {
            mFiles.add(QLatin1String(cookie), name, size, download, 0, false, false);
            mCenter.post(QLatin1String(download ? nn::kFileDownloadRequestReceived : nn::kFileUploadRequestSent), &mFiles,
                         {{QLatin1String(nn::kKeyFileCookies), QVariantList{QLatin1String(cookie)}}});
        };
        offer("s1", sample(QStringLiteral("회의자료.pdf"), QStringLiteral("slides.pdf")), 1258291, false);
        offer("s2", sample(QStringLiteral("사진 모음.zip"), QStringLiteral("photos.zip")), 52428800, false);
        offer("r1", sample(QStringLiteral("여행 일정표.xlsx"), QStringLiteral("itinerary.xlsx")), 48000, true);
        offer("r2", QStringLiteral("notes.txt"), 2048, true);
        mFiles.add(QStringLiteral("s1"), sample(QStringLiteral("회의자료.pdf"), QStringLiteral("slides.pdf")), 1258291,
                   false, 629145, false, false);
        mCenter.post(QLatin1String(nn::kFileUploadPartSent), &mFiles, {{"fileCookie", QStringLiteral("s1")}});
        mFiles.add(QStringLiteral("s2"), sample(QStringLiteral("사진 모음.zip"), QStringLiteral("photos.zip")), 52428800,
                   false, 52428800, true, false);
        mCenter.post(QLatin1String(nn::kFileUploadEnd), &mFiles, {{"fileCookie", QStringLiteral("s2")}});
        mWindow->show();
    }
    TransferController *window() const { return mWindow; }

private:
    NotificationCenter mCenter;
    SceneFiles mFiles;
    TransferController *mWindow = nullptr;
};

const bool registeredTransfer = registerScene(QStringLiteral("transfer-window"), [] {
    auto *scene = new TransferScene;
    TransferController *window = scene->window();
    window->setParent(nullptr);
    window->tabView()->setCurrentIndex(0);
    QObject::connect(window, &QObject::destroyed, [scene] { delete scene; });
    return static_cast<QWidget *>(window);
});

const bool registeredTransferReceive = registerScene(QStringLiteral("transfer-window-receive"), [] {
    auto *scene = new TransferScene;
    TransferController *window = scene->window();
    window->setParent(nullptr);
    window->tabView()->setCurrentIndex(1);
    QObject::connect(window, &QObject::destroyed, [scene] { delete scene; });
    return static_cast<QWidget *>(window);
});

} // namespace

} // namespace parley::screenshots
