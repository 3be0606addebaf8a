#include "PGHRecordReader.h"

#include <QDateTime>

namespace pigeonhole {

namespace {

enum class Kind { Text, Integer, Date, Size };

struct Attribute {
    const char *name;
    Kind kind;
};

constexpr Attribute kMemoAttributes[] = {
    {"uuid", Kind::Text},    {"msgType", Kind::Text}, {"unread", Kind::Integer}, {"subject", Kind::Text},
    {"suser", Kind::Text},   {"suserID", Kind::Text}, {"ruser", Kind::Text},     {"ruserID", Kind::Text},
    {"date", Kind::Date},    {"size", Kind::Size},    {"bodyData", Kind::Text},
};

constexpr Attribute kChatAttributes[] = {
    {"chatUser", Kind::Text}, {"chatUserID", Kind::Text}, {"date", Kind::Date},
    {"size", Kind::Size},     {"bodyData", Kind::Text},
};

bool isNumber(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

QVariant convert(Kind kind, const QVariant &value)
{
    switch (kind) {
    case Kind::Text:
        return PGHRecordReader::textOf(value);
    case Kind::Integer: {
        bool ok = false;
        const qint64 number = value.toLongLong(&ok);
        return QVariant::fromValue<qint64>(ok ? number : 0);
    }
    case Kind::Date:
        if (value.metaType().id() == QMetaType::QDateTime && value.toDateTime().isValid())
            return QVariant::fromValue<qint64>(value.toDateTime().toMSecsSinceEpoch());
        return {};
    case Kind::Size:
        if (isNumber(value))
            return value.metaType().id() == QMetaType::Double || value.metaType().id() == QMetaType::Float
                       ? QVariant(value.toDouble())
                       : QVariant::fromValue<qint64>(value.toLongLong());
        if (value.metaType().id() == QMetaType::QString)
            return value;
        return {};
    }
    return {};
}

} // namespace

QVariant PGHColumnValues::value(const QString &column) const
{
    const qsizetype at = columns.indexOf(column);
    return at < 0 ? QVariant() : values.at(at);
}

QString PGHRecordReader::textOf(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(QLatin1Char(','));
    case QMetaType::QVariantList: {
        QStringList parts;
        for (const QVariant &item : value.toList())
            parts << textOf(item);
        return parts.join(QLatin1Char(','));
    }
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QVariantMap:
    case QMetaType::QByteArray:
        return QString(QLatin1String("")); // no text of its own
    default:
        return value.toString();
    }
}

PGHColumnValues PGHRecordReader::read(PGHBox box, const QVariantMap &record)
{
    PGHColumnValues out;
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        const Attribute *found = nullptr;
        if (box == PGHBox::Memo) {
            for (const Attribute &a : kMemoAttributes)
                if (it.key() == QLatin1String(a.name))
                    found = &a;
        } else {
            for (const Attribute &a : kChatAttributes)
                if (it.key() == QLatin1String(a.name))
                    found = &a;
        }
        if (!found) {
            out.refused << it.key();
            continue;
        }
        out.columns << it.key();
        out.values << convert(found->kind, it.value());
    }
    return out;
}

} // namespace pigeonhole
