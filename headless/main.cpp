// parley-headless: a command-line driver of the account session (see
// HeadlessDriver.h and docs/headless.md).
#include "HeadlessDriver.h"
#include "Utils/PLClientVersion.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Parley"));
    parley::PLSetApplicationVersion();
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help"))) {
        std::fprintf(stdout, "%s\n", qPrintable(headless::HeadlessOptions::usage()));
        return 0;
    }
    QString error;
    const auto options = headless::HeadlessOptions::parse(arguments, qEnvironmentVariable("PARLEY_PASSWORD"), &error);
    if (!options) {
        std::fprintf(stderr, "parley-headless: %s\n%s\n", qPrintable(error),
                     qPrintable(headless::HeadlessOptions::usage()));
        return 2;
    }
    headless::HeadlessDriver driver;
    if (!driver.start(*options, &error)) {
        std::fprintf(stderr, "parley-headless: %s\n", qPrintable(error));
        return 2;
    }
    return app.exec();
}
