#pragma once

// What a CPRF body changes on an account: the links to the other service's
// account and the options of the account's server profile.
//
//   orchard_id=ID&orchard_pw=SCRAMBLED   link the sister-service account ID
//                                        (an account of the store, whose
//                                        password the scrambled one must be)
//   orchard_id=                          remove that link
//   vela_id=ID&vela_pw2=DIGEST           link the portal account ID (an
//                                        account named ID or ID@domain; the
//                                        digest is the MD5 of its lower-cased
//                                        password and the lower-cased ID)
//   vela_id=                             remove that link
//   any other key=value                  a profile option, kept as given
//
// A link whose account is unknown or whose password is wrong changes
// nothing and is refused with 309.

#include "AccountStore.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace localservice {

class AccountDirectory;

namespace profile {

constexpr int kLinkRefused = 309;

struct Outcome {
    int error = 0;                              // 0, or the error answered
    QList<QPair<QString, QString>> changes;     // what the other logins hear (no passwords)
};

Outcome apply(AccountDirectory &directory, Account &account, const QByteArray &body);

// The client's password scrambler undone: 48 hex digits to the password;
// a null string for text that is not one.
QString unscramblePassword(const QString &scrambled);

// The open mode sent with the account's sister-service number.
QString orchardOpenMode(const Account &account);

} // namespace profile
} // namespace localservice
