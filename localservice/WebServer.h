#pragma once

// The portal's web endpoints that the client queries after sign-in: the
// unread-mail count, the unread-memo count, and the sister service's two
// scripts (account modes and guest-book news); and the sister service's
// pages that the preferences open in a browser (personal-page preview,
// membership check, ID help). Served over plain HTTP on 127.0.0.1 from the
// live account directory.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QHttpServer;

namespace localservice {

class AccountDirectory;
class AnimiconSite;

class WebServer {
public:
    // The animicon site serves the files of `animiconFolder`, or its demo
    // catalogue when that is empty.
    explicit WebServer(AccountDirectory &directory, const QString &animiconFolder = QString());
    ~WebServer();

    // Port 0 lets the kernel choose.
    bool listen(quint16 port, QString *error);
    quint16 port() const { return mPort; }
    // "http://127.0.0.1:PORT"
    QString baseURL() const;
    // The animicon catalogue's base URL ("animicon_file_url"): baseURL()/animicon.
    QString animiconBaseURL() const;
    AnimiconSite &animicons() { return *mAnimicons; }

    // The replies, without the HTTP around them (for tests).
    QString mailCount(const QString &id) const;
    QString memoCount(const QString &formBody) const;
    QString mainAccount(const QString &formBody) const;
    QString newPosts(const QString &formBody) const;
    // The paths of the sister service's pages, and the page served at one.
    static QStringList sisterPagePaths();
    static QByteArray sisterPage(const QString &path);

private:
    AccountDirectory &mDirectory;
    std::unique_ptr<QHttpServer> mServer;
    std::unique_ptr<AnimiconSite> mAnimicons;
    quint16 mPort = 0;
};

} // namespace localservice
