#include "PGHFirstShowNotice.h"

#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"

namespace pigeonhole {

using parley::KCLocalizedString;

QString PGHFirstShowNotice::detailHtml()
{
    // The service's page about the boxes, on the memo web host.
    const QString go = KCLocalizedString(QStringLiteral("Init_go")).toHtmlEscaped();
    const QString host = parley::PLEndpoints::current().webMemo;
    const QString link = host.isEmpty() ? go
                                        : QStringLiteral("<a href='%1'>%2</a>")
                                              .arg((host + QStringLiteral("/index.php?code=H215")).toHtmlEscaped(), go);
    return QStringLiteral("<p><b>%1</b></p><p>%2</p>")
        .arg(KCLocalizedString(QStringLiteral("Init_Detail_Title")).toHtmlEscaped(),
             KCLocalizedString(QStringLiteral("Init_Detail_Body")).toHtmlEscaped().arg(link));
}

KCAlertRequest PGHFirstShowNotice::request(std::function<void()> openWebMemoBox, std::function<void()> openWebChatBox)
{
    KCAlertRequest request;
    request.key = QStringLiteral("Init_Title");
    request.title = KCLocalizedString(QStringLiteral("Init_Title"));
    request.message = KCLocalizedString(QStringLiteral("Init_Body"));
    request.iconName = QStringLiteral("icon_viewer");
    request.accessoryHtml = detailHtml();
    request.accessoryButtons = {{KCLocalizedString(QStringLiteral("webMemoBox")), std::move(openWebMemoBox)},
                                {KCLocalizedString(QStringLiteral("webChatBox")), std::move(openWebChatBox)}};
    request.buttons = {KCLocalizedString(QStringLiteral("confirm"))};
    request.checkBoxText = KCLocalizedString(QStringLiteral("Init_Suppression"));
    return request;
}

} // namespace pigeonhole
