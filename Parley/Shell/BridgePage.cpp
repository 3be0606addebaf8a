#include "BridgePage.h"

#include "BridgeForm.h"
#include "BuddyManagement/PLMyInfoManager.h"
#include "Log.h"
#include "ShellScheduler.h"
#include "UrlOpener.h"
#include "Utils/PLConfManager.h"
#include "Utils/PLEndpoints.h"
#include "Utils/ParleyStringAdditions.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parley {

namespace {

constexpr double kRemovalDelaySeconds = 10.0;

PLMyInfoManager &me() { return PLMyInfoManager::sharedManager(); }

// The bridge host's address of a path ("https://host" + "/index.php").
QString onBridgeHost(const QString &path) { return PLEndpoints::current().webBridge + path; }

bool writePrivateFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray native = QFile::encodeName(path);
    ::unlink(native.constData());
    // A new file of our own: no link followed, nobody else's file reused.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            ::unlink(native.constData());
            return false;
        }
        written += n;
    }
    return ::close(fd) == 0;
}

} // namespace

BridgePage::BridgePage(shell::UrlOpener *opener, shell::ShellScheduler *scheduler)
    : mOpener(opener ? opener : &shell::UrlOpener::desktop()), mScheduler(scheduler)
{
    if (!mScheduler) {
        mOwnedScheduler = std::make_unique<shell::TimerScheduler>();
        mScheduler = mOwnedScheduler.get();
    }
}

BridgePage::~BridgePage() = default;

QString BridgePage::bridgeFolder()
{
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    const QString folder = runtime + QLatin1String("/parley");
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
        plLog(QStringLiteral("the bridge folder %1 is not the user's own folder").arg(folder));
        return {};
    }
    // An existing folder that others may enter is closed first.
    if ((info.st_mode & 07777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return {};
    return folder;
}

QString BridgePage::bridgeFilePath()
{
    const QString folder = bridgeFolder();
    return folder.isNull() ? QString() : folder + QLatin1String("/bridge.html");
}

void BridgePage::bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag)
{
    const QString path = bridgeFilePath();
    if (path.isNull())
        return;
    const BridgeCall call{code, param, returnURL, hFlag};
    if (!writePrivateFile(path, BridgeForm::document(bridgePageUrl(), me().ticket(), call))) {
        plLog(QStringLiteral("can not write the bridge page %1").arg(path));
        return;
    }
    const quint64 generation = ++mGeneration;
    mOpener->openUrl(QUrl::fromLocalFile(path));
    mScheduler->schedule(this, kRemovalDelaySeconds, [this, generation] {
        if (generation == mGeneration)
            removeBridgeFile();
    });
}

void BridgePage::removeBridgeFile()
{
    const QString path = bridgeFilePath();
    if (!path.isNull())
        QFile::remove(path);
}

QString BridgePage::bridgePageUrl()
{
    PLConfManager &conf = PLConfManager::sharedManager();
    for (const char *key : {"Q7:vela_bridge_url", "Q7:orchard_bridge_url"}) {
        const QString value = conf.valueForKey(QLatin1String(key));
        if (!value.isEmpty())
            return value;
    }
    return onBridgeHost(QStringLiteral("/index.php"));
}

QString BridgePage::urlencode(const QString &text) { return BridgeForm::urlencode(text); }

QString BridgePage::reportPageUrl(const QString &parameter)
{
    QString url = onBridgeHost(QStringLiteral("/index.php?code=A054&t=")) + BridgeForm::urlencode(me().ticket());
    if (!parameter.isNull())
        url += QLatin1String("&r_param=") + BridgeForm::urlencode(parameter);
    return url;
}

void BridgePage::showBridgePageForSVC(const QString &serviceType, const QString &code, int hFlag,
                                      const QString &returnURL)
{
    if (serviceType.isEmpty() || returnURL.isNull())
        return;
    const QString bridgeCode = code.isEmpty() ? BridgeForm::bridgeCodeForSVC(serviceType) : code;
    const int flag = hFlag == -1 ? BridgeForm::hFlagForSVC(serviceType) : hFlag;
    if (bridgeCode.isEmpty() || flag == -1)
        return;
    bridgePageCall(bridgeCode, QString(), returnURL, flag);
}

