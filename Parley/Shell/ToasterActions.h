#pragma once

// What a pop-up notice asks of the rest of the messenger: what its click
// opens, the main window's news marks it lights, and the own status it
// checks. The application controller answers; tests record.

#include <QString>
#include <QVariantMap>

class QWidget;

namespace parley::shell {

class ToasterActions
{
public:
    virtual ~ToasterActions() = default;

    // The own status code (0 offline .. 6).
    virtual int myStatus() = 0;
    // Brings a chat window (the one a chat notice came from) forward.
    virtual void showPopWindow(QWidget *window) = 0;
    // The portal page of a sister-service notice, through the bridge page.
    virtual void showBridgePageForSVC(const QString &svc, const QString &bridgeCode, int hFlag,
                                      const QString &url) = 0;
    // Asks the server for the memo of that cookie and opens a read window for it.
    virtual void openMemo(const QVariantMap &memoInfo) = 0;
    virtual void showVelaMemo() = 0;
    virtual void showVelaMail() = 0;
    virtual void showConfirmMail() = 0;
    virtual void openSessionManager() = 0;
    virtual void openChatRoom(const QString &buddyID) = 0;
    // The main window's news marks.
    virtual void setMiniNookNew(bool isNew) = 0;
    virtual void setOrchardNew(bool isNew) = 0;
};

} // namespace parley::shell
