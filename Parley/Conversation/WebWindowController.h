#pragma once

// The window an animicon plays in: the item's play page in a transparent,
// frameless web view laid over the chat window's lower-left corner (a child
// of it, which works also where windows cannot be placed), or over the
// screen's without a window. It shows once the page has loaded, stays 4.1 s,
// is then hidden with a blank page and goes 1.0 s later, deleting itself. A
// page that does not load is never shown and goes at once.

#include "AnimiconPlay/AnimiconPlayView.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>

class WebWindowController : public QObject
{
    Q_OBJECT
public:
    // Starts playing; null when the play view cannot be made.
    static WebWindowController *showAnimicon(const QString &animiconUrl, QWidget *parentWindow);
    ~WebWindowController() override;

    QString animiconUrl() const { return mAnimiconUrl; }
    void setAnimiconUrl(const QString &url) { mAnimiconUrl = url; }
    QWidget *parentWindow() const { return mParentWindow; }
    void setParentWindow(QWidget *window) { mParentWindow = window; }
    // Loads a page into the view (and logs it).
    void navigateUrl(const QString &url);

    void animiconEndTimerAction();
    void closeTimerAction();

    bool isComplete() const { return mIsComplete; }
    // The play view (null once gone).
    QWidget *playWidget() const;

    // The play view's size.
    static QSize windowSize() { return QSize(160, 160); }
    // How long it shows and stays hidden (tests shorten them).
    static void setTimings(int visibleMilliseconds, int hiddenMilliseconds);

signals:
    void closed();

private:
    WebWindowController(const QString &animiconUrl, QWidget *parentWindow);
    void didFinishLoad(bool ok);

    std::unique_ptr<AnimiconPlayView> mAnimiconWebView;
    QTimer mFlashTimer;
    QPointer<QWidget> mParentWindow;
    QString mAnimiconUrl;
    bool mIsComplete = false;
};