void BridgePage::showCertFAQ() { fixedPage("E256"); }
void BridgePage::showVelaMsgBoxHelp() { fixedPage("E072"); }
void BridgePage::showVelaVelaComHome() { fixedPage("G035"); }
void BridgePage::showVelaOrchardHome() { fixedPage("D010"); }
void BridgePage::showParleyHome() { fixedPage("E043"); }
void BridgePage::showParleyFAQ() { fixedPage("E009"); }
void BridgePage::showParleyHottip() { fixedPage("E008"); }
void BridgePage::showParleyMininook() { fixedPage("D009"); }
void BridgePage::showParleyHelp() { fixedPage("E068"); }
void BridgePage::showVelaJoin(bool isVela) { fixedPage(isVela ? "A019" : "A021"); }
void BridgePage::showVelaFindID(bool isVela) { fixedPage(isVela ? "A018" : "A020"); }
void BridgePage::showVelaMainHomepage(bool flag) { fixedPage(flag ? "G104" : "G094"); }
void BridgePage::showOrchardMainHomepage(bool flag) { fixedPage(flag ? "D008" : "D007"); }

void BridgePage::showConfirmMail()
{
    bridgePageCall(QStringLiteral("G129"), QLatin1String("TICKET=") + me().ticket(), QString(), -1);
}

void BridgePage::showVelaMemo()
{
    bridgePageCall(QStringLiteral("H215"), QLatin1String("go=") + urlEncode(QLatin1String("/?cmn=") + me().cmn()),
                   QString(), -1);
}

void BridgePage::showVelaChat(const QString &userID)
{
    if (userID.isNull()) {
        fixedPage("H216");
        return;
    }
    bridgePageCall(QStringLiteral("H217"),
                   QLatin1String("cmn=") + me().cmn() + QLatin1String("&boxType=C&searchKey=user&searchValue=")
                       + urlEncode(userID),
                   QString(), -1);
}

void BridgePage::showVelaMail(bool flag)
{
    if (me().velaID().isEmpty()) {
        // Without a portal account the mail home opens as it is.
        mOpener->openUrl(QUrl(PLEndpoints::current().webMailHome));
        return;
    }
    bridgePageCall(QLatin1String(flag ? "G125" : "G124"), QLatin1String("TICKET=") + me().ticket(), QString(), -1);
}

void BridgePage::showBuddyProfile(const PLBuddyPtr &buddy)
{
    if (buddy)
        showProfile(buddy->buddyCMN());
}

void BridgePage::showProfile(const QString &memberNumber)
{
    bridgePageCall(QStringLiteral("F009"), memberNumber, QString(), -1);
}

void BridgePage::showMyProfile() { showProfile(me().cmn()); }

void BridgePage::showMyProfileSettings() { bridgePageCall(QStringLiteral("F010"), me().cmn(), QString(), -1); }

void BridgePage::showBuddyMininook(const PLBuddyPtr &buddy)
{
    if (!buddy)
        return;
    // The buddy's home is where its own account is: its mode picks the page,
    // as the own account's mode does for the user's home.
    if (buddy->isQ7Mode())
        bridgePageCall(QStringLiteral("D012"), buddy->q7CMN(), QString(), 2);
    else if (buddy->isTarnMode())
        bridgePageCall(QStringLiteral("D047"), buddy->orchardCMN(), QString(), 3);
    else
        bridgePageCall(QStringLiteral("D024"), buddy->orchardCMN(), QString(), 1);
}

void BridgePage::showMyMininook()
{
    if (me().isQ7Mode())
        bridgePageCall(QStringLiteral("D011"), me().q7CMN(), QString(), 2);
    else if (me().isTarnMode())
        bridgePageCall(QStringLiteral("D046"), me().orchardCMN(), QString(), 3);
    else
        bridgePageCall(QStringLiteral("D023"), me().orchardCMN(), QString(), 1);
}

QString BridgePage::smsRecipients(const QList<QVariantMap> &buddyEntries)
{
    QStringList entries;
    for (const QVariantMap &entry : buddyEntries) {
        const PLBuddyPtr buddy = shell::ShellWindows::buddyListManager().buddyForBuddyDict(entry);
        if (buddy && !buddy->mobile().isEmpty())
            entries << buddy->name() + QLatin1Char('|') + buddy->mobile();
    }
    return entries.join(QLatin1Char(';'));
}

void BridgePage::showVelaSMS(const QList<QVariantMap> &buddyEntries)
{
    bridgePageCall(QStringLiteral("G047"),
                   QLatin1String("TICKET=") + me().ticket() + QLatin1String("&ID=") + me().loginID()
                       + QLatin1String("&mobile=") + smsRecipients(buddyEntries),
                   QString(), -1);
}

} // namespace parley
