#pragma once

// The accounts the service knows, with their groups and buddies, read from a
// JSON data file (or the small demo set built in).

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace localservice {

struct Group {
    QString id;
    QString name;
    QString parentID; // "0" at the top
};

struct Buddy {
    QString id;                // account ID of the buddy (an account of the store)
    QString flags;             // four digits "FL AL BL RL", e.g. "1100"
    QStringList groupIDs;      // the groups the buddy is filed in
};

struct Account {
    QString id; // login ID
    QString password;
    QString cmn;
    QString name;
    QString nickName;
    QString authYN;
    QString loginType;
    QString dpKey;
    QString area;
    QString velaID;
    QString velaCMN;
    QString orchardID;
    QString orchardCMN;
    QString mobile;
    QString email;
    QString birthday;
    QString birthdayTPCD;
    QString mimid;
    QString musicDate;
    QString ucYN;
    QString ewerYN;
    QString token;
    QString ticket;
    // The session keys of the account's logins in sign-in order (the first
    // login takes dpKey when none is listed; later ones "<cmn>-<n>").
    QStringList loginKeys;
    // A one-time password the account also needs after its password (none when empty).
    QString otp;
    int groupCache = 1;
    // The account's server profile (options set with CPRF); kept in memory only.
    QMap<QString, QString> profile;
    QList<Group> groups;
    QList<Buddy> buddies;
};

class AccountStore {
public:
    // Parses a data file's contents; on failure answers nothing and sets
    // `error` to a text naming the place of the fault.
    static std::optional<AccountStore> fromJson(const QByteArray &json, QString *error);
    static std::optional<AccountStore> fromFile(const QString &path, QString *error);
    // Two accounts who list each other, two groups, a configuration.
    static AccountStore demo();

    const Account *account(const QString &id) const;
    const QList<Account> &accounts() const { return mAccounts; }
    int confVersion() const { return mConfVersion; }
    // The configuration as key=value lines, each ended by CR LF, keys sorted.
    QByteArray confBody() const;
    // Sets a configuration value unless the data gave one (addresses known
    // only once the servers listen); answers whether it was set.
    bool setDefaultConfValue(const QString &key, const QString &value);
    // Raises the configuration's version to at least `version`.
    void raiseConfVersion(int version) { mConfVersion = std::max(mConfVersion, version); }

private:
    QList<Account> mAccounts;
    int mConfVersion = 1;
    QMap<QString, QString> mConf;
};

} // namespace localservice
