// parley-localservice: our own emulator of the service's login-dispatch and
// notification servers, listening on 127.0.0.1.

#include "LocalService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <utility>

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

// A port option: a number from 0 to 65535, where 0 lets the kernel choose.
QCommandLineOption portOption(const QString &name, const QString &server)
{
    return QCommandLineOption(name, QStringLiteral("%1 port; 0 lets the kernel choose.").arg(server),
                              QStringLiteral("N"), QStringLiteral("0"));
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
    const QCommandLineOption dispatchPort = portOption(QStringLiteral("dispatch-port"), QStringLiteral("Dispatch"));
    const QCommandLineOption notificationPort =
        portOption(QStringLiteral("notification-port"), QStringLiteral("Notification"));
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
    const QCommandLineOption switchboardPort =
        portOption(QStringLiteral("switchboard-port"), QStringLiteral("Switchboard (chat room)"));
    const QCommandLineOption relayPort = portOption(QStringLiteral("relay-port"), QStringLiteral("File relay"));
    const QCommandLineOption mailPort = portOption(QStringLiteral("mail-port"), QStringLiteral("Mail web endpoints"));
    const QCommandLineOption mailFolder(QStringLiteral("mail-folder"),
                                        QStringLiteral("Save the files of received mails here."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption updateFolder(QStringLiteral("update-folder"),
                                          QStringLiteral("Serve the files of this folder as the update host's /mac/."),
                                          QStringLiteral("DIR"));
    const QCommandLineOption animiconFolder(QStringLiteral("animicon-folder"),
                                            QStringLiteral("Serve the animicon catalogue from this folder "
                                                           "(ini/, thumb/); default: a demo catalogue."),
                                            QStringLiteral("DIR"));
    parser.addOptions({data, dispatchPort, notificationPort, endpoints, certChain, key, fault, switchboardPort, relayPort,
                       mailPort, mailFolder, updateFolder, animiconFolder});
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
    const std::pair<const QCommandLineOption &, quint16 &> ports[] = {
        {dispatchPort, options.dispatchPort}, {notificationPort, options.notificationPort},
        {switchboardPort, options.switchboardPort}, {relayPort, options.relayPort}, {mailPort, options.mailPort}};
    for (const auto &[option, port] : ports) {
        if (!parsePort(parser.value(option), &port))
            return failWith(QStringLiteral("--%1 needs a number from 0 to 65535").arg(option.names().constFirst()));
    }
    options.mailFolder = parser.value(mailFolder);
    options.updateFolder = parser.value(updateFolder);
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
