#pragma once

// What the preferences window asks of the application shell: whether the
// user is signed in and as whom, the account-session facade, the portal's
// pages, the default browser and the quit after a language change. The
// application controller installs its own (PrefsServices); until then a
// stand-in answers "signed out" and opens pages in the default browser.
// Main thread only.

#include "BuddyManagement/PLBuddy.h"

#include <QString>
#include <QUrl>

namespace parley {

class PrefsSession;

class PrefsShell
{
public:
    virtual ~PrefsShell() = default;

    // The account session has completed its sign-in.
    virtual bool loginStatus() const = 0;
    // The signed-in full user ID (null when nobody is).
    virtual QString currentUserID() const = 0;
    // The facade; null when there is none.
    virtual PrefsSession *session() = 0;
    // Ends the program (after the interface language changed).
    virtual void terminateApplication() = 0;

    // The portal's pages, opened signed in.
    virtual void showBuddyProfile(const PLBuddyPtr &buddy) = 0;
    virtual void showMyProfileSettings() = 0;
    virtual void showVelaJoin(bool isVela) = 0;
    virtual void showVelaFindID(bool isVela) = 0;
    // A page of another site, in the default browser.
    virtual void openURL(const QUrl &url) = 0;
};

} // namespace parley
