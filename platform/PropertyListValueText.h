#pragma once

// The text of a property list's simple values (integer, real, date, data)
// turned into values; shared by both property-list readers. Each answers
// nothing for text that is not a value of its kind.

#include <QString>
#include <QVariant>

#include <optional>

namespace parley {

class PropertyListValueText {
public:
    // Decimal or 0x-hexadecimal, with an optional sign, within 64 bits.
    static std::optional<QVariant> integer(const QString &text);
    // Finite numbers, or nan / inf / -inf in any case.
    static std::optional<QVariant> real(const QString &text);
    // yyyy-MM-ddTHH:mm:ssZ, as UTC.
    static std::optional<QVariant> date(const QString &text);
    // Base64, white space ignored.
    static std::optional<QVariant> data(const QString &text);
};

} // namespace parley
