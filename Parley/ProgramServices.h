#pragma once

// The shell services that live outside the shell's own folder and have no
// window of their own to register them: the animicon catalogue and the
// desktop's notices. Each registers itself with ShellWindows for its lifetime.

#include "Shell/ShellWindows.h"

namespace parley {

// The animicon catalogue of the whole program, read at sign-in.
class AnimiconCatalogueService final : public shell::AnimiconManager
{
public:
    AnimiconCatalogueService();
    ~AnimiconCatalogueService() override;
    AnimiconCatalogueService(const AnimiconCatalogueService &) = delete;
    AnimiconCatalogueService &operator=(const AnimiconCatalogueService &) = delete;

    void updateAnimicon() override;
};

// Notices handed to the desktop's notification service through the bridge
// the application controller installs.
class DesktopNoticeService final : public shell::DesktopNotices
{
public:
    DesktopNoticeService();
    ~DesktopNoticeService() override;
    DesktopNoticeService(const DesktopNoticeService &) = delete;
    DesktopNoticeService &operator=(const DesktopNoticeService &) = delete;

    void notify(const shell::DesktopNotice &notice) override;
};

} // namespace parley
