#pragma once

// The pop-up notices: picks the builder by the slide type, drops what the
// user's settings gate out, skins each notice from SlideWindow.plist, places
// it in the first free slot of the screen and drives every notice's fade from
// one timer on the main thread (35 ms), which runs while any notice is shown.
// Sister-service notices also go to the desktop's notices.

#include "ShellWindows.h"
#include "SlideWindowSkins.h"
#include "ToasterWindowController.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>

namespace parley::shell {

class ToasterWindowManager final : public QObject, public ToasterManager, public ToasterWindowControllerDelegate
{
    Q_OBJECT

public:
    // `availableGeometry`: the screen area notices go in (null: the primary
    // screen's available geometry).
    ToasterWindowManager(ToasterActions &actions, SlideWindowSkins skins,
                         std::function<QRect()> availableGeometry = {});
    ~ToasterWindowManager() override;

    // Where the application's skins lie.
    static QString defaultSkinsPath();

    // ToasterManager
    void showToasterWindow(const QString &type, const QString &buddyString, const QString &text,
                           QWidget *popWindow, const QString &url, const QVariantMap &userInfo) override;
    void showToasterWindow(const QString &type, const QVariantMap &userInfo) override;
    bool isToastWindow(const QWidget *window) override;
    void reset() override;

    // A one-text notice of any type with no details.
    void showToasterText(const QString &type, const QString &text);

    // The notices shown, oldest first.
    const QList<ToasterWindowController *> &toasters() const { return mToasterList; }
    int toasterCount() const { return int(mToasterList.size()); }
    bool isTicking() const { return mTimer.isActive(); }
    // One tick of every notice's fade (the timer's).
    void refreshTimer();
    QRect availableWindowRect() const;
    const SlideWindowSkins &skins() const { return mSkins; }

    // ToasterWindowControllerDelegate
    void toasterWindowDidClose(ToasterWindowController *controller) override;
    ToasterActions &toasterActions() override { return mActions; }

private:
    ToasterWindowController *newToaster(const QString &type, QWidget *popWindow);
    // Applies the type's skin; answers its bridge code (null without a skin).
    QString slideWindowSetting(const QString &type, ToasterWindowController *toaster) const;
    void showToast(ToasterWindowController *toaster);

    void showToasterLogin(const QString &buddyString, QWidget *popWindow, const QVariantMap &userInfo);
    void showToasterChat(const QString &buddyString, const QString &text, QWidget *popWindow,
                         const QVariantMap &userInfo);
    void showToasterMemo(const QString &text, QWidget *popWindow, const QVariantMap &userInfo);
    void showToasterMail(const QString &buddyString, const QString &text, QWidget *popWindow,
                         const QVariantMap &userInfo, const QString &type);
    void showToasterSessionManager(const QString &text, QWidget *popWindow, const QVariantMap &userInfo);
    void showToasterUrl(const QString &type, const QString &url, const QString &text, const QVariantMap &userInfo,
                        bool isMiniNookNew, bool isOrchardHomeNew);

    ToasterActions &mActions;
    SlideWindowSkins mSkins;
    std::function<QRect()> mAvailableGeometry;
    QList<ToasterWindowController *> mToasterList; // owned
    QTimer mTimer;
};

} // namespace parley::shell
