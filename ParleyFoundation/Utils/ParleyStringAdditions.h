#pragma once

// Text helpers shared by the packets, the sessions and the services.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringConverter>
#include <QStringView>

namespace parley {

// Field escaping of the wire protocol: "%" first, then space, CR, LF and TAB.
QString stringByParleyEncoding(const QString &text);
// The same appended to `out` (a line being built), without a string of its own.
void appendParleyEncoded(QString &out, QStringView text);
// The exact inverse of stringByParleyEncoding; "%00" becomes nothing and an
// unknown "%" sequence is left as it stands. The escapes are undone in this
// order, each over the whole text: "%20", "%0D", "%0A", "%00", "%09", "%25".
QString stringByParleyDecoding(const QString &wire);
// The same for a piece of a line; a null view gives a null string.
QString stringByParleyDecoding(QStringView wire);

// The text without leading and trailing spaces and tabs; a CR or LF stays.
QString trimSpacesAndTabs(const QString &text);

// The leading integer of a text: optional white space, an optional sign and
// decimal digits; 0 when there are none; saturated at the 32-bit limits.
qint32 plIntValue(QStringView text);

// MD5 of the UTF-8 bytes as 32 lower-case hex digits.
QString md5String(const QString &text);
// The PC identifier derived from a text: 32 lower-case hex digits.
QString PCIDString(const QString &text);
// Base64 of the UTF-8 bytes, with a line feed after every 54 input bytes.
QString base64Encode(const QString &text);
// The password scrambler: 48 lower-case hex digits; a null string for a
// password of more than 23 UTF-8 bytes, which the scrambler has no room for.
QString tkEncode3A(const QString &password);
// The scrambler's mask byte; whatever unscrambles must use the same one.
inline constexpr unsigned char kTkEncodeMask = 0x5A;
// Percent escaping for URLs: everything but letters, digits and "-._~".
QString urlEncode(const QString &text);
// The text as HTML text or attribute value: "&", "<", ">", '"' and "'"
// become entities, so it can stand in either quote.
QString escapedHTML(QStringView text);
// Bytes read as a NUL-terminated string in an encoding (text after a zero byte
// is lost); a null string when the bytes are not valid in that encoding.
QString stringWithData(const QByteArray &bytes, QStringConverter::Encoding encoding);
QString stringWithData(QByteArrayView bytes, QStringConverter::Encoding encoding);
// stringWithData(bytes, encoding) stored in `into`: plain ASCII is widened
// into into's own buffer when into is that buffer's only owner, so that a
// reader of many lines allocates once rather than once per line.
void stringWithDataInto(QByteArrayView bytes, QStringConverter::Encoding encoding, QString &into);

} // namespace parley
