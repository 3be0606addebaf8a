#include "PropertyListValueText.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <limits>

namespace parley {

std::optional<QVariant> PropertyListValueText::integer(const QString &text)
{
    bool ok = false;
    qint64 number = 0;
    QStringView digits(text);
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.front() == QLatin1Char('-');
        digits = digits.mid(1);
    }
    const bool hex = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if (hex)
        digits = digits.mid(2);
    // Digits only: no inner sign, space or group separator.
    const bool wellFormed = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [hex](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (hex && ((c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('F'))));
    });
    if (wellFormed) {
        const quint64 magnitude = digits.toULongLong(&ok, hex ? 16 : 10);
        constexpr quint64 kMax = quint64(std::numeric_limits<qint64>::max());
        if (ok && !negative && magnitude > kMax)
            ok = false;
        else if (ok && negative && magnitude > kMax + 1)
            ok = false;
        else if (ok)
            number = negative ? qint64(0 - magnitude) : qint64(magnitude);
    }
    if (!ok)
        return std::nullopt;
    return QVariant(qlonglong(number));
}

std::optional<QVariant> PropertyListValueText::real(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == QLatin1String("nan"))
        return QVariant(std::numeric_limits<double>::quiet_NaN());
    if (lower == QLatin1String("inf") || lower == QLatin1String("+inf") || lower == QLatin1String("infinity") ||
        lower == QLatin1String("+infinity"))
        return QVariant(std::numeric_limits<double>::infinity());
    if (lower == QLatin1String("-inf") || lower == QLatin1String("-infinity"))
        return QVariant(-std::numeric_limits<double>::infinity());
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return QVariant(number);
}

std::optional<QVariant> PropertyListValueText::date(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})Z$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
        if (date.isValid() && time.isValid())
            return QVariant(QDateTime(date, time, Qt::UTC));
    }
    return std::nullopt;
}

std::optional<QVariant> PropertyListValueText::data(const QString &text)
{
    QByteArray base64;
    base64.reserve(text.size());
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        if (c.unicode() > 0x7f)
            return std::nullopt;
        base64.append(char(c.unicode()));
    }
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return QVariant(*decoded);
}

} // namespace parley
