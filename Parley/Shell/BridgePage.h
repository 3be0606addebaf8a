#pragma once

// The portal's pages, opened signed in: each entry point names a page by its
// bridge code (and parameters), the form (BridgeForm) is written to
// "bridge.html" in the user's private runtime folder and opened in the
// default browser, which posts it at once. The file holds the web ticket, so
// the folder is the user's alone (0700) and the file too (0600); it is
// removed 10 seconds later and at quit.
//
// It is the shell's bridge page (ShellWindows) and the core's
// (BridgePageInterface: the escaping and the report page of a chat's
// warning). Main thread only.

#include "ChatManagement/BridgePageInterface.h"
#include "ShellWindows.h"

#include <QObject>
#include <QString>

namespace parley::shell {
class ShellScheduler;
class UrlOpener;
} // namespace parley::shell

namespace parley {

class BridgePage : public QObject, public shell::BridgePage, public BridgePageInterface
{
    Q_OBJECT

public:
    // The opener and the scheduler are not owned; null: the desktop's and real timers.
    explicit BridgePage(shell::UrlOpener *opener = nullptr, shell::ShellScheduler *scheduler = nullptr);
    ~BridgePage() override;

    // The folder of the bridge file ("parley" in $XDG_RUNTIME_DIR), created
    // 0700 when missing; null when it can't be made private (a link, another
    // owner).
    static QString bridgeFolder();
    // The file in it; null as for the folder.
    static QString bridgeFilePath();

    // shell::BridgePage
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override;
    void removeBridgeFile() override;
    void showCertFAQ() override;
    void showVelaJoin(bool isVela) override;
    void showVelaFindID(bool isVela) override;
    void showBridgePageForSVC(const QString &serviceType, const QString &code, int hFlag,
                              const QString &returnURL) override;
    void showVelaMsgBoxHelp() override;
    void showVelaVelaComHome() override;
    void showVelaOrchardHome() override;
    void showParleyHome() override;
    void showParleyFAQ() override;
    void showParleyHottip() override;
    void showParleyMininook() override;
    void showParleyHelp() override;
    void showConfirmMail() override;
    void showVelaMemo() override;
    void showVelaChat(const QString &userID) override;
    void showVelaMail(bool flag) override;
    void showVelaMainHomepage(bool flag) override;
    void showOrchardMainHomepage(bool flag) override;
    void showBuddyProfile(const PLBuddyPtr &buddy) override;
    void showProfile(const QString &memberNumber) override;
    void showMyProfile() override;
    void showMyProfileSettings() override;
    void showBuddyMininook(const PLBuddyPtr &buddy) override;
    void showMyMininook() override;
    void showVelaSMS(const QList<QVariantMap> &buddyEntries) override;
    // The server's configured address ("Q7:vela_bridge_url", then
    // "Q7:orchard_bridge_url"), else the bridge host's "/index.php".
    QString bridgePageUrl() override;

    // BridgePageInterface
    QString urlencode(const QString &text) override;
    // The report page with the web ticket; the parameter (as the chat gives
    // it) is escaped here once more, as a value of the address.
    QString reportPageUrl(const QString &parameter) override;

    // The SMS page's recipients: "name|mobile" of each entry's buddy with a
    // mobile number, joined by ";".
    static QString smsRecipients(const QList<QVariantMap> &buddyEntries);

private:
    void fixedPage(const char *code) { bridgePageCall(QLatin1String(code), QString(), QString(), -1); }

    shell::UrlOpener *mOpener;
    shell::ShellScheduler *mScheduler;
    std::unique_ptr<shell::ShellScheduler> mOwnedScheduler;
    // Which write the file is; a removal scheduled for an older one leaves it.
    quint64 mGeneration = 0;
};

} // namespace parley
