#include "KCUtilities.h"

#include "KCDownloadFolder.h"
#include "Log.h"
#include "PLEndpoints.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QMutexLocker>

namespace parley {

namespace {

using StringTable = QHash<QString, QString>;

StringTable loadTable(const QString &language)
{
    StringTable table;
    QFile file(QStringLiteral(":/parley/strings/%1.json").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return table;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        table.insert(it.key(), it.value().toString());
    return table;
}

// The tables are resources of the program and never change while it runs.
// Answered by value: another thread's insertion may move the stored ones.
StringTable tableForLanguage(const QString &language)
{
    static QMutex mutex;
    static QHash<QString, StringTable> tables;
    QMutexLocker lock(&mutex);
    auto found = tables.find(language);
    if (found == tables.end()) {
        StringTable table = loadTable(language);
        if (table.isEmpty() && language != QLatin1String("en"))
            table = loadTable(QStringLiteral("en"));
        found = tables.insert(language, table);
    }
    return found.value();
}

} // namespace

QString KCCurrentLanguage()
{
    const QStringList languages = UserDefaults::standardUserDefaults().objectForKey(QLatin1String(kAppleLanguagesKey)).toStringList();
    if (languages.isEmpty() || languages.first().isEmpty())
        return QStringLiteral("ko");
    return languages.first();
}

void KCRegisterInterfaceLanguage()
{
    UserDefaults::standardUserDefaults().registerDefaults(
        {{QLatin1String(kAppleLanguagesKey), QStringList{QStringLiteral("ko")}}});
}

QString KCLocalizedString(const QString &key)
{
    return tableForLanguage(KCCurrentLanguage()).value(key, key);
}

int codeType(char16_t unit)
{
    if (unit >= u'0' && unit <= u'9')
        return 1;
    if ((unit >= 0x1100 && unit <= 0x11FF) || (unit >= 0xAC00 && unit <= 0xD7AF))
        return 2;
    if ((unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z'))
        return 3;
    return 0;
}

int isCodeBigger(char16_t a, char16_t b)
{
    const int classA = codeType(a);
    const int classB = codeType(b);
    if (classA != classB)
        return classA > classB ? 1 : -1;
    return a == b ? 0 : (a > b ? 1 : -1);
}

int KCStringCompare(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int r = isCodeBigger(a.at(i).unicode(), b.at(i).unicode());
        if (r != 0)
            return r;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QString fileSizeStringWithBytes(qint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QLatin1String("Bytes");
    return QString::number(bytes >> 10) + QLatin1String("KB");
}

QStringList KCDefaultMobile()
{
    return {QStringLiteral("010"), QStringLiteral("011"), QStringLiteral("016"),
            QStringLiteral("017"), QStringLiteral("018"), QStringLiteral("019")};
}

std::optional<QStringList> KCDefaultCurrentDomain()
{
    const QVariant stored = UserDefaults::standardUserDefaults().objectForKey(QLatin1String(kDefaultDomainsKey));
    if (!stored.isValid())
        return std::nullopt;
    return stored.toStringList();
}

QStringList KCDefaultBuddySearchType()
{
    return {KCLocalizedString(QStringLiteral("Mobile")), KCLocalizedString(QStringLiteral("ID")),
            KCLocalizedString(QStringLiteral("Name"))};
}

QStringList KCDefaultStatus()
{
    QStringList labels;
    for (const char *key : {"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"})
        labels << KCLocalizedString(QLatin1String(key));
    return labels;
}

// The login mail domains are the deployment's, from the endpoints
// configuration: the portal's own first, its family's three, then the rest.
QStringList KCDefaultDomain()
{
    const PLEndpoints endpoints = PLEndpoints::current();
    QStringList domains{endpoints.portalDomain};
    domains << endpoints.portalMailDomains << endpoints.loginMailDomains;
    domains << KCLocalizedString(QStringLiteral("Others"));
    return domains;
}

bool KCIsVelaDomain(const QString &domain)
{
    const PLEndpoints endpoints = PLEndpoints::current();
    return domain == endpoints.portalDomain || endpoints.portalMailDomains.contains(domain);
}

bool KCIsVelaID(const QString &accountID)
{
    if (accountID.isNull())
        return true;
    const QStringList parts = accountID.split(QLatin1Char('@'));
    if (parts.size() != 2)
        return false;
    return KCIsVelaDomain(parts.at(1));
}

bool KCCheckSystemVersion()
{
    return true;
}

QVariantMap KCDefaultUserPreferences()
{
    return {
        {QStringLiteral("showEmoticon"), true},
        {QStringLiteral("destinationPath"), KCDefaultDownloadFolder()},
        {QStringLiteral("checkAway"), true},
        {QStringLiteral("awayTimeInterval"), 10},
        {QStringLiteral("showAlertWhenConnection"), true},
        {QStringLiteral("showMessage"), true},
        {QStringLiteral("showBounce"), true},
        {QStringLiteral("showMemoIndex"), 1},
        {QStringLiteral("showMail"), true},
        {QStringLiteral("useSound"), true},
        {QStringLiteral("useAllSound"), false},
        {QStringLiteral("soundForBuddy"), true},
        {QStringLiteral("soundForMemo"), true},
        {QStringLiteral("soundForFileTransfer"), true},
        {QStringLiteral("soundForLogin"), true},
        {QStringLiteral("soundForMessage"), true},
        {QStringLiteral("soundForMiniNook"), true},
        {QStringLiteral("showAwayMsg"), false},
        {QStringLiteral("showBusyMsg"), false},
        {QStringLiteral("mAwayMessage"), QString(QLatin1String(""))},
        {QStringLiteral("saveDialogIndex"), 1},
        {QStringLiteral("PrivacyCheckBuddy"), true},
        {QStringLiteral("PrivacyAllowNote"), true},
        {QStringLiteral("PrivacyEncrypt"), true},
        {QStringLiteral("OrchardAlarm"), 0},
    };
}

} // namespace parley
