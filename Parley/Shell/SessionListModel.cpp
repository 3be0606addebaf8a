#include "SessionListModel.h"

#include "BridgeForm.h"
#include "Utils/KCUtilities.h"

namespace parley {

namespace {

QString html(const QString &text) { return BridgeForm::escapeHTML(text); }

QString fileSource(const QString &path)
{
    return html(QLatin1String("file://") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/")));
}

} // namespace

QString SessionListModel::typeNameForMediaType(const QString &mediaType)
{
    if (mediaType == QLatin1String("2"))
        return KCLocalizedString(QStringLiteral("TypeMobile"));
    if (mediaType == QLatin1String("3"))
        return KCLocalizedString(QStringLiteral("TypeWeb"));
    return KCLocalizedString(QStringLiteral("TypePC"));
}

QString SessionListModel::shownName(const QString &displayName)
{
    if (displayName.size() <= kLongestName)
        return displayName;
    qsizetype cut = kLongestName - 1;
    // Never half of a surrogate pair.
    if (displayName[cut - 1].isHighSurrogate())
        --cut;
    return displayName.left(cut) + QLatin1String("...");
}

void SessionListModel::addList(const QString &sessionKey, const QString &displayName, const QString &typeName)
{
    // A login without a key could never be named by a link.
    if (sessionKey.isEmpty() || sessionKey == mOwnKey)
        return;
    Entry entry;
    if (typeName == KCLocalizedString(QStringLiteral("TypePC")))
        entry.type = Computer;
    else if (typeName == KCLocalizedString(QStringLiteral("TypeMobile")))
        entry.type = Mobile;
    else if (typeName == KCLocalizedString(QStringLiteral("TypeWeb")))
        entry.type = Web;
    entry.displayName = shownName(displayName);
    entry.sessionKey = sessionKey;
    entry.typeName = typeName;
    mList.append(entry);
}

QString SessionListModel::rowHTML(const Entry &entry, const SessionListIcons &icons)
{
    const QString &icon = entry.type == Mobile ? icons.mobile : entry.type == Web ? icons.web : icons.computer;
    return QLatin1String("<tr ><td><img src=\"") + fileSource(icon) + QLatin1String("\"></td><td>")
        + html(entry.typeName) + QLatin1String(" - ") + html(entry.displayName)
        + QLatin1String("</td><td><a href=\"file://xxx/") + QString::fromLatin1(QUrl::toPercentEncoding(entry.sessionKey))
        + QLatin1String("\"><img src=\"") + fileSource(icons.logout) + QLatin1String("\"></a></td></tr>");
}

QString SessionListModel::tableHTML(const SessionListIcons &icons) const
{
    if (mList.isEmpty())
        return {};
    QString table = QStringLiteral("<table WIDTH=\"100%\">");
    for (const Entry &entry : mList)
        table += rowHTML(entry, icons);
    return table + QLatin1String("</table>");
}

qsizetype SessionListModel::indexForLink(const QUrl &url) const
{
    const QString path = url.path(QUrl::FullyEncoded);
    const QString key = QUrl::fromPercentEncoding(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1).toLatin1());
    for (qsizetype i = 0; i < mList.size(); ++i)
        if (mList[i].sessionKey == key)
            return i;
    return -1;
}

} // namespace parley
