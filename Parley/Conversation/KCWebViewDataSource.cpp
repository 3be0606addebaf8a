#include "KCWebViewDataSource.h"

#include "BuddyManagement/PLMyInfoManager.h"
#include "EmoticonCatalogueAdapter.h"

std::optional<QStringList> KCWebViewDataSource::emoticonWebViewArray(KCWebView *view)
{
    (void)view;
    return EmoticonCatalogueAdapter::shared().emoticonTokens();
}

QString KCWebViewDataSource::emoticonWebViewEmoticon(KCWebView *view, const QString &token)
{
    (void)view;
    return EmoticonCatalogueAdapter::shared().imagePathForToken(token);
}

QString KCWebViewDataSource::webTicket(KCWebView *view)
{
    (void)view;
    return parley::PLMyInfoManager::sharedManager().ticket();
}
