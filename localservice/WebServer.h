#pragma once

// The portal's web endpoints that the client queries after sign-in: the
// unread-mail count, the unread-memo count, and the sister service's two
// scripts (account modes and guest-book news); and the sister service's
// pages that the preferences open in a browser (personal-page preview,
// membership check, ID help); and the memo server's chat-log upload, whose
// bodies it keeps. Served over plain HTTP on 127.0.0.1 from the live account
// directory. It also plays the portal's bridge host (every bridge form posted
// is kept, as the browser sent it), the web-mail home page and the update
// host (the files of a folder under "/mac/").

#include <QByteArray>
#include <QList>
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

    // The update host's "/mac/NAME" serves the file NAME of this folder
    // (none when empty).
    void setUpdateFolder(const QString &folder) { mUpdateFolder = folder; }
    // The bodies of the bridge forms posted to "/index.php", in arrival order.
    const QList<QByteArray> &bridgePosts() const { return mBridgePosts; }

    // The replies, without the HTTP around them (for tests).
    QString mailCount(const QString &id) const;
    QString memoCount(const QString &formBody) const;
    QString mainAccount(const QString &formBody) const;
    QString newPosts(const QString &formBody) const;
    // The chat logs uploaded to the memo server's "/client/SaveChat.do" (the
    // multipart bodies as they came), oldest first.
    const QList<QByteArray> &savedChatLogs() const { return mSavedChatLogs; }
    // The paths of the sister service's pages, and the page served at one.
    static QStringList sisterPagePaths();
    static QByteArray sisterPage(const QString &path);

private:
    AccountDirectory &mDirectory;
    std::unique_ptr<QHttpServer> mServer;
    std::unique_ptr<AnimiconSite> mAnimicons;
    quint16 mPort = 0;
    QList<QByteArray> mSavedChatLogs;
    QString mUpdateFolder;
    QList<QByteArray> mBridgePosts;
};

} // namespace localservice
