// The memo windows: a reply being written with the related memos of its
// thread open below, and a received memo with its thread.
#include "BuddyManagement/PLBuddyManager.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Memo/MemoServices.h"
#include "Memo/MessageWindowController.h"
#include "Memo/MessageWindowManager.h"
#include "Memo/ReceiveMessageWindowController.h"
#include "NotificationCenter.h"
#include "ScreenshotScenes.h"
#include "TestSupport.h"
#include "UserDefaults.h"
#include "Utils/ParleyStringAdditions.h"

#include <QDir>

namespace parley::screenshots {

namespace {

// Services that send nothing and open nothing.
class SceneServices final : public MemoServices
{
public:
    bool sendNote(PLNote &) override { return true; }
    bool requestRelMemo(const QString &, int, int, bool) override { return true; }
    bool getMemo(const QString &) override { return true; }
    QString currentUserID() override { return QStringLiteral("jimin@parley.test"); }
    void incMemoCount() override {}
    void showToaster(const QString &, const QString &, const QVariantMap &) override {}
    void notifyDesktop(const QString &, const QString &, const QVariantMap &) override {}
    void playMemoSound() override {}
    void openNotificationPreferences() override {}
    void reloadPreferences() override {}
    void openUrl(const QString &) override {}
    QString bridgePageUrl() override { return {}; }
};

MessageWindowManager &manager()
{
    static SceneServices services;
    static NotificationCenter center;
    static UserDefaults defaults(QDir(parley::test::isolatedHome()).filePath(QStringLiteral("memo-scenes.plist")));
    static MessageWindowManager m(services, center, nullptr, defaults);
    return m;
}

void fill()
{
    PLBuddyManager &buddies = PLBuddyManager::sharedManager();
    buddies.reset();
    buddies.createGroupForID(QStringLiteral("1"))->setGroupName(sample(QStringLiteral("친구"), QStringLiteral("Friends")));
    const struct {
        const char *cmn;
        QString name;
    } people[] = {{"10", sample("김민준", "Minjun Kim")}, {"11", sample("이서연 & 친구들", "Seoyeon Lee & Co")}};
    for (const auto &p : people) {
        const QString cmn = QLatin1String(p.cmn);
        const PLBuddyPtr b = buddies.createBuddyForCMN(cmn);
        b->setVelaID(cmn + QStringLiteral("@parley.test"));
        b->setName(p.name);
        b->setStatus(1);
        b->setBuddyFlags(QStringLiteral("1100"));
        buddies.addBuddy(cmn, QStringLiteral("1"));
    }
    PLMyInfoManager::sharedManager().setName(sample(QStringLiteral("한지민"), QStringLiteral("Jimin Han")));
    PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("jimin@parley.test"));
}

QString entryLine(int seq, const char *direction, const char *from, const char *to, const QString &text)
{
    return QStringLiteral("%1 0 0 %2 %3 %4 20240305143000 Y font-name:Gulim %5")
        .arg(seq)
        .arg(QLatin1String(direction), QLatin1String(from), QLatin1String(to), stringByParleyEncoding(text));
}

QString threadReply()
{
    return QStringLiteral("N\r\n")
         + entryLine(1, "S", "jimin@parley.test", "10@parley.test",
                     sample(QStringLiteral("금요일 회의 자료는 준비됐나요?"), QStringLiteral("Are the slides for Friday ready?")))
         + QStringLiteral("\r\n")
         + entryLine(2, "R", "10@parley.test", "jimin@parley.test;11@parley.test",
                     sample(QStringLiteral("거의 다 됐어요. 내일 아침에 보내 드릴게요."),
                            QStringLiteral("Almost. I'll send them tomorrow morning.")));
}

QVariantMap receivedMemo()
{
    const QString text = sample(QStringLiteral("자료 보내 드립니다. 확인해 보시고 의견 주세요.\n자세한 내용은 https://docs.example.org/slides 에 있습니다."),
                                QStringLiteral("Here are the slides. Have a look and tell me what you think.\nDetails at https://docs.example.org/slides"));
    return {{QStringLiteral("from"), QStringLiteral("10@parley.test")},
            {QStringLiteral("ref"), QStringLiteral("jimin@parley.test;11@parley.test")},
            {QStringLiteral("date"), QStringLiteral("20240306091500")},
            {QStringLiteral("message"), stringByParleyEncoding(text)},
            {QStringLiteral("related"), QStringLiteral("Y")},
            {QStringLiteral("cookie"), QStringLiteral("scene-cookie")},
            {QStringLiteral("uuid"), QStringLiteral("scene-uuid")}};
}

template <typename W>
W *keep(W *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

const bool compose = registerScene(QStringLiteral("memo-compose"), [] {
    fill();
    auto *window = keep(new MessageWindowController(manager()));
    window->resize(375, 300);
    window->setCookie(QStringLiteral("scene-cookie"));
    window->setServerHasRelMemos(true);
    window->setTargetIDs({QStringLiteral("10@parley.test"), QStringLiteral("someone@elsewhere.test")});
    window->setInitializeMessage(sample(QStringLiteral("좋아요, 내일 뵙겠습니다 /smile/"), QStringLiteral("Great, see you tomorrow /smile/")));
    window->showRefMessagesAction();
    window->setRelMemos(threadReply());
    return window;
});

const bool read = registerScene(QStringLiteral("memo-read"), [] {
    fill();
    auto *window = keep(new ReceiveMessageWindowController(manager()));
    window->resize(450, 280);
    window->setInfo(receivedMemo());
    window->showRefMessagesAction();
    window->setRelMemos(threadReply());
    return window;
});

} // namespace

} // namespace parley::screenshots
