#pragma once

// What the memo windows ask of the rest of the messenger: the account
// session's memo requests, the memo count and notices, the sound, the
// preferences window, and the user. AppMemoServices is the application's;
// tests record.

#include <QString>
#include <QVariantMap>

class QWidget;

namespace parley {

class PLNote;

class MemoServices
{
public:
    virtual ~MemoServices() = default;

    // The session: answer whether the request went out.
    virtual bool sendNote(PLNote &note) = 0;
    virtual bool requestRelMemo(const QString &cookie, int lastSequence, int count, bool isSend) = 0;
    virtual bool getMemo(const QString &cookie) = 0;

    virtual QString currentUserID() = 0;
    // The count of unread memos the shell shows, one more.
    virtual void incMemoCount() = 0;
    // The pop-up notice of a memo ("MEMO"; a click opens it) and the desktop notice.
    virtual void showToaster(const QString &name, const QString &text, const QVariantMap &memo) = 0;
    virtual void notifyDesktop(const QString &title, const QString &description, const QVariantMap &memo) = 0;
    virtual void playMemoSound() = 0;
    // The preferences window on its notification pane, opened or only re-read.
    virtual void openNotificationPreferences() = 0;
    virtual void reloadPreferences() = 0;
    // Opens a web address in the browser.
    virtual void openUrl(const QString &url) = 0;
    // The portal's bridge page, through which service links open (null
    // refuses them).
    virtual QString bridgePageUrl() = 0;
};

} // namespace parley
