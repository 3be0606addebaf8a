#pragma once

// The preferences window against recording doubles, with its own user
// defaults file per test and the Korean interface.

#include "Preferences/PrefsController.h"
#include "PrefsTestDoubles.h"
#include "ScriptedAlerts.h"

#include "NotificationCenter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace parley::test {

class PrefsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A portal ID and a sister-service ID of the login domains.
    static QString portalID(const char *name);
    static QString sisterID(const char *name);

    // Signs `userID` in with that dictionary stored under it.
    void signIn(const QString &userID, const QVariantMap &prefs);
    // The window, bound to the signed-in user (when there is one).
    PrefsController *openWindow();
    // Closes the window (which saves) and lets it go.
    void closeWindow();
    // Sets the interface language (the first entry of "AppleLanguages").
    static void setLanguage(const char *code);

    // How many times the window said it saved.
    int savedCount() const { return mSaved; }

    QTemporaryDir mFolder;
    RecordingPrefsSession mSession;
    RecordingPrefsShell mShell;
    RecordingPlugInHost mHost;
    RecordingPalette mPalette;
    FixedUser mUser;
    std::unique_ptr<ScriptedAlerts> mAlerts;
    PrefsController *mWindow = nullptr;

private:
    NotificationCenter::Token mObserver = 0;
    int mSaved = 0;
};

} // namespace parley::test
