#include "ProgramServices.h"

#include "Conversation/AnimiconManager.h"
#include "Shell/DesktopNoticeBridge.h"

namespace parley {

AnimiconCatalogueService::AnimiconCatalogueService() { shell::ShellWindows::setAnimiconManager(this); }

AnimiconCatalogueService::~AnimiconCatalogueService()
{
    if (&shell::ShellWindows::animiconManager() == this)
        shell::ShellWindows::setAnimiconManager(nullptr);
}

void AnimiconCatalogueService::updateAnimicon() { ::AnimiconManager::sharedManager().updateAnimicon(); }

DesktopNoticeService::DesktopNoticeService() { shell::ShellWindows::setDesktopNotices(this); }

DesktopNoticeService::~DesktopNoticeService()
{
    if (&shell::ShellWindows::desktopNotices() == this)
        shell::ShellWindows::setDesktopNotices(nullptr);
}

void DesktopNoticeService::notify(const shell::DesktopNotice &notice)
{
    shell::DesktopNoticeBridge::notifyWithTitle(notice.title, notice.description, notice.notificationName,
                                                notice.iconName, notice.priority, notice.sticky,
                                                notice.clickContext);
}

} // namespace parley
