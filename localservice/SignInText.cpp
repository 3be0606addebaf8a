#include "SignInText.h"

#include <QStringDecoder>

namespace localservice {

namespace {

bool isLowerHex(const QString &text)
{
    for (const QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    return true;
}

// The location key's alphabet: digits, then the capitals with G in Z's
// place, then the small letters.
bool isLocationKey(const QString &text)
{
    static const QString alphabet =
        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYGabcdefghijklmnopqrstuvwxyz");
    if (text.size() != 4)
        return false;
    for (const QChar c : text)
        if (!alphabet.contains(c))
            return false;
    return true;
}

} // namespace

std::optional<SignInText> SignInText::read(const QByteArray &bytes, QString *why)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        *why = QStringLiteral("the sign-in text is not clean UTF-8");
        return std::nullopt;
    }
    if (!text.endsWith(QLatin1String("\r\n"))) {
        *why = QStringLiteral("the sign-in text does not end with CR LF");
        return std::nullopt;
    }
    const QStringList lines = text.chopped(2).split(QLatin1String("\r\n"));
    constexpr int kWordsPerLine[] = {4, 7, 1, 4};
    if (lines.size() != 4) {
        *why = QStringLiteral("the sign-in text has %1 lines, not 4").arg(lines.size());
        return std::nullopt;
    }
    QList<QStringList> words;
    for (int i = 0; i < 4; ++i) {
        if (lines[i].contains(QLatin1Char('\r')) || lines[i].contains(QLatin1Char('\n'))
            || lines[i].contains(QLatin1Char('\t'))) {
            *why = QStringLiteral("line %1 of the sign-in text holds a CR, LF or TAB").arg(i + 1);
            return std::nullopt;
        }
        const QStringList w = lines[i].split(QLatin1Char(' '));
        if (w.size() != kWordsPerLine[i]) {
            *why = QStringLiteral("line %1 of the sign-in text has %2 words, not %3")
                       .arg(i + 1)
                       .arg(w.size())
                       .arg(kWordsPerLine[i]);
            return std::nullopt;
        }
        for (qsizetype j = 0; j < w.size(); ++j)
            if (w[j].isEmpty()) {
                *why = QStringLiteral("word %1 of line %2 of the sign-in text is empty").arg(j + 1).arg(i + 1);
                return std::nullopt;
            }
        words.append(w);
    }
    SignInText result;
    result.password = words[0][0];
    result.passwordType = words[0][1];
    result.locKey = words[0][3];
    result.clientVersion = words[1][1];
    result.languageOS = words[1][0];
    result.computerName = words[1][5];
    result.pcid = words[2][0];
    if (result.pcid.size() != 32 || !isLowerHex(result.pcid)) {
        *why = QStringLiteral("the PC ID \"%1\" is not 32 lower-case hex digits").arg(result.pcid);
        return std::nullopt;
    }
    if (!isLocationKey(result.locKey)) {
        *why = QStringLiteral("the location key \"%1\" is not 4 characters of its alphabet").arg(result.locKey);
        return std::nullopt;
    }
    return result;
}

} // namespace localservice
