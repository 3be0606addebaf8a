#pragma once

// A shell that does nothing but record each call as one line ("setMailCount
// 3"), for tests and headless use. The two application flags are plain
// fields that a test may set.

#include "PLShellServices.h"

#include <QMutex>
#include <QStringList>

namespace parley {

class PLRecordingShell : public PLShellServices
{
public:
    void setLoginOTP(const QString &otp) override;
    bool isCloseApplication() const override { return mIsCloseApplication; }
    bool isLogoutApplication() const override { return mIsLogoutApplication; }
    void setIsLogoutApplication(bool flag) override;
    void changeStatusMainWindow(int status) override;
    void setNotiOnline(bool flag) override;
    void goIdleFromServer() override;
    void incMailCount() override;
    void setMailCount(int count) override;
    void incMemoCount() override;
    void setMemoCount(int count) override;
    void removeAddBuddyWidget(const QString &buddyCMN) override;
    void showToasterWindow(const QString &type, const QVariantMap &userInfo) override;
    void readPreferences() override;
    void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) override;
    void showCertFAQ() override;
    void showInformationalAlert(const QString &title, const QString &message, const QString &button) override;
    void setCookie(const QString &cookie, const QString &tid) override;
    void clearOrButtonX() override;

    void setIsCloseApplication(bool flag) { mIsCloseApplication = flag; }
    QStringList calls() const;
    void clear();

private:
    void record(const QString &line);

    mutable QMutex mMutex;
    QStringList mCalls;
    bool mIsCloseApplication = false;
    bool mIsLogoutApplication = false;
};

} // namespace parley
