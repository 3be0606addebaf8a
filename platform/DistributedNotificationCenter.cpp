#include "DistributedNotificationCenter.h"

#include "Log.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

namespace parley {

namespace {

bool isValidMember(const QString &name)
{
    static const QRegularExpression member(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,254}$"));
    return member.match(name).hasMatch();
}

QVariant valueToWire(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return QVariant::fromValue<qint64>(value.toDateTime().toMSecsSinceEpoch());
    case QMetaType::QVariantMap:
        return DistributedNotificationCenter::toWire(value.toMap());
    case QMetaType::QVariantList: {
        QVariantList out;
        for (const QVariant &item : value.toList()) {
            const QVariant wire = valueToWire(item);
            if (wire.isValid())
                out.append(wire);
        }
        return out;
    }
    case QMetaType::QString:
    case QMetaType::QStringList:
    case QMetaType::QByteArray:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value;
    default:
        // Only property-list values travel; anything else is the poster's error.
        return {};
    }
}

// A received value as plain Qt values: maps, lists and variants that QtDBus
// hands over still marshalled are opened recursively.
QVariant valueFromWire(const QVariant &value)
{
    if (value.canConvert<QDBusVariant>() && value.metaType() == QMetaType::fromType<QDBusVariant>())
        return valueFromWire(value.value<QDBusVariant>().variant());
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return value;
    const QDBusArgument arg = value.value<QDBusArgument>();
    switch (arg.currentType()) {
    case QDBusArgument::MapType: {
        QVariantMap map;
        arg.beginMap();
        while (!arg.atEnd()) {
            arg.beginMapEntry();
            const QVariant key = valueFromWire(arg.asVariant());
            const QVariant item = valueFromWire(arg.asVariant());
            arg.endMapEntry();
            map.insert(key.toString(), item);
        }
        arg.endMap();
        return map;
    }
    case QDBusArgument::ArrayType: {
        QVariantList list;
        arg.beginArray();
        while (!arg.atEnd())
            list.append(valueFromWire(arg.asVariant()));
        arg.endArray();
        return list;
    }
    case QDBusArgument::VariantType:
        return valueFromWire(arg.asVariant());
    case QDBusArgument::BasicType:
        return arg.asVariant();
    default:
        return {};
    }
}

} // namespace

DistributedNotificationCenter::DistributedNotificationCenter(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , mBus(bus)
{
}

DistributedNotificationCenter::~DistributedNotificationCenter()
{
    for (const QString &name : std::as_const(mSubscribed))
        mBus.disconnect(QString(), QLatin1String(kPath), QLatin1String(kInterface), name, this,
                        SLOT(onSignal(QDBusMessage)));
}

DistributedNotificationCenter &DistributedNotificationCenter::defaultCenter()
{
    static DistributedNotificationCenter center(QDBusConnection::sessionBus());
    return center;
}

DistributedNotificationCenter::Token DistributedNotificationCenter::addObserver(QObject *context, const QString &name,
                                                                                Callback callback)
{
    if (!isValidMember(name) || !callback) {
        plLog(QStringLiteral("distributed notifications: refused observer for \"%1\"").arg(name));
        return 0;
    }
    const Token token = mNextToken++;
    mObservers.push_back({token, name, context, context != nullptr, std::make_shared<Callback>(std::move(callback))});
    if (context)
        connect(context, &QObject::destroyed, this, [this, token] { removeObserver(token); });
    subscribe(name);
    return token;
}

void DistributedNotificationCenter::removeObserver(Token token)
{
    for (auto it = mObservers.begin(); it != mObservers.end(); ++it) {
        if (it->token == token) {
            const QString name = it->name;
            mObservers.erase(it);
            unsubscribeIfUnused(name);
            return;
        }
    }
}

bool DistributedNotificationCenter::post(const QString &name, const QString &object, const QVariantMap &userInfo)
{
    if (!isValidMember(name)) {
        plLog(QStringLiteral("distributed notifications: refused to post \"%1\"").arg(name));
        return false;
    }
    if (!mBus.isConnected())
        return false;
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath), QLatin1String(kInterface), name);
    signal << (object.isNull() ? QString(QLatin1String("")) : object) << QVariant::fromValue(toWire(userInfo));
    return mBus.send(signal);
}

