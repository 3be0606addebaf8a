#include "AccountStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace localservice {

namespace {

// Reads a JSON data file strictly: unknown keys and wrong types are errors, so
// a typo in a test fixture shows up at once instead of as a puzzling sign-in.
class Reader {
public:
    QString error;

    bool fail(const QString &where, const QString &what)
    {
        if (error.isEmpty())
            error = where.isEmpty() ? what : where + QLatin1String(": ") + what;
        return false;
    }

    bool onlyKeys(const QJsonObject &o, const QString &where, const QStringList &allowed)
    {
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!allowed.contains(it.key()))
                return fail(where, QStringLiteral("unknown key \"%1\"").arg(it.key()));
        return true;
    }

    bool text(const QJsonObject &o, const QString &where, const QString &key, QString *out,
              std::optional<QString> fallback = std::nullopt)
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            if (!fallback)
                return fail(where, QStringLiteral("\"%1\" is missing").arg(key));
            *out = *fallback;
            return true;
        }
        if (!v.isString())
            return fail(where, QStringLiteral("\"%1\" must be a string").arg(key));
        *out = v.toString();
        if (!fallback && out->isEmpty())
            return fail(where, QStringLiteral("\"%1\" must not be empty").arg(key));
        return true;
    }

    bool number(const QJsonObject &o, const QString &where, const QString &key, int *out,
                int fallback)
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            *out = fallback;
            return true;
        }
        const double d = v.toDouble(-1);
        if (!v.isDouble() || d < 0 || d > 2147483647 || d != static_cast<int>(d))
            return fail(where, QStringLiteral("\"%1\" must be a whole number from 0 to 2147483647")
                                   .arg(key));
        *out = static_cast<int>(d);
        return true;
    }

    bool array(const QJsonObject &o, const QString &where, const QString &key, QJsonArray *out)
    {
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            *out = {};
            return true;
        }
        if (!v.isArray())
            return fail(where, QStringLiteral("\"%1\" must be an array").arg(key));
        *out = v.toArray();
        return true;
    }
};

bool readGroups(Reader &r, const QJsonArray &items, const QString &where, QList<Group> *groups)
{
    QSet<QString> ids;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString at = QStringLiteral("%1.groups[%2]").arg(where).arg(i);
        if (!items[i].isObject())
            return r.fail(at, QStringLiteral("must be an object"));
        const QJsonObject o = items[i].toObject();
        Group g;
        if (!r.onlyKeys(o, at, {QStringLiteral("id"), QStringLiteral("name"),
                                 QStringLiteral("parent")})
            || !r.text(o, at, QStringLiteral("id"), &g.id)
            || !r.text(o, at, QStringLiteral("name"), &g.name)
            || !r.text(o, at, QStringLiteral("parent"), &g.parentID, QStringLiteral("0")))
            return false;
        if (ids.contains(g.id))
            return r.fail(at, QStringLiteral("group \"%1\" is listed twice").arg(g.id));
        ids.insert(g.id);
        groups->append(g);
    }
    for (qsizetype i = 0; i < groups->size(); ++i) {
        const Group &g = groups->at(i);
        if (g.parentID != QLatin1String("0") && !ids.contains(g.parentID))
            return r.fail(QStringLiteral("%1.groups[%2]").arg(where).arg(i),
                          QStringLiteral("parent group \"%1\" does not exist").arg(g.parentID));
    }
    return true;
}

bool readBuddies(Reader &r, const QJsonArray &items, const QString &where, Account *account)
{
    QSet<QString> groupIDs;
    for (const Group &g : account->groups)
        groupIDs.insert(g.id);
    QSet<QString> seen;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString at = QStringLiteral("%1.buddies[%2]").arg(where).arg(i);
        if (!items[i].isObject())
            return r.fail(at, QStringLiteral("must be an object"));
        const QJsonObject o = items[i].toObject();
        Buddy b;
        QJsonArray groups;
        if (!r.onlyKeys(o, at, {QStringLiteral("id"), QStringLiteral("flags"),
                                 QStringLiteral("groups")})
            || !r.text(o, at, QStringLiteral("id"), &b.id)
            || !r.text(o, at, QStringLiteral("flags"), &b.flags, QStringLiteral("1100"))
            || !r.array(o, at, QStringLiteral("groups"), &groups))
            return false;
        static const QRegularExpression fourBits(QStringLiteral("^[01]{4}$"));
        if (!fourBits.match(b.flags).hasMatch())
            return r.fail(at, QStringLiteral("\"flags\" must be four digits 0 or 1 (FL AL BL RL)"));
        if (b.id == account->id)
            return r.fail(at, QStringLiteral("an account cannot list itself"));
        if (seen.contains(b.id))
            return r.fail(at, QStringLiteral("buddy \"%1\" is listed twice").arg(b.id));
        seen.insert(b.id);
        if (!groups.isEmpty() && b.flags[0] != QLatin1Char('1'))
            return r.fail(at, QStringLiteral("only a buddy on the user's own list (FL) is filed "
                                             "in groups"));
        for (const QJsonValue &g : groups) {
            if (!g.isString() || !groupIDs.contains(g.toString()))
                return r.fail(at, QStringLiteral("\"groups\" must name groups of the account"));
            b.groupIDs.append(g.toString());
        }
        account->buddies.append(b);
    }
    return true;
}

