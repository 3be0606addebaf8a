#include "ParleyProgram.h"

#include "BuddyList/BuddyListCommands.h"
#include "BuddyList/BuddyListWindow.h"
#include "Chat/ChatInstallation.h"
#include "Memo/MemoInstallation.h"
#include "Preferences/PrefsInstallation.h"
#include "ProgramServices.h"
#include "Shell/PlugInSide.h"

namespace parley {

ParleyProgram::ParleyProgram(shell::AppController::Options options)
    : mAnimicons(std::make_unique<AnimiconCatalogueService>()),
      mDesktopNotices(std::make_unique<DesktopNoticeService>()),
      mPlugInSide(std::make_unique<shell::PlugInSide>(options.urlOpener, options.scheduler))
{
    DistributedNotificationCenter *plugInCenter = options.plugInCenter;
    mController = std::make_unique<shell::AppController>(std::move(options));
    mBuddyList = std::make_unique<BuddyListWindow>(*mController, plugInCenter);
    mBuddyCommands = std::make_unique<BuddyListCommands>(*mBuddyList, *mController);
    mPreferences = std::make_unique<PrefsInstallation>(*mController);
    mMemos = std::make_unique<MemoInstallation>(*mBuddyCommands);
    mChats = std::make_unique<ChatInstallation>(&mBuddyList->dataSource(), plugInCenter);
}

ParleyProgram::~ParleyProgram()
{
    mChats.reset();
    mMemos.reset();
    mPreferences.reset();
    mBuddyCommands.reset();
    mBuddyList.reset();
    mController.reset();
    mPlugInSide.reset();
}

void ParleyProgram::start(const QStringList &arguments)
{
    mController->awakeFromNib();
    const qsizetype user = arguments.indexOf(QStringLiteral("--user"));
    if (user > 0 && user + 1 < arguments.size())
        mController->prefillAccount(arguments.at(user + 1), qEnvironmentVariable("PARLEY_PASSWORD"));
}

} // namespace parley
