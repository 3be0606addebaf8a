#include "ParleyProgram.h"

#include "BuddyList/BuddyListCommands.h"
#include "BuddyList/BuddyListWindow.h"
#include "Chat/ChatInstallation.h"
#include "Memo/MemoInstallation.h"
#include "Preferences/PrefsInstallation.h"
#include "ProgramServices.h"
#include "DistributedNotificationCenter.h"
#include "Shell/MessengerInstance.h"
#include "Shell/PlugInSide.h"
#include "Shell/TerminationSignal.h"
#include "Shell/QtTranslations.h"
#include "Utils/KCUtilities.h"
#include "UserDefaults.h"

namespace parley {

ParleyProgram::ParleyProgram(shell::AppController::Options options)
    : mAnimicons(std::make_unique<AnimiconCatalogueService>()),
      mDesktopNotices(std::make_unique<DesktopNoticeService>()),
      mPlugInSide(std::make_unique<shell::PlugInSide>(options.urlOpener, options.scheduler))
{
    // Settings are written by a worker thread: a slow disk's sync must not
    // freeze the windows (signing in alone writes them twice).
    UserDefaults::standardUserDefaults().setWritesInBackground(true);
    DistributedNotificationCenter *plugInCenter = options.plugInCenter;
    shell::UrlOpener *opener = options.urlOpener;
    mController = std::make_unique<shell::AppController>(std::move(options));
    // Qt's own dialogs in the interface language the controller has settled.
    shell::installQtTranslations(KCCurrentLanguage());
    mBuddyList = std::make_unique<BuddyListWindow>(*mController, plugInCenter);
    mBuddyCommands = std::make_unique<BuddyListCommands>(*mBuddyList, *mController);
    mPreferences = std::make_unique<PrefsInstallation>(*mController);
    mMemos = std::make_unique<MemoInstallation>(*mBuddyCommands, opener);
    mChats = std::make_unique<ChatInstallation>(&mBuddyList->dataSource(), plugInCenter, opener);
    const QDBusConnection bus =
        plugInCenter ? plugInCenter->bus() : DistributedNotificationCenter::defaultCenter().bus();
    mInstance = std::make_unique<shell::MessengerInstance>(bus, [this] { mController->applicationShouldHandleReopen(); });
    mTermination = std::make_unique<shell::TerminationSignal>([this] { mController->terminateWithoutAsking(); });
}

ParleyProgram::~ParleyProgram()
{
    mTermination.reset();
    mInstance.reset();
    mChats.reset();
    mMemos.reset();
    mPreferences.reset();
    mBuddyCommands.reset();
    mBuddyList.reset();
    mController.reset();
    mPlugInSide.reset();
    // What is left is written before the program ends.
    UserDefaults::standardUserDefaults().setWritesInBackground(false);
}

bool ParleyProgram::showRunningCopy()
{
    return shell::MessengerInstance::showRunningCopy(DistributedNotificationCenter::defaultCenter().bus());
}

void ParleyProgram::start(const QStringList &arguments)
{
    mController->awakeFromNib();
    const qsizetype user = arguments.indexOf(QStringLiteral("--user"));
    if (user > 0 && user + 1 < arguments.size())
        mController->prefillAccount(arguments.at(user + 1), qEnvironmentVariable("PARLEY_PASSWORD"));
}

} // namespace parley
