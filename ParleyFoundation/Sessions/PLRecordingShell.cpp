#include "PLRecordingShell.h"

#include <QMutexLocker>

namespace parley {

namespace {
PLShellServices *gInstalledShell = nullptr;
}

PLShellServices::~PLShellServices() = default;

PLShellServices &PLShellServices::shared()
{
    static PLRecordingShell standIn;
    return gInstalledShell ? *gInstalledShell : standIn;
}

void PLShellServices::setShared(PLShellServices *shell) { gInstalledShell = shell; }

void PLRecordingShell::record(const QString &line)
{
    QMutexLocker lock(&mMutex);
    mCalls.append(line);
}

QStringList PLRecordingShell::calls() const
{
    QMutexLocker lock(&mMutex);
    return mCalls;
}

void PLRecordingShell::clear()
{
    QMutexLocker lock(&mMutex);
    mCalls.clear();
}

void PLRecordingShell::setLoginOTP(const QString &otp) { record(QStringLiteral("setLoginOTP ") + otp); }

void PLRecordingShell::setIsLogoutApplication(bool flag)
{
    mIsLogoutApplication = flag;
    record(QStringLiteral("setIsLogoutApplication %1").arg(flag ? 1 : 0));
}

void PLRecordingShell::changeStatusMainWindow(int status)
{
    record(QStringLiteral("changeStatusMainWindow %1").arg(status));
}

void PLRecordingShell::setNotiOnline(bool flag) { record(QStringLiteral("setNotiOnline %1").arg(flag ? 1 : 0)); }
void PLRecordingShell::goIdleFromServer() { record(QStringLiteral("goIdleFromServer")); }
void PLRecordingShell::incMailCount() { record(QStringLiteral("incMailCount")); }
void PLRecordingShell::setMailCount(int count) { record(QStringLiteral("setMailCount %1").arg(count)); }
void PLRecordingShell::incMemoCount() { record(QStringLiteral("incMemoCount")); }
void PLRecordingShell::setMemoCount(int count) { record(QStringLiteral("setMemoCount %1").arg(count)); }

void PLRecordingShell::removeAddBuddyWidget(const QString &buddyCMN)
{
    record(QStringLiteral("removeAddBuddyWidget ") + buddyCMN);
}

void PLRecordingShell::showToasterWindow(const QString &type, const QVariantMap &userInfo)
{
    record(QStringLiteral("showToasterWindow %1 %2").arg(type, userInfo.value(QStringLiteral("count")).toString()));
}

void PLRecordingShell::readPreferences() { record(QStringLiteral("readPreferences")); }

void PLRecordingShell::bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag)
{
    record(QStringLiteral("bridgePageCall %1 %2 %3 %4").arg(code, param, returnURL).arg(hFlag));
}

void PLRecordingShell::showCertFAQ() { record(QStringLiteral("showCertFAQ")); }

void PLRecordingShell::showInformationalAlert(const QString &title, const QString &message, const QString &button)
{
    record(QStringLiteral("showInformationalAlert %1 %2 %3").arg(title, message, button));
}

void PLRecordingShell::setCookie(const QString &cookie, const QString &tid)
{
    record(QStringLiteral("setCookie %1 %2").arg(cookie, tid));
}

void PLRecordingShell::clearOrButtonX() { record(QStringLiteral("clearOrButtonX")); }

} // namespace parley
