#include "HeadlessOutput.h"

#include "BuddyManagement/PLGroup.h"

#include <QFileDevice>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace headless {

HeadlessOutput::HeadlessOutput(QIODevice *device) : mDevice(device) {}

QJsonValue HeadlessOutput::toJson(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue(QJsonValue::Null);
    if (value.canConvert<parley::PLGroupPtr>() && value.metaType() == QMetaType::fromType<parley::PLGroupPtr>()) {
        const auto group = value.value<parley::PLGroupPtr>();
        if (!group)
            return QJsonValue(QJsonValue::Null);
        return QJsonObject{{QStringLiteral("groupID"), group->groupID()},
                           {QStringLiteral("groupName"), group->groupName()}};
    }
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double: case QMetaType::Float: return value.toDouble();
    case QMetaType::QByteArray: return QString::fromLatin1(value.toByteArray().toBase64());
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QJsonArray array;
        for (const QVariant &item : value.toList())
            array.append(toJson(item));
        return array;
    }
    case QMetaType::QVariantMap: {
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            object.insert(it.key(), toJson(it.value()));
        return object;
    }
    default: return value.toString();
    }
}

void HeadlessOutput::writeObject(const QJsonObject &object)
{
    mDevice->write(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    // Standard output may be a pipe (a test, a script): each line goes out
    // at once, not when a stdio buffer fills.
    if (auto *file = qobject_cast<QFileDevice *>(mDevice))
        file->flush();
}

void HeadlessOutput::notification(const QString &name, const QVariantMap &userInfo)
{
    writeObject({{QStringLiteral("name"), name}, {QStringLiteral("userInfo"), toJson(userInfo)}});
}

void HeadlessOutput::commandResult(const QString &command, bool sent)
{
    writeObject({{QStringLiteral("command"), command}, {QStringLiteral("sent"), sent}});
}

void HeadlessOutput::error(const QString &text, const QString &line)
{
    writeObject({{QStringLiteral("error"), text}, {QStringLiteral("line"), line}});
}

void HeadlessOutput::buddy(const QVariantMap &record)
{
    writeObject({{QStringLiteral("buddy"), toJson(record)}});
}

void HeadlessOutput::usage(const QString &text)
{
    writeObject({{QStringLiteral("usage"), text}});
}

} // namespace headless
