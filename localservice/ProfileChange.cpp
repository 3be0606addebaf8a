#include "ProfileChange.h"

#include "AccountDirectory.h"

#include <QCryptographicHash>
#include <QUrlQuery>

namespace localservice::profile {

namespace {

// The scrambler's one-byte mask.
constexpr unsigned char kMask = 0x5A;

QString md5Hex(const QString &text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex());
}

const Account *orchardAccount(const AccountDirectory &directory, const QString &id, const QString &scrambled)
{
    const Account *target = directory.account(id);
    if (!target)
        return nullptr;
    const QString password = unscramblePassword(scrambled);
    return !password.isNull() && password == target->password ? target : nullptr;
}

const Account *portalAccount(const AccountDirectory &directory, const QString &id, const QString &digest)
{
    // The client sends the ID without the portal's domain; any account of that
    // name whose password gives the digest is the one.
    for (const Account &candidate : directory.accounts()) {
        const bool named = candidate.id.compare(id, Qt::CaseInsensitive) == 0
            || candidate.id.section(QLatin1Char('@'), 0, 0).compare(id, Qt::CaseInsensitive) == 0;
        if (named && md5Hex(candidate.password.toLower() + id.toLower()) == digest)
            return &candidate;
    }
    return nullptr;
}

} // namespace

QString unscramblePassword(const QString &scrambled)
{
    const QByteArray bytes = QByteArray::fromHex(scrambled.toLatin1());
    if (scrambled.size() != 48 || bytes.size() != 24)
        return {};
    const int length = (static_cast<unsigned char>(bytes[0]) ^ kMask);
    if (length > 23)
        return {};
    QByteArray password;
    for (int i = 1; i <= length; ++i) {
        const auto swapped = static_cast<unsigned char>(bytes[i]);
        const unsigned char c = static_cast<unsigned char>(((swapped << 4) & 0xF0) | ((swapped >> 4) & 0x0F));
        password.append(char(c ^ kMask));
    }
    return QString::fromUtf8(password);
}

QString orchardOpenMode(const Account &account)
{
    return account.profile.value(QStringLiteral("orchard_open_mode"), QStringLiteral("O"));
}

Outcome apply(AccountDirectory &directory, Account &account, const QByteArray &body)
{
    Outcome outcome;
    const QUrlQuery items(QString::fromUtf8(body));
    const auto has = [&items](const char *key) { return items.hasQueryItem(QLatin1String(key)); };
    const auto value = [&items](const char *key) {
        return items.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
    };

    // Links are checked before anything changes, so a refused one changes nothing.
    const Account *orchard = nullptr;
    if (has("orchard_id") && !value("orchard_id").isEmpty()) {
        orchard = orchardAccount(directory, value("orchard_id"), value("orchard_pw"));
        if (!orchard) {
            outcome.error = kLinkRefused;
            return outcome;
        }
    }
    const Account *portal = nullptr;
    if (has("vela_id") && !value("vela_id").isEmpty()) {
        portal = portalAccount(directory, value("vela_id"), value("vela_pw2"));
        if (!portal) {
            outcome.error = kLinkRefused;
            return outcome;
        }
    }

    for (const auto &[key, text] : items.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("orchard_pw") || key == QLatin1String("vela_pw2"))
            continue;
        if (key == QLatin1String("orchard_id")) {
            account.orchardID = orchard ? text : QString();
            account.orchardCMN = orchard ? orchard->cmn : QString();
        } else if (key == QLatin1String("vela_id")) {
            account.velaID = portal ? portal->id : QString();
            account.velaCMN = portal ? portal->cmn : QString();
        } else if (key == QLatin1String("mobile")) {
            account.mobile = text;
        } else if (key == QLatin1String("email")) {
            account.email = text;
        } else {
            account.profile.insert(key, text);
        }
        outcome.changes.append({key, text});
    }
    return outcome;
}

} // namespace localservice::profile
