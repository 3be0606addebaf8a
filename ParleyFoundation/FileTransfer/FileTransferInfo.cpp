#include "FileTransferInfo.h"

namespace parley {

QVariantMap FileTransferInfo::toVariantMap() const
{
    QVariantMap map{
        {QStringLiteral("fileCookie"), fileCookie},   {QStringLiteral("isDownload"), isDownload},
        {QStringLiteral("targetID"), targetID},       {QStringLiteral("chatSessionKey"), chatSessionKey},
        {QStringLiteral("fileName"), fileName},       {QStringLiteral("fileSize"), fileSize},
        {QStringLiteral("ioIndex"), ioIndex},         {QStringLiteral("transPercent"), transPercent},
        {QStringLiteral("isDone"), isDone},           {QStringLiteral("isCancelled"), isCancelled},
        {QStringLiteral("isWaiting"), isWaiting},     {QStringLiteral("isMail"), isMail},
        {QStringLiteral("age"), age},                 {QStringLiteral("fileRelay"), fileRelay},
    };
    // Keys that are set only at some point are present only from then on.
    const std::pair<const char *, const QString *> optional[] = {
        {"filePath", &filePath}, {"p2pCookie", &p2pCookie}, {"dpKey", &dpKey},
        {"status", &status},     {"p2pSessionKey", &p2pSessionKey},
    };
    for (const auto &[key, value] : optional) {
        if (!value->isEmpty())
            map.insert(QLatin1String(key), *value);
    }
    return map;
}

} // namespace parley
