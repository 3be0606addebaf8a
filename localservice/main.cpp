// parley-localservice: our own emulator of the service's login-dispatch and
// notification servers, listening on 127.0.0.1.

#include "LocalService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

using namespace localservice;

namespace {

bool parsePort(const QString &text, quint16 *port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = static_cast<quint16>(value);
    return true;
}

int failWith(const QString &text)
{
    std::fprintf(stderr, "parley-localservice: %s\n", qPrintable(text));
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("parley-localservice"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Emulates the service's login-dispatch and notification servers on 127.0.0.1.\n"
        "Prints one line \"listening dispatch=PORT notification=PORT\" once both listen."));
    parser.addHelpOption();
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Accounts, groups and buddies (JSON); "
                                                 "default: the demo set."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption dispatchPort(QStringLiteral("dispatch-port"),
                                          QStringLiteral("Dispatch port; 0 lets the kernel "
                                                         "choose."),
                                          QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption notificationPort(QStringLiteral("notification-port"),
                                              QStringLiteral("Notification port; 0 lets the "
                                                             "kernel choose."),
                                              QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption endpoints(QStringLiteral("endpoints"),
                                       QStringLiteral("Write the client's endpoints file here."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption certChain(QStringLiteral("cert-chain"),
                                       QStringLiteral("Server certificate followed by its chain "
                                                      "(PEM)."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption key(QStringLiteral("key"),
                                 QStringLiteral("The server's private key (PEM)."),
                                 QStringLiteral("FILE"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Misbehave: drop:CMD, silent:CMD, garbage:CMD, "
                                                  "oversize:CMD or trickle (repeatable)."),
                                   QStringLiteral("RULE"));
    const QCommandLineOption switchboardPort(QStringLiteral("switchboard-port"),
                                             QStringLiteral("Switchboard (chat room) port; 0 lets "
                                                            "the kernel choose."),
                                             QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption relayPort(QStringLiteral("relay-port"),
                                       QStringLiteral("File relay port; 0 lets the kernel choose."),
                                       QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption mailPort(QStringLiteral("mail-port"),
                                      QStringLiteral("Mail web endpoints port; 0 lets the kernel choose."),
                                      QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption mailFolder(QStringLiteral("mail-folder"),
                                        QStringLiteral("Save the files of received mails here."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption animiconFolder(QStringLiteral("animicon-folder"),
                                            QStringLiteral("Serve the animicon catalogue from this folder "
                                                           "(ini/, thumb/); default: a demo catalogue."),
                                            QStringLiteral("DIR"));
    parser.addOptions({data, dispatchPort, notificationPort, endpoints, certChain, key, fault, switchboardPort, relayPort,
                       mailPort, mailFolder, animiconFolder});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return failWith(QStringLiteral("unexpected argument \"%1\"")
                            .arg(parser.positionalArguments().constFirst()));

    ServiceOptions options;
    options.dataFile = parser.value(data);
    options.endpointsFile = parser.value(endpoints);
    options.certChainFile = parser.value(certChain);
    options.keyFile = parser.value(key);
    options.faults = parser.values(fault);
    if (!parsePort(parser.value(dispatchPort), &options.dispatchPort))
        return failWith(QStringLiteral("--dispatch-port needs a number from 0 to 65535"));
    if (!parsePort(parser.value(notificationPort), &options.notificationPort))
        return failWith(QStringLiteral("--notification-port needs a number from 0 to 65535"));
    if (!parsePort(parser.value(switchboardPort), &options.switchboardPort))
        return failWith(QStringLiteral("--switchboard-port needs a number from 0 to 65535"));
    if (!parsePort(parser.value(relayPort), &options.relayPort))
        return failWith(QStringLiteral("--relay-port needs a number from 0 to 65535"));
    if (!parsePort(parser.value(mailPort), &options.mailPort))
        return failWith(QStringLiteral("--mail-port needs a number from 0 to 65535"));
    options.mailFolder = parser.value(mailFolder);
    options.animiconFolder = parser.value(animiconFolder);

    LocalService service;
    QString error;
    if (!service.start(options, &error))
        return failWith(error);
    std::printf("listening dispatch=%u notification=%u\n", unsigned(service.dispatchPort()),
                unsigned(service.notificationPort()));
    // Further lines, so that readers of the first keep working.
    std::printf("listening switchboard=%u\n", unsigned(service.switchboardPort()));
    std::printf("listening relay=%u mail=%u\n", unsigned(service.relayPort()), unsigned(service.mailPort()));
    std::fflush(stdout);
    return app.exec();
}
