#include "SystemProxyImport.h"

#include "Utils/PLEndpoints.h"

#include <QCoreApplication>
#include <QNetworkProxyFactory>
#include <QPointer>
#include <QThread>

namespace parley {

QUrl SystemProxyImport::queryURL()
{
    return QUrl(QStringLiteral("http://www.%1/").arg(PLEndpoints::current().portalDomain));
}

std::optional<ImportedProxy> SystemProxyImport::httpProxyFor(const QUrl &url)
{
    const QList<QNetworkProxy> proxies = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    for (const QNetworkProxy &proxy : proxies)
        if (proxy.type() == QNetworkProxy::HttpProxy && !proxy.hostName().isEmpty())
            return ImportedProxy{proxy.hostName(), proxy.port()};
    return std::nullopt;
}

void SystemProxyImport::start(QObject *context, std::function<void(std::optional<ImportedProxy>)> done)
{
    const QUrl url = queryURL();
    QPointer<QObject> guard(context);
    QThread *worker = QThread::create([url, guard, done = std::move(done)] {
        const std::optional<ImportedProxy> proxy = httpProxyFor(url);
        // The context is checked on the main thread, where it lives.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, done, proxy] {
                if (guard)
                    done(proxy);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

} // namespace parley