bool readAccount(Reader &r, const QJsonValue &value, const QString &at, Account *a)
{
    if (!value.isObject())
        return r.fail(at, QStringLiteral("must be an object"));
    const QJsonObject o = value.toObject();
    const QString empty;
    if (!r.onlyKeys(o, at,
                    {QStringLiteral("id"), QStringLiteral("password"), QStringLiteral("cmn"),
                     QStringLiteral("name"), QStringLiteral("nickName"), QStringLiteral("authYN"),
                     QStringLiteral("loginType"), QStringLiteral("dpKey"), QStringLiteral("area"),
                     QStringLiteral("velaID"), QStringLiteral("velaCMN"),
                     QStringLiteral("orchardID"), QStringLiteral("orchardCMN"),
                     QStringLiteral("mobile"), QStringLiteral("email"), QStringLiteral("birthday"),
                     QStringLiteral("birthdayTPCD"), QStringLiteral("mimid"),
                     QStringLiteral("musicDate"), QStringLiteral("ucYN"), QStringLiteral("ewerYN"),
                     QStringLiteral("token"), QStringLiteral("ticket"), QStringLiteral("otp"),
                     QStringLiteral("groupCache"), QStringLiteral("groups"),
                     QStringLiteral("buddies"), QStringLiteral("loginKeys")}))
        return false;
    if (!r.text(o, at, QStringLiteral("id"), &a->id)
        || !r.text(o, at, QStringLiteral("password"), &a->password)
        || !r.text(o, at, QStringLiteral("cmn"), &a->cmn)
        || !r.text(o, at, QStringLiteral("name"), &a->name))
        return false;
    const struct {
        const char *key;
        QString *field;
        QString fallback;
    } optional[] = {
        {"nickName", &a->nickName, a->name},  {"authYN", &a->authYN, QStringLiteral("Y")},
        {"loginType", &a->loginType, QStringLiteral("1")}, {"dpKey", &a->dpKey, empty},
        {"area", &a->area, empty},            {"velaID", &a->velaID, a->id},
        {"velaCMN", &a->velaCMN, a->cmn},     {"orchardID", &a->orchardID, empty},
        {"orchardCMN", &a->orchardCMN, empty}, {"mobile", &a->mobile, empty},
        {"email", &a->email, empty},          {"birthday", &a->birthday, empty},
        {"birthdayTPCD", &a->birthdayTPCD, empty}, {"mimid", &a->mimid, empty},
        {"musicDate", &a->musicDate, empty},  {"ucYN", &a->ucYN, QStringLiteral("N")},
        {"ewerYN", &a->ewerYN, QStringLiteral("N")}, {"token", &a->token, empty},
        {"ticket", &a->ticket, empty},        {"otp", &a->otp, empty},
    };
    for (const auto &f : optional)
        if (!r.text(o, at, QLatin1String(f.key), f.field, f.fallback))
            return false;
    QJsonArray groups;
    QJsonArray buddies;
    QJsonArray loginKeys;
    if (!r.array(o, at, QStringLiteral("loginKeys"), &loginKeys))
        return false;
    for (const QJsonValue &key : std::as_const(loginKeys)) {
        if (!key.isString() || key.toString().isEmpty() || key.toString().contains(QLatin1Char(' '))
            || a->loginKeys.contains(key.toString()))
            return r.fail(at, QStringLiteral("\"loginKeys\" must be distinct words"));
        a->loginKeys.append(key.toString());
    }
    return r.number(o, at, QStringLiteral("groupCache"), &a->groupCache, 1)
        && r.array(o, at, QStringLiteral("groups"), &groups)
        && r.array(o, at, QStringLiteral("buddies"), &buddies)
        && readGroups(r, groups, at, &a->groups) && readBuddies(r, buddies, at, a);
}

} // namespace

