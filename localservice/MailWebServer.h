#pragma once

// The portal's mail and bulk-mail web endpoints, over plain HTTP:
//   POST /mailsend_parley_switch.html    a mail form, with or without an
//                                        attached file; answers "OK"
//   POST /get_bulkmail_info_ticket2.html "ticket=..."; answers
//                                        "server_id=N&ticketsn=S&kind=0&rdays=D&maxcnt=C"
//   POST /upload/sid=N                   the bulk upload form; answers
//                                        "0&<download info>"
// Every form received is kept (and its file saved in the folder, when one is
// set), so that tests can compare what arrived.

#include "MultipartForm.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QHttpServer;

namespace localservice {

struct ReceivedForm {
    QString path;
    QList<FormPart> parts;
    QString savedFile; // where its file went, if saved

    // The first part of that name; null data when none.
    QByteArray field(const QString &name) const;
    const FormPart *filePart() const;
};

class MailWebServer : public QObject {
    Q_OBJECT
public:
    static constexpr int kServerID = 7;
    static constexpr int kRetentionDays = 7;
    static constexpr int kMaxDownloads = 10;

    explicit MailWebServer(QObject *parent = nullptr);
    ~MailWebServer() override;

    // Listens on 127.0.0.1; port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const { return mPort; }
    QString baseURL() const;
    // Files of received forms are saved here (none when empty).
    void setSaveFolder(const QString &folder) { mSaveFolder = folder; }
    // The next answers of the bulk upload carry this return code (0: success).
    void setBulkReturnCode(int code) { mBulkReturnCode = code; }

    const QList<ReceivedForm> &forms() const { return mForms; }

private:
    QByteArray keep(const QString &path, const QByteArray &contentType, const QByteArray &body, bool *ok);

    std::unique_ptr<QHttpServer> mServer;
    quint16 mPort = 0;
    QString mSaveFolder;
    int mBulkReturnCode = 0;
    QList<ReceivedForm> mForms;
};

} // namespace localservice
