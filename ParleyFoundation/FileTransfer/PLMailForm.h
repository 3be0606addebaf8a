#pragma once

// The multipart forms of a mail upload: the web mail with or without its
// attachment, the bulk upload, and the subject and body texts of the mail.
// All text, no I/O.

#include <QDate>
#include <QString>
#include <QVariantMap>

namespace parley::PLMailForm {

// 27 hyphens, 13 random lower-case hexadecimal digits, "0".
QString createBoundary();
// One form field: "--boundary", the disposition with the quoted name, an
// empty line, the value, CR LF.
QString formPart(const QString &boundary, const QString &name, const QString &value);
// The header of a file part; the file's bytes and CR LF follow it.
QString filePartHeader(const QString &boundary, const QString &name, const QString &fileName);
QString closingLine(const QString &boundary);

// {ticket, userID, sender, receiver, subject, body, filesize, filename}; the
// attachment's header ends the form unless `isBig`. Empty for an empty map.
QString makeMail(const QVariantMap &info, const QString &boundary, bool isBig);
// {filename, serverid, ticketsn, cmn, rdays, filesize}, dated `today`.
QString makeBulkmail(const QVariantMap &info, const QString &boundary, const QDate &today);
// The localized subject; a name longer than 30 characters is cut to 30 and "...".
QString makeSubject(const QString &name, const QString &fileName);
// The localized body; with `mailInfo` {filename, rdays, filesize, maxcnt,
// filelink} the large-attachment text follows.
QString makeBody(const QString &name, const QVariantMap &mailInfo, const QDate &today);
// "%.2f KB" up to 1,023,999 bytes, "%.2f MB" up to 1,048,575,999, else "%.2f GB".
QString sizeText(qint64 size);

} // namespace parley::PLMailForm