bool DistributedNotificationCenter::registerServiceName(const QString &serviceName, int waitMs)
{
    if (!mBus.isConnected() || !mBus.interface())
        return false;
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        const auto reply = mBus.interface()->registerService(serviceName, QDBusConnectionInterface::DontQueueService,
                                                             QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
}

void DistributedNotificationCenter::unregisterServiceName(const QString &serviceName)
{
    if (mBus.isConnected() && mBus.interface())
        mBus.interface()->unregisterService(serviceName);
}

QStringList DistributedNotificationCenter::dateKeysFor(const QString &name)
{
    if (name == QLatin1String("PLSaveMemoDocument") || name == QLatin1String("PLSaveChatDocument")
        || name == QLatin1String("PLReadMemoDocument") || name == QLatin1String("PLReplyMemoDocument")
        || name == QLatin1String("PLForwardMemoDocument") || name == QLatin1String("PLReplyAllMemoDocument"))
        return {QStringLiteral("date")};
    return {};
}

QVariantMap DistributedNotificationCenter::toWire(const QVariantMap &userInfo)
{
    QVariantMap out;
    for (auto it = userInfo.cbegin(); it != userInfo.cend(); ++it) {
        const QVariant wire = valueToWire(it.value());
        if (wire.isValid())
            out.insert(it.key(), wire);
        else
            plLog(QStringLiteral("distributed notifications: key \"%1\" is not a property-list value; left out").arg(it.key()));
    }
    return out;
}

QVariantMap DistributedNotificationCenter::fromWire(const QString &name, const QVariant &wireUserInfo)
{
    QVariantMap map = valueFromWire(wireUserInfo).toMap();
    for (const QString &key : dateKeysFor(name)) {
        const auto it = map.find(key);
        if (it == map.end())
            continue;
        bool ok = false;
        const qint64 ms = it.value().toLongLong(&ok);
        if (ok && it.value().metaType().id() != QMetaType::QString)
            it.value() = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
        else
            map.erase(it); // a date that is no number is dropped, never guessed
    }
    return map;
}

void DistributedNotificationCenter::onSignal(const QDBusMessage &message)
{
    const QList<QVariant> args = message.arguments();
    if (args.size() != 2 || args.at(0).metaType().id() != QMetaType::QString) {
        plLog(QStringLiteral("distributed notifications: \"%1\" with unexpected arguments (%2); ignored")
                  .arg(message.member(), message.signature()));
        return;
    }
    DistributedNotification note;
    note.name = message.member();
    const QString object = args.at(0).toString();
    note.object = object.isEmpty() ? QString() : object;
    note.userInfo = fromWire(note.name, args.at(1));

    // Callbacks may add or remove observers: call a snapshot, skipping any
    // removed meanwhile.
    std::vector<std::pair<Token, std::shared_ptr<Callback>>> targets;
    for (const Observer &o : mObservers)
        if (o.name == note.name && (!o.hasContext || o.context))
            targets.emplace_back(o.token, o.callback);
    for (const auto &[token, callback] : targets) {
        const bool alive = std::any_of(mObservers.begin(), mObservers.end(),
                                       [token = token](const Observer &o) { return o.token == token; });
        if (!alive)
            continue;
        try {
            (*callback)(note);
        } catch (const std::exception &e) {
            plLogException(QString::fromUtf8(e.what()), __FILE__, __LINE__);
        }
    }
}

void DistributedNotificationCenter::subscribe(const QString &name)
{
    if (mSubscribed.contains(name))
        return;
    if (mBus.connect(QString(), QLatin1String(kPath), QLatin1String(kInterface), name, this,
                     SLOT(onSignal(QDBusMessage))))
        mSubscribed.append(name);
    else
        plLog(QStringLiteral("distributed notifications: could not listen for \"%1\"").arg(name));
}

void DistributedNotificationCenter::unsubscribeIfUnused(const QString &name)
{
    const bool used = std::any_of(mObservers.begin(), mObservers.end(), [&](const Observer &o) { return o.name == name; });
    if (used || !mSubscribed.contains(name))
        return;
    mBus.disconnect(QString(), QLatin1String(kPath), QLatin1String(kInterface), name, this, SLOT(onSignal(QDBusMessage)));
    mSubscribed.removeAll(name);
}

} // namespace parley
