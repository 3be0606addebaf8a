#include "PLMailForm.h"

#include "Log.h"
#include "Utils/KCUtilities.h"

#include <QRandomGenerator>

namespace parley::PLMailForm {

namespace {
QString text(const QVariantMap &info, const char *key) { return info.value(QLatin1String(key)).toString(); }
QString dateText(const QDate &date) { return QStringLiteral("%1.%2.%3").arg(date.year()).arg(date.month()).arg(date.day()); }
} // namespace

QString createBoundary()
{
    QString boundary(27, QLatin1Char('-'));
    for (int i = 0; i < 13; ++i)
        boundary += QLatin1Char("0123456789abcdef"[QRandomGenerator::system()->bounded(16)]);
    return boundary + QLatin1Char('0');
}

QString formPart(const QString &boundary, const QString &name, const QString &value)
{
    return QStringLiteral("--%1\r\nContent-Disposition: form-data; name=\"%2\"\r\n\r\n%3\r\n").arg(boundary, name, value);
}

QString filePartHeader(const QString &boundary, const QString &name, const QString &fileName)
{
    return QStringLiteral("--%1\r\nContent-Disposition: form-data; name=\"%2\"; filename=\"%3\"\r\n"
                          "Content-Type: application/octet-stream\r\n\r\n")
        .arg(boundary, name, fileName);
}

QString closingLine(const QString &boundary) { return QStringLiteral("--%1--\r\n").arg(boundary); }

QString makeMail(const QVariantMap &info, const QString &boundary, bool isBig)
{
    PL_GUARD_OBJECT(!info.isEmpty(), QString());
    const std::pair<const char *, QString> fields[] = {
        {"ticket", text(info, "ticket")},     {"id", text(info, "userID")},
        {"act", QStringLiteral("send")},       {"Reply_To", text(info, "sender")},
        {"to", text(info, "receiver")},        {"cc", QString()},
        {"bcc", QString()},                    {"subject", text(info, "subject")},
        {"body", text(info, "body")},          {"edit_type", QStringLiteral("html")},
        {"priority", QStringLiteral("3")},     {"save_flag", QStringLiteral("N")},
        {"h_Sign", QStringLiteral("N")},       {"src", QStringLiteral("chat")},
        {"attachsize", QString::number(info.value(QStringLiteral("filesize")).toLongLong())},
        {"send_charset", QStringLiteral("euc-kr")}, {"ret_charset", QStringLiteral("UTF-8")},
        {"ret_lang", QStringLiteral("kor")},
    };
    QString form;
    for (const auto &[name, value] : fields)
        form += formPart(boundary, QLatin1String(name), value);
    if (!isBig)
        form += filePartHeader(boundary, QStringLiteral("AttachFile[]"), text(info, "filename"));
    return form;
}

QString makeBulkmail(const QVariantMap &info, const QString &boundary, const QDate &today)
{
    PL_GUARD_OBJECT(!info.isEmpty(), QString());
    QString form;
    form += formPart(boundary, QStringLiteral("Filename"), text(info, "filename"));
    form += formPart(boundary, QStringLiteral("ticketsn"), text(info, "ticketsn"));
    form += formPart(boundary, QStringLiteral("ticket_clear"), QStringLiteral("1"));
    form += formPart(boundary, QStringLiteral("server_id"), QString::number(info.value(QStringLiteral("serverid")).toInt()));
    form += formPart(boundary, QStringLiteral("start_date"), today.toString(QStringLiteral("yyyy.MM.dd")));
    form += formPart(boundary, QStringLiteral("usersn"), text(info, "cmn"));
    form += formPart(boundary, QStringLiteral("expire_date"), QString::number(info.value(QStringLiteral("rdays")).toInt()));
    form += formPart(boundary, QStringLiteral("filesize"), QString::number(info.value(QStringLiteral("filesize")).toLongLong()));
    form += formPart(boundary, QStringLiteral("activex_version"), QStringLiteral("parley_0"));
    form += filePartHeader(boundary, QStringLiteral("filename"), text(info, "filename"));
    return form;
}

QString makeSubject(const QString &name, const QString &fileName)
{
    const QString shown = fileName.size() > 30 ? QStringLiteral("%1...").arg(fileName.left(30)) : fileName;
    return KCLocalizedString(QStringLiteral("SendSubject")).arg(name, shown);
}

QString sizeText(qint64 size)
{
    if (size <= 1023999)
        return QString::asprintf("%.2f KB", double(size) / 1024.0);
    if (size <= 1048575999)
        return QString::asprintf("%.2f MB", double(size) / 1024.0 / 1024.0);
    return QString::asprintf("%.2f GB", double(size) / 1024.0 / 1024.0 / 1024.0);
}

QString makeBody(const QString &name, const QVariantMap &mailInfo, const QDate &today)
{
    QString content = KCLocalizedString(QStringLiteral("SendContents")).arg(name);
    if (!mailInfo.isEmpty()) {
        const int days = mailInfo.value(QStringLiteral("rdays")).toInt();
        content += KCLocalizedString(QStringLiteral("BigAttachMsg"))
                       .arg(dateText(today), dateText(today.addDays(days)), QString::number(days),
                            QString::number(mailInfo.value(QStringLiteral("maxcnt")).toInt()),
                            text(mailInfo, "filename"), sizeText(mailInfo.value(QStringLiteral("filesize")).toLongLong()),
                            text(mailInfo, "filelink"));
    }
    return KCLocalizedString(QStringLiteral("ContentsHead")) + content + KCLocalizedString(QStringLiteral("ContentsTail"));
}

} // namespace parley::PLMailForm
