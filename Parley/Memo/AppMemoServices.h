#pragma once

// The memo windows' view of the messenger: the application controller's
// session facade, memo count and user, the shell's pop-up notices and
// preferences window, the desktop notices and the memo sound.

#include "MemoServices.h"

#include <functional>

namespace parley {

class PLParleySession;

namespace shell {
class UrlOpener;
}

class AppMemoServices final : public MemoServices
{
public:
    // `opener`: where links open (the desktop's browser when null).
    explicit AppMemoServices(shell::UrlOpener *opener = nullptr) : mOpener(opener) {}

    bool sendNote(PLNote &note) override;
    bool requestRelMemo(const QString &cookie, int lastSequence, int count, bool isSend) override;
    bool getMemo(const QString &cookie) override;
    QString currentUserID() override;
    void incMemoCount() override;
    void showToaster(const QString &name, const QString &text, const QVariantMap &memo) override;
    void notifyDesktop(const QString &title, const QString &description, const QVariantMap &memo) override;
    void playMemoSound() override;
    void openNotificationPreferences() override;
    void reloadPreferences() override;
    void openUrl(const QString &url) override;
    QString bridgePageUrl() override;

private:
    static PLParleySession *facade();
    shell::UrlOpener *mOpener;
};

} // namespace parley
