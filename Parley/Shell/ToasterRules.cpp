#include "ToasterRules.h"

#include <QStringList>

namespace parley::shell {

namespace {

const QStringList &group1()
{
    static const QStringList types{"ORRP", "ORME", "ORFR", "ORPC", "Q7ME", "Q7FR", "Q7PC"};
    return types;
}
const QStringList &group2()
{
    static const QStringList types{"ORHP", "Q7HP", "NCHP", "7QRP", "7QSC", "7QAP", "Q7RP", "Q7RG", "Q7GF", "Q7GR"};
    return types;
}
const QStringList &group3()
{
    static const QStringList types{"ORRG", "TNRP", "TNAP", "TNSC", "Q7ML"};
    return types;
}

} // namespace

int ToasterRules::sisterGroupForSlideType(const QString &type)
{
    if (group1().contains(type))
        return 1;
    if (group2().contains(type))
        return 2;
    if (group3().contains(type))
        return 3;
    return 0;
}

ToasterKind ToasterRules::kindForSlideType(const QString &type)
{
    if (type == QLatin1String("CHAT"))
        return ToasterKind::Chat;
    if (type == QLatin1String("LGIN"))
        return ToasterKind::Login;
    if (type == QLatin1String("MEMO"))
        return ToasterKind::Memo;
    if (type == QLatin1String("MAIL") || type == QLatin1String("REML"))
        return ToasterKind::Mail;
    if (type == QLatin1String("FILE"))
        return ToasterKind::File;
    if (sisterGroupForSlideType(type) != 0)
        return ToasterKind::SisterService;
    if (type == QLatin1String("MCNT"))
        return ToasterKind::MultiLogin;
    return ToasterKind::None;
}

QString ToasterRules::defaultIconForSlideType(const QString &type)
{
    if (type == QLatin1String("LGIN"))
        return QStringLiteral("ToastIconLogin");
    if (type == QLatin1String("CHAT") || type == QLatin1String("FILE"))
        return QStringLiteral("ToastIconChat");
    if (type == QLatin1String("MEMO") || type == QLatin1String("MEMOCNT"))
        return QStringLiteral("ToastIconMemo");
    if (type == QLatin1String("MAIL") || type == QLatin1String("REML"))
        return QStringLiteral("ToastIconMail");
    if (type == QLatin1String("MCNT"))
        return QStringLiteral("toast_device");
    if (type == QLatin1String("NCHP"))
        return QStringLiteral("ToastIconHome");
    return QStringLiteral("ToastIconOrchard");
}

QString ToasterRules::defaultSoundForSlideType(const QString &type)
{
    if (type == QLatin1String("LGIN"))
        return QStringLiteral("buddy_login");
    if (type == QLatin1String("CHAT"))
        return QStringLiteral("recv_chat");
    if (type == QLatin1String("FILE"))
        return QStringLiteral("trans_comp");
    if (type == QLatin1String("MEMO"))
        return QStringLiteral("recv_memo");
    return QStringLiteral("minicubby");
}

} // namespace parley::shell
