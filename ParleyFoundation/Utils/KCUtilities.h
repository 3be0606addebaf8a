#pragma once

// Utility functions of the shell that the core and the windows share: texts
// of the interface language, the display-name collation, size labels, the
// fixed default lists and the portal-ID test.

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

namespace parley {

// The user default holding the interface languages, first entry first.
inline constexpr char kAppleLanguagesKey[] = "AppleLanguages";
// The global user default holding the login mail domains.
inline constexpr char kDefaultDomainsKey[] = "DefaultDomains";

// The interface language: the first entry of the language preference, "ko"
// when the user chose none. The one setting for string tables, the emoticon
// catalogue and the shell's currentLang.
QString KCCurrentLanguage();
// Registers ["ko"] as the language preference's default (never written to the
// file), so that every reader of the key sees the interface language even
// before the user chose one. Both applications call it at start-up.
void KCRegisterInterfaceLanguage();
// The text of the key in the interface language's table; the key itself when
// the table has no entry. Languages without a table of their own use English.
QString KCLocalizedString(const QString &key);

// The class of one UTF-16 unit: 0 other, 1 digits, 2 Hangul, 3 ASCII letters.
int codeType(char16_t unit);
// 1 when a sorts after b, 0 when equal, -1 when before.
int isCodeBigger(char16_t a, char16_t b);
// -1, 0 or 1: unit by unit by class, then by code; a prefix sorts first.
int KCStringCompare(const QString &a, const QString &b);

// "<n>Bytes" below 1024, else whole kilobytes "<n>KB".
QString fileSizeStringWithBytes(qint64 bytes);

// The six mobile prefixes.
QStringList KCDefaultMobile();
// The login mail domains saved in the user defaults; none when absent.
std::optional<QStringList> KCDefaultCurrentDomain();
// The search types "Mobile", "ID", "Name", localized.
QStringList KCDefaultBuddySearchType();
// The status menu's labels, localized, in menu order.
QStringList KCDefaultStatus();
// Twelve login domains: the portal's four, the sister service's, six other
// providers' and the localized "Others".
QStringList KCDefaultDomain();
// Whether the domain is one of the portal's own four mail domains.
bool KCIsVelaDomain(const QString &domain);
// Whether the ID's domain is the portal's; a null ID counts as the portal's.
bool KCIsVelaID(const QString &accountID);

// The platform check of the original client; every supported system passes.
bool KCCheckSystemVersion();

// A new dictionary of a new account's preferences.
QVariantMap KCDefaultUserPreferences();

} // namespace parley