std::optional<AccountStore> AccountStore::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    Reader r;
    AccountStore store;
    const auto failed = [&]() -> std::optional<AccountStore> {
        if (error)
            *error = r.error;
        return std::nullopt;
    };
    if (doc.isNull()) {
        r.fail({}, QStringLiteral("not valid JSON at byte %1: %2")
                       .arg(parseError.offset)
                       .arg(parseError.errorString()));
        return failed();
    }
    if (!doc.isObject()) {
        r.fail({}, QStringLiteral("the top level must be an object"));
        return failed();
    }
    const QJsonObject top = doc.object();
    if (!r.onlyKeys(top, {}, {QStringLiteral("configuration"), QStringLiteral("accounts")}))
        return failed();

    const QJsonValue conf = top.value(QStringLiteral("configuration"));
    if (!conf.isUndefined()) {
        const QString at = QStringLiteral("configuration");
        if (!conf.isObject()) {
            r.fail(at, QStringLiteral("must be an object"));
            return failed();
        }
        const QJsonObject c = conf.toObject();
        if (!r.onlyKeys(c, at, {QStringLiteral("version"), QStringLiteral("values")})
            || !r.number(c, at, QStringLiteral("version"), &store.mConfVersion, 1))
            return failed();
        const QJsonValue values = c.value(QStringLiteral("values"));
        if (!values.isUndefined() && !values.isObject()) {
            r.fail(at, QStringLiteral("\"values\" must be an object"));
            return failed();
        }
        const QJsonObject v = values.toObject();
        for (auto it = v.begin(); it != v.end(); ++it) {
            const QString key = it.key();
            // Each pair travels as one "key=value" line.
            if (!it.value().isString() || key.isEmpty() || key.contains(QLatin1Char('='))
                || key.contains(QLatin1Char('\r')) || key.contains(QLatin1Char('\n'))
                || it.value().toString().contains(QLatin1Char('\r'))
                || it.value().toString().contains(QLatin1Char('\n'))) {
                r.fail(at + QLatin1String(".values"),
                       QStringLiteral("\"%1\" must be a one-line string under a key without \"=\"")
                           .arg(key));
                return failed();
            }
            store.mConf.insert(key, it.value().toString());
        }
    }

    const QJsonValue accounts = top.value(QStringLiteral("accounts"));
    if (!accounts.isArray()) {
        r.fail({}, QStringLiteral("\"accounts\" must be an array"));
        return failed();
    }
    const QJsonArray list = accounts.toArray();
    QSet<QString> ids;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString at = QStringLiteral("accounts[%1]").arg(i);
        Account a;
        if (!readAccount(r, list[i], at, &a))
            return failed();
        if (ids.contains(a.id)) {
            r.fail(at, QStringLiteral("account \"%1\" is listed twice").arg(a.id));
            return failed();
        }
        ids.insert(a.id);
        store.mAccounts.append(a);
    }
    for (qsizetype i = 0; i < store.mAccounts.size(); ++i)
        for (qsizetype j = 0; j < store.mAccounts[i].buddies.size(); ++j)
            if (!ids.contains(store.mAccounts[i].buddies[j].id)) {
                r.fail(QStringLiteral("accounts[%1].buddies[%2]").arg(i).arg(j),
                       QStringLiteral("\"%1\" is not an account of the file")
                           .arg(store.mAccounts[i].buddies[j].id));
                return failed();
            }
    return store;
}

std::optional<AccountStore> AccountStore::fromFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // Data files are small; anything this large is not one.
    constexpr qint64 kMaxFile = 16 * 1024 * 1024;
    if (file.size() > kMaxFile) {
        if (error)
            *error = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(kMaxFile);
        return std::nullopt;
    }
    QString inner;
    auto store = fromJson(file.readAll(), &inner);
    if (!store && error)
        *error = QStringLiteral("%1: %2").arg(path, inner);
    return store;
}

AccountStore AccountStore::demo()
{
    static const char kDemo[] = R"({
  "configuration": {
    "version": 1,
    "values": {
      "get_profile_url": "http://127.0.0.1/profile",
      "memo_ipml": "http://127.0.0.1/memo/box.jsp"
    }
  },
  "accounts": [
    {
      "id": "alice@parley.test", "password": "alice-pw", "cmn": "100001",
      "name": "Alice Kim", "nickName": "Ally", "mobile": "010-1111-0001",
      "email": "alice@parley.test", "token": "token-alice", "ticket": "ticket-alice",
      "orchardID": "alice.orchard", "orchardCMN": "900001",
      "groupCache": 3,
      "groups": [{"id": "1", "name": "Friends"}, {"id": "2", "name": "Work"}],
      "buddies": [
        {"id": "bob@parley.test", "flags": "1101", "groups": ["1"]},
        {"id": "carol@parley.test", "flags": "1100", "groups": ["2"]}
      ]
    },
    {
      "id": "bob@parley.test", "password": "bob-pw", "cmn": "100002",
      "name": "Bob Lee", "nickName": "Bobby", "token": "token-bob", "ticket": "ticket-bob",
      "groupCache": 1,
      "groups": [{"id": "1", "name": "Friends"}],
      "buddies": [{"id": "alice@parley.test", "flags": "1101", "groups": ["1"]}]
    },
    {
      "id": "carol@parley.test", "password": "carol-pw", "cmn": "100003",
      "name": "Carol Park", "token": "token-carol", "ticket": "ticket-carol"
    }
  ]
})";
    QString error;
    auto store = fromJson(QByteArray(kDemo), &error);
    Q_ASSERT_X(store, "AccountStore::demo", qPrintable(error));
    return store ? *store : AccountStore();
}

const Account *AccountStore::account(const QString &id) const
{
    for (const Account &a : mAccounts)
        if (a.id == id)
            return &a;
    return nullptr;
}

QByteArray AccountStore::confBody() const
{
    QByteArray body;
    for (auto it = mConf.begin(); it != mConf.end(); ++it)
        body += (it.key() + QLatin1Char('=') + it.value() + QLatin1String("\r\n")).toUtf8();
    return body;
}

bool AccountStore::setDefaultConfValue(const QString &key, const QString &value)
{
    if (mConf.contains(key))
        return false;
    mConf.insert(key, value);
    return true;
}

} // namespace localservice
