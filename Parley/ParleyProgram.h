#pragma once

// The messenger as one object: the plug-in side, the application controller,
// the buddy list and its commands, the preferences, memo and chat windows,
// and the services the shell's registry asks for, made and wired in the
// order they depend on each other and undone in reverse. main() makes one;
// the end-to-end tests make the same, with their doubles in the options.

#include "Shell/AppController.h"

#include <QStringList>

#include <memory>

namespace parley {

class AnimiconCatalogueService;
class BuddyListCommands;
class BuddyListWindow;
class ChatInstallation;
class DesktopNoticeService;
class MemoInstallation;
class PrefsInstallation;

namespace shell {
class MessengerInstance;
class PlugInSide;
class TerminationSignal;
}

class ParleyProgram
{
public:
    // The controller's options; its URL opener, scheduler and plug-in bus
    // serve the plug-in side, the buddy list and the chat windows too.
    explicit ParleyProgram(shell::AppController::Options options = {});
    ~ParleyProgram();
    ParleyProgram(const ParleyProgram &) = delete;
    ParleyProgram &operator=(const ParleyProgram &) = delete;

    // Starts the controller (folders, message box, auto-login); with
    // "--user NAME@DOMAIN" among the arguments the login form is filled with
    // that account and the password in $PARLEY_PASSWORD.
    void start(const QStringList &arguments = {});

    // A second launch: when a messenger runs on the session bus, asks it to
    // show its main window and answers true (this process then ends).
    static bool showRunningCopy();

    shell::AppController &controller() { return *mController; }
    shell::PlugInSide &plugInSide() { return *mPlugInSide; }
    BuddyListWindow &buddyList() { return *mBuddyList; }
    BuddyListCommands &buddyCommands() { return *mBuddyCommands; }
    MemoInstallation &memos() { return *mMemos; }
    ChatInstallation &chats() { return *mChats; }

private:
    std::unique_ptr<AnimiconCatalogueService> mAnimicons;
    std::unique_ptr<DesktopNoticeService> mDesktopNotices;
    // The bridge page, the plug-ins, the update check and the session list,
    // there before the controller asks for them.
    std::unique_ptr<shell::PlugInSide> mPlugInSide;
    std::unique_ptr<shell::AppController> mController;
    // The windows register with the controller before it starts (and may sign in).
    std::unique_ptr<BuddyListWindow> mBuddyList;
    std::unique_ptr<BuddyListCommands> mBuddyCommands;
    std::unique_ptr<PrefsInstallation> mPreferences;
    std::unique_ptr<MemoInstallation> mMemos;
    std::unique_ptr<ChatInstallation> mChats;
    // A second launch brings this one's main window forward.
    std::unique_ptr<shell::MessengerInstance> mInstance;
    // SIGTERM quits as the Quit command does, without asking.
    std::unique_ptr<shell::TerminationSignal> mTermination;
};

} // namespace parley
