#pragma once

// What the transcript view asks of its owner (the chat window, the memo read
// window). Every call is optional: the emoticon answers default to the shared
// emoticon catalogue's (what the chat and memo windows give), the others to
// an owner that does not take part. Drags over the view are not taken by it:
// they go on to the owner's window like drags over any part of it that
// accepts none.

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

class KCWebView;

class KCWebViewDataSource
{
public:
    virtual ~KCWebViewDataSource() = default;

    // The emoticon tokens to show as pictures, in the order they are
    // replaced (the catalogue's list); nothing: no pictures.
    virtual std::optional<QStringList> emoticonWebViewArray(KCWebView *view);
    // The image file of a token; null leaves the token as text.
    virtual QString emoticonWebViewEmoticon(KCWebView *view, const QString &token);
    // Opens a clicked link (already checked and completed by the view).
    virtual void requestWebUrlOpen(KCWebView *view, const QUrl &url)
    {
        (void)view;
        (void)url;
    }
    // The portal's bridge page (the base of service links); null refuses them.
    virtual QString bridgePageUrl(KCWebView *view)
    {
        (void)view;
        return {};
    }
    // The signed-in user's web ticket, which service links carry to the
    // bridge page (the default reads the account's ticket).
    virtual QString webTicket(KCWebView *view);
};
