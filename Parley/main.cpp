// Parley, the messenger.
//
//   Parley [--user NAME@DOMAIN]
// --user fills the login form with that account, and with the password in
// $PARLEY_PASSWORD when it is set; signing in stays the user's (Return).
#include "BuddyList/BuddyListCommands.h"
#include "BuddyList/BuddyListWindow.h"
#include "Memo/MemoInstallation.h"
#include "Chat/ChatInstallation.h"
#include "Preferences/PrefsInstallation.h"
#include "Shell/AppController.h"
#include "Shell/PlugInSide.h"
#include "Shell/QtTranslations.h"
#include "ParleyVersion.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLClientVersion.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The web views (loaded later, on first use) share their GL context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parley"));
    parley::PLSetApplicationVersion();
    // The messenger lives on with its window closed; Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    // The bridge page, the plug-ins, the update check and the session list,
    // there before the controller asks for them.
    parley::shell::PlugInSide plugInSide;
    parley::shell::AppController controller;
    parley::shell::installQtTranslations(parley::KCCurrentLanguage());
    // The windows register with the controller before it starts (and may sign in).
    parley::BuddyListWindow buddyList(controller);
    parley::BuddyListCommands buddyCommands(buddyList, controller);
    parley::PrefsInstallation preferences(controller);
    parley::MemoInstallation memos(buddyCommands);
    parley::ChatInstallation chats(&buddyList.dataSource());
    controller.awakeFromNib();
    const QStringList arguments = QApplication::arguments();
    const qsizetype user = arguments.indexOf(QStringLiteral("--user"));
    if (user > 0 && user + 1 < arguments.size())
        controller.prefillAccount(arguments.at(user + 1), qEnvironmentVariable("PARLEY_PASSWORD"));
    return app.exec();
}
