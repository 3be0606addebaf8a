#pragma once

// What the sessions and the account-session facade ask of the application
// shell and its windows: the application controller's counters and flags,
// pop-up notices and alerts, the preferences window, the bridge page, the memo-window
// manager's cookie table and the buddy list's button position. The
// application installs its implementation; until then (tests, headless use)
// a PLRecordingShell stands in and only records the calls. All calls are made
// on the main thread.

#include <QString>
#include <QVariantMap>

namespace parley {

class PLShellServices
{
public:
    virtual ~PLShellServices();

    // Application controller.
    virtual void setLoginOTP(const QString &otp) = 0;
    virtual bool isCloseApplication() const = 0;
    virtual bool isLogoutApplication() const = 0;
    virtual void setIsLogoutApplication(bool flag) = 0;
    // Status codes 0 to 5; a code above 5 changes nothing.
    virtual void changeStatusMainWindow(int status) = 0;
    virtual void setNotiOnline(bool flag) = 0;
    virtual void goIdleFromServer() = 0;
    virtual void incMailCount() = 0;
    virtual void setMailCount(int count) = 0;
    virtual void incMemoCount() = 0;
    virtual void setMemoCount(int count) = 0;
    virtual void removeAddBuddyWidget(const QString &buddyCMN) = 0;

    // Pop-up notices: "MEMOCNT" or "MAIL" with {"count"}.
    virtual void showToasterWindow(const QString &type, const QVariantMap &userInfo) = 0;
    // The preferences window reloads its panes from the stored settings.
    virtual void readPreferences() = 0;
    // The bridge form; hFlag -1 means no flag field, a null returnURL none.
    virtual void bridgePageCall(const QString &code, const QString &param, const QString &returnURL, int hFlag) = 0;
    virtual void showCertFAQ() = 0;
    // An informational alert with one button (title, message, button text);
    // the shell shows it without holding up the event loop.
    virtual void showInformationalAlert(const QString &title, const QString &message, const QString &button) = 0;

    // Memo-window manager: remembers a memo cookie under a tid (decimal text).
    virtual void setCookie(const QString &cookie, const QString &tid) = 0;
    // Buddy list: forgets the sister-service button's position.
    virtual void clearOrButtonX() = 0;

    // The installed shell, or the process-wide recording stand-in. Not owned:
    // the installer keeps it alive and installs nullptr before destroying it.
    static PLShellServices &shared();
    static void setShared(PLShellServices *shell);
};

} // namespace parley
