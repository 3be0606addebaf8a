// Parley, the messenger.
//
//   Parley [--user NAME@DOMAIN]
// --user fills the login form with that account, and with the password in
// $PARLEY_PASSWORD when it is set; signing in stays the user's (Return).
#include "ParleyProgram.h"
#include "Utils/PLClientVersion.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parley"));
    parley::PLSetApplicationVersion();
    // The messenger lives on with its window closed; Quit ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    if (parley::ParleyProgram::showRunningCopy())
        return 0;

    parley::ParleyProgram program;
    program.start(QApplication::arguments());
    return app.exec();
}
