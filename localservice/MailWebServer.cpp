#include "MailWebServer.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QRandomGenerator>
#include <QUrlQuery>

namespace localservice {

QByteArray ReceivedForm::field(const QString &name) const
{
    for (const FormPart &part : parts) {
        if (part.name == name)
            return part.data;
    }
    return QByteArray();
}

const FormPart *ReceivedForm::filePart() const
{
    for (const FormPart &part : parts) {
        if (!part.fileName.isEmpty())
            return &part;
    }
    return nullptr;
}

MailWebServer::MailWebServer(QObject *parent) : QObject(parent), mServer(std::make_unique<QHttpServer>())
{
    using Request = QHttpServerRequest;
    using Response = QHttpServerResponse;
    mServer->route(QStringLiteral("/mailsend_parley_switch.html"), [this](const Request &request) {
        bool ok = false;
        keep(QStringLiteral("/mailsend_parley_switch.html"), request.value("Content-Type"), request.body(), &ok);
        return ok ? Response(QByteArrayLiteral("text/html"), QByteArrayLiteral("OK"))
                  : Response(QByteArrayLiteral("text/html"), QByteArrayLiteral("FAIL"));
    });
    mServer->route(QStringLiteral("/get_bulkmail_info_ticket2.html"), [](const Request &request) {
        const QUrlQuery form(QString::fromUtf8(request.body()));
        if (form.queryItemValue(QStringLiteral("ticket")).isEmpty())
            return Response(QByteArrayLiteral("text/html"), QByteArrayLiteral("error=ticket"));
        const QByteArray serial = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
        return Response(QByteArrayLiteral("text/html"),
                        QByteArrayLiteral("server_id=") + QByteArray::number(kServerID) + "&ticketsn=" + serial
                            + "&kind=0&rdays=" + QByteArray::number(kRetentionDays)
                            + "&maxcnt=" + QByteArray::number(kMaxDownloads));
    });
    mServer->route(QStringLiteral("/upload/<arg>"), [this](const QString &sid, const Request &request) {
        bool ok = false;
        keep(QStringLiteral("/upload/") + sid, request.value("Content-Type"), request.body(), &ok);
        if (!ok || sid != QStringLiteral("sid=%1").arg(kServerID))
            return Response(QByteArrayLiteral("text/html"), QByteArrayLiteral("9&"));
        const QByteArray info = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
        return Response(QByteArrayLiteral("text/html"), QByteArray::number(mBulkReturnCode) + "&" + info);
    });
}

MailWebServer::~MailWebServer() = default;

bool MailWebServer::listen(quint16 port, QString *error)
{
    mPort = mServer->listen(QHostAddress::LocalHost, port);
    if (mPort != 0)
        return true;
    if (error)
        *error = QStringLiteral("mail web server: cannot listen on port %1").arg(port);
    return false;
}

QString MailWebServer::baseURL() const { return QStringLiteral("http://127.0.0.1:%1").arg(mPort); }

QByteArray MailWebServer::keep(const QString &path, const QByteArray &contentType, const QByteArray &body, bool *ok)
{
    QByteArray boundary = MultipartForm::boundaryOf(contentType);
    // The bulk upload names no boundary in its header: its first line does.
    if (boundary.isEmpty() && body.startsWith("--"))
        boundary = body.mid(2, body.indexOf("\r\n") - 2);
    const std::optional<QList<FormPart>> parts = MultipartForm::parse(body, boundary);
    *ok = parts.has_value();
    if (!parts)
        return QByteArray();
    ReceivedForm form{path, *parts, QString()};
    const FormPart *file = form.filePart();
    if (file && !mSaveFolder.isEmpty()) {
        // The stored name is ours; the sender's name is kept in the form only.
        QFile out(QDir(mSaveFolder).filePath(QStringLiteral("upload-%1.bin").arg(mForms.size() + 1)));
        if (out.open(QIODevice::WriteOnly) && out.write(file->data) == file->data.size())
            form.savedFile = out.fileName();
    }
    mForms.append(form);
    return QByteArray();
}

} // namespace localservice
