#include "OwnStatusTable.h"

#include "Utils/KCUtilities.h"

#include <array>

namespace parley::shell {

namespace {

const std::array<OwnStatus, 9> &entries()
{
    static const std::array<OwnStatus, 9> table{{
        {QStringLiteral("Online"), QStringLiteral("32x32_normal"), QStringLiteral("16x16_normal"), 1},
        {QStringLiteral("Away"), QStringLiteral("32x32_other"), QStringLiteral("16x16_other"), 3},
        {QStringLiteral("Busy"), QStringLiteral("32x32_busy"), QStringLiteral("16x16_busy"), 2},
        {QStringLiteral("OnThePhone"), QStringLiteral("32x32_busy"), QStringLiteral("16x16_busy"), 4},
        {QStringLiteral("OnThemeeting"), QStringLiteral("32x32_other"), QStringLiteral("16x16_other"), 5},
        {QStringLiteral("AppearOffline"), QStringLiteral("32x32_offline"), QStringLiteral("16x16_offline"), 0},
        {QStringLiteral("SetMyNickName"), {}, {}, -1},
        {QStringLiteral("ShowMyProfile"), {}, {}, -1},
        {QStringLiteral("SetMyProfile"), {}, {}, -1},
    }};
    return table;
}

} // namespace

const QStringList &OwnStatusTable::statusKeys()
{
    static const QStringList keys{"Online", "Away", "Busy", "OnThePhone", "OnThemeeting", "AppearOffline"};
    return keys;
}

const QStringList &OwnStatusTable::commandKeys()
{
    static const QStringList keys{"SetMyNickName", "ShowMyProfile", "SetMyProfile"};
    return keys;
}

std::optional<OwnStatus> OwnStatusTable::entryForTitle(const QString &title)
{
    for (const OwnStatus &entry : entries()) {
        if (KCLocalizedString(entry.key) == title)
            return entry;
    }
    return std::nullopt;
}

std::optional<OwnStatus> OwnStatusTable::entryForKey(const QString &key)
{
    for (const OwnStatus &entry : entries()) {
        if (entry.key == key)
            return entry;
    }
    return std::nullopt;
}

int OwnStatusTable::codeForTitle(const QString &title, bool pickedByUser)
{
    const std::optional<OwnStatus> entry = entryForTitle(title);
    if (!entry)
        return -1;
    if (entry->key == QLatin1String("Away") && !pickedByUser)
        return kIdleAwayCode;
    return entry->code;
}

QString OwnStatusTable::keyForServerCode(int code)
{
    static const char *const keys[] = {"AppearOffline", "Online", "Busy", "Away", "OnThePhone", "OnThemeeting"};
    return code >= 0 && code <= 5 ? QLatin1String(keys[code]) : QString();
}

bool OwnStatusTable::isCommandTitle(const QString &title)
{
    const std::optional<OwnStatus> entry = entryForTitle(title);
    return entry && entry->code < 0;
}

} // namespace parley::shell
