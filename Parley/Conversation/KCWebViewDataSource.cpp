#include "KCWebViewDataSource.h"

#include "BuddyManagement/PLMyInfoManager.h"

std::optional<QStringList> KCWebViewDataSource::emoticonWebViewArray(KCWebView *view)
{
    (void)view;
    return std::nullopt;
}

QString KCWebViewDataSource::emoticonWebViewEmoticon(KCWebView *view, const QString &token)
{
    (void)view;
    (void)token;
    return {};
}

QString KCWebViewDataSource::webTicket(KCWebView *view)
{
    (void)view;
    return parley::PLMyInfoManager::sharedManager().ticket();
}
