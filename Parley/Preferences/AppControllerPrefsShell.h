#pragma once

// The preferences window's shell in the running messenger: the application
// controller's sign-in state, current user and facade, its quit, and the
// portal's pages through the bridge page.

#include "PrefsFacadeSession.h"
#include "PrefsShell.h"

#include <memory>

namespace parley::shell {
class AppController;
}

namespace parley {

class AppControllerPrefsShell final : public PrefsShell
{
public:
    // Not owned; it outlives this object.
    explicit AppControllerPrefsShell(shell::AppController &controller);

    bool loginStatus() const override;
    QString currentUserID() const override;
    PrefsSession *session() override;
    void terminateApplication() override;
    void showBuddyProfile(const PLBuddyPtr &buddy) override;
    void showMyProfileSettings() override;
    void showVelaJoin(bool isVela) override;
    void showVelaFindID(bool isVela) override;
    void openURL(const QUrl &url) override;

private:
    shell::AppController &mController;
    std::unique_ptr<PrefsFacadeSession> mSession;
    PLParleySession *mSessionFacade = nullptr;
};

} // namespace parley
