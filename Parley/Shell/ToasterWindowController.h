#pragma once

// One pop-up notice: its window, texts, icon and skin, the details of what it
// is about, its fade clock and what a click opens. The manager that shows it
// is its delegate and hears when it closes.

#include "ToasterActions.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QVariantMap>

namespace parley::shell {

class KCToasterWindow;
class ToasterWindowController;

class ToasterWindowControllerDelegate
{
public:
    virtual ~ToasterWindowControllerDelegate() = default;
    virtual void toasterWindowDidClose(ToasterWindowController *controller) = 0;
    virtual ToasterActions &toasterActions() = 0;
};

class ToasterWindowController : public QObject
{
    Q_OBJECT

public:
    ToasterWindowController();
    ~ToasterWindowController() override;

    KCToasterWindow *window() const { return mWindow; }

    // One text in the body (the head line hidden), shortened to fit.
    void setMessage(const QString &message);
    // The head line: `format` with the buddy's name (shortened to fit); the body: the message.
    void setMessage(const QString &message, const QString &buddyString, const QString &format);
    void setIconImage(const QPixmap &image);
    void setBackgroundImage(const QPixmap &image);
    void setIconRect(const QRect &rect);
    void setTextRect(const QRect &rect);
    void setCloseButtonRect(const QRect &rect);
    void setUserInfo(const QVariantMap &userInfo) { mUserInfo = userInfo; }
    void setToasterType(const QString &type) { mToasterType = type; }
    // Kept with the notice; the notice itself plays nothing.
    void setSound(const QString &soundName) { mSound = soundName; }
    void setShowUrl(const QString &url, const QString &svcCode, const QString &bridgeCode, int hFlag);
    void setPopWindow(QWidget *window) { mPopWindow = window; }
    void setDelegate(ToasterWindowControllerDelegate *delegate) { mDelegate = delegate; }
    void setIsAutoClose(bool flag) { mIsAutoClose = flag; }

    const QVariantMap &userInfo() const { return mUserInfo; }
    const QString &toasterType() const { return mToasterType; }
    const QString &sound() const { return mSound; }
    const QString &popUrlString() const { return mPopUrlString; }
    const QString &popUrlSVCCode() const { return mPopUrlSVCCode; }
    const QString &popUrlBridgeCode() const { return mPopUrlBridgeCode; }
    int popUrlHFlag() const { return mPopUrlHFlag; }
    QWidget *popWindow() const { return mPopWindow; }
    float showTime() const { return mShowTime; }
    bool isAutoClose() const { return mIsAutoClose; }
    bool isClosed() const { return mIsClosed; }
    // The texts shown now.
    QString headText() const;
    QString bodyText() const;
    bool isHeadShown() const;

    // One tick of the fade clock.
    void refreshTimer();
    // What a click on the notice does.
    void clickAction();
    void closeAction();
    // Shows the window in its frame (set by the manager).
    void showWindow(const QRect &frame);

private:
    void windowWillClose();

    KCToasterWindow *mWindow; // owned
    ToasterWindowControllerDelegate *mDelegate = nullptr;
    QPointer<QWidget> mPopWindow;
    QString mSound;
    QString mPopUrlString;
    QString mPopUrlSVCCode;
    QString mPopUrlBridgeCode;
    int mPopUrlHFlag = -1;
    QString mToasterType;
    QVariantMap mUserInfo;
    float mShowTime = 0;
    bool mIsAutoClose = true;
    bool mIsClosed = false;
};

} // namespace parley::shell
