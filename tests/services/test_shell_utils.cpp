#include "UserDefaults.h"
#include "Utils/KCDownloadFolder.h"
#include "Utils/KCMachineIdentity.h"
#include "Utils/KCShellHooks.h"
#include "Utils/KCSounds.h"
#include "Utils/KCUtilities.h"
#include "Utils/PLEndpoints.h"
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace parley;

namespace {

// Points the user defaults at a fresh file for each test.
class ShellUtilsTest : public ::testing::Test
{
protected:
    void SetUp() override { UserDefaults::standardUserDefaults().setPath(mFolder.filePath("defaults.plist")); }
    void TearDown() override { UserDefaults::standardUserDefaults().setPath(UserDefaults::defaultPath()); }
    UserDefaults &defaults() { return UserDefaults::standardUserDefaults(); }

private:
    QTemporaryDir mFolder;
};

struct RecordingHooks : KCShellHooks {
    void playSound(const QString &name) override { sounds << name; }
    void showWarningAlert(const QString &title, const QString &message) override { alerts << title + "|" + message; }
    QStringList sounds;
    QStringList alerts;
};

} // namespace

TEST(KCStringCompare, CollationRule)
{
    const struct {
        const char16_t *a;
        const char16_t *b;
        int result;
    } cases[] = {
        {u"a1", u"a", 1},      {u"A", u"a", -1},      {u"1", u"a", -1},     {u"\uAC00", u"a", -1},
        {u"-", u"0", -1},      {u"", u"", 0},         {u"abc", u"abc", 0},  {u"a", u"", 1},
        {u"9", u"\u1100", -1}, {u"\uD7AF", u"z", -1}, {u"\uD7B0", u"0", -1}, {u"\u11FF", u"\uAC00", -1},
        {u"Z", u"a", -1},      {u"b", u"B", 1},       {u"ab", u"b", -1},    {u"\u00E9", u" ", 1},
    };
    for (const auto &c : cases) {
        const QString a = QString::fromUtf16(c.a);
        const QString b = QString::fromUtf16(c.b);
        SCOPED_TRACE(a.toStdString() + " vs " + b.toStdString());
        EXPECT_EQ(KCStringCompare(a, b), c.result);
        EXPECT_EQ(KCStringCompare(b, a), -c.result);
    }
    EXPECT_EQ(codeType(u'5'), 1);
    EXPECT_EQ(codeType(0xD7A4), 2);
    EXPECT_EQ(codeType(0x3131), 0); // compatibility Jamo are not in the Hangul class
}

TEST(FileSizeString, BytesAndWholeKilobytes)
{
    const struct {
        qint64 bytes;
        const char *label;
    } cases[] = {{0, "0Bytes"},           {1023, "1023Bytes"},        {1024, "1KB"},  {2047, "1KB"},
                 {1048575, "1023KB"}, {1048576, "1024KB"}, {-5, "-5Bytes"}, {5LL << 40, "5368709120KB"}};
    for (const auto &c : cases)
        EXPECT_EQ(fileSizeStringWithBytes(c.bytes), QLatin1String(c.label)) << c.bytes;
}

TEST_F(ShellUtilsTest, LocalizedTextsFollowTheLanguagePreference)
{
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("ko"));
    EXPECT_EQ(KCLocalizedString(QStringLiteral("Online")), QStringLiteral(u"\uC628\uB77C\uC778"));
    EXPECT_EQ(KCLocalizedString(QStringLiteral("NoSuchKey")), QStringLiteral("NoSuchKey"));
    defaults().setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
    EXPECT_EQ(KCLocalizedString(QStringLiteral("Online")), QStringLiteral("Online"));
    EXPECT_EQ(KCLocalizedString(QStringLiteral("OnThePhone")), QStringLiteral("On the Phone"));
    // A language without a table of its own reads the English one.
    defaults().setObject(QStringList{QStringLiteral("ja"), QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("ja"));
    EXPECT_EQ(KCLocalizedString(QStringLiteral("Busy")), QStringLiteral("Busy"));
}

namespace {

// The placeholders of a text: numbered ones ("%1") may move within a
// sentence, so they are compared as a sorted list; the others ("%@", "%d",
// "%qi") are read in order, so their sequence must match. "%%" is a percent
// sign, not a placeholder.
struct Placeholders {
    QStringList numbered;
    QStringList ordered;
    bool operator==(const Placeholders &) const = default;
};

Placeholders placeholdersOf(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("%(%|\\d+|@|[-+ #0]*\\d*(?:\\.\\d+)?(?:hh|h|ll|l|qi|q|z|j|t|L)?[diouxXeEfgGcsSp])"));
    Placeholders found;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const QString match = it.next().captured(0);
        if (match == QLatin1String("%%"))
            continue;
        if (match.size() > 1 && match[1].isDigit() && match.back().isDigit())
            found.numbered << match;
        else
            found.ordered << match;
    }
    found.numbered.sort();
    return found;
}

std::ostream &operator<<(std::ostream &os, const Placeholders &p)
{
    return os << "numbered {" << p.numbered.join(' ').toStdString() << "} ordered {"
              << p.ordered.join(' ').toStdString() << "}";
}

QJsonObject stringTable(const QString &language)
{
    QFile file(QStringLiteral(":/parley/strings/%1.json").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << language.toStdString() << ": "
                                                      << error.errorString().toStdString();
    EXPECT_TRUE(document.isObject()) << language.toStdString();
    return document.object();
}

} // namespace

TEST(StringTablePlaceholders, FoundAndCompared)
{
    const struct {
        const char16_t *text;
        QStringList numbered;
        QStringList ordered;
    } cases[] = {
        {u"plain", {}, {}},
        {u"%1\uB2D8\uC774 %2\uC744(\uB97C)", {"%1", "%2"}, {}},
        {u"%2 then %1 and %10", {"%1", "%10", "%2"}, {}},
        {u"%@ sent %d files", {}, {"%@", "%d"}},
        {u"%qiKB of %lld, 100%% done", {}, {"%qi", "%lld"}},
        {u"%.1f%%", {}, {"%.1f"}},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(placeholdersOf(text), (Placeholders{c.numbered, c.ordered})) << text.toStdString();
    }
    // What the table check tells apart.
    EXPECT_EQ(placeholdersOf("%2 of %1"), placeholdersOf("%1 of %2"));
    EXPECT_NE(placeholdersOf("%@ of %d"), placeholdersOf("%d of %@"));
    EXPECT_NE(placeholdersOf("%1 of %2"), placeholdersOf("%1 of %3"));
    EXPECT_NE(placeholdersOf("%1"), placeholdersOf("%1 %1"));
}

TEST_F(ShellUtilsTest, StringTablesHaveTheSameKeysInEveryLanguage)
{
    // Every table compiled in has the Korean table's keys, no others, and the
    // same placeholders in each text.
    const QStringList languages = QDir(QStringLiteral(":/parley/strings")).entryList({QStringLiteral("*.json")});
    ASSERT_TRUE(languages.contains(QStringLiteral("ko.json")));
    ASSERT_TRUE(languages.contains(QStringLiteral("en.json")));
    const QJsonObject korean = stringTable(QStringLiteral("ko"));
    ASSERT_FALSE(korean.isEmpty());
    for (const QString &file : languages) {
        const QString language = file.chopped(5);
        SCOPED_TRACE(language.toStdString());
        const QJsonObject table = stringTable(language);
        const QStringList keys = table.keys();
        // A key written twice loses one of its texts without a word from the
        // JSON reader: the tables hold one key a line, so count them there.
        QFile raw(QStringLiteral(":/parley/strings/") + file);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        const QRegularExpression keyLine(QStringLiteral(R"re(^\s*"((?:[^"\\]|\\.)*)"\s*:)re"));
        QSet<QString> seen;
        for (const QString &line : QString::fromUtf8(raw.readAll()).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch match = keyLine.match(line);
            if (!match.hasMatch())
                continue;
            const QString key = match.captured(1);
            EXPECT_FALSE(seen.contains(key)) << "written twice: " << key.toStdString();
            seen.insert(key);
        }
        EXPECT_EQ(seen.size(), keys.size());
        const QStringList koreanKeys = korean.keys();
        for (const QString &key : koreanKeys)
            EXPECT_TRUE(table.contains(key)) << "missing " << key.toStdString();
        for (const QString &key : keys) {
            EXPECT_TRUE(korean.contains(key)) << "only here: " << key.toStdString();
            EXPECT_TRUE(table.value(key).isString()) << key.toStdString();
            EXPECT_FALSE(table.value(key).toString().isEmpty()) << key.toStdString();
            if (korean.contains(key)) {
                EXPECT_EQ(placeholdersOf(table.value(key).toString()), placeholdersOf(korean.value(key).toString()))
                    << key.toStdString();
            }
        }
    }

    // The texts the core itself asks for are there, and Korean ones are
    // translated rather than the key.
    const QStringList keys{"Mobile", "ID",    "Name",   "Online",         "Away",          "Busy",
                           "OnThePhone", "OnThemeeting", "AppearOffline", "Others", "FileErrorTitle", "FileErrorMessage"};
    for (const char *language : {"ko", "en"}) {
        defaults().setObject(QStringList{QLatin1String(language)}, QLatin1String(kAppleLanguagesKey));
        for (const QString &key : keys) {
            const QString text = KCLocalizedString(key);
            EXPECT_FALSE(text.isEmpty()) << language << " " << key.toStdString();
            if (QLatin1String(language) == QLatin1String("ko")) {
                EXPECT_NE(text, key) << key.toStdString();
            }
        }
    }
}

// The string keys the sources look up by a literal: KCLocalizedString("Key")
// in its spellings, the panes' PrefsWidgets::text("Key"), the chat's
// ChatText::localized("Key"), and a file's own one-line helper that returns
// KCLocalizedString of its argument (`QString text(const char *key) { return
// KCLocalizedString(...) }`) called with a literal. Key -> first file.
static QMap<QString, QString> keysLookedUpBySources(const QString &root)
{
    static const QRegularExpression direct(
        QStringLiteral(R"re(KCLocalizedString\(\s*(?:QStringLiteral|QLatin1String|u)?\(?\s*"([^"]+)")re"));
    static const QRegularExpression helperDefinition(QStringLiteral(
        R"re(QString\s+(\w+)\(const char \*\w+\)\s*\{?\s*\{?\s*return\s+(?:parley::)?KCLocalizedString)re"));
    QMap<QString, QString> keys;
    const auto collect = [&keys](const QRegularExpression &pattern, const QString &source, const QString &file) {
        for (auto it = pattern.globalMatch(source); it.hasNext();) {
            const QString key = it.next().captured(1);
            if (!keys.contains(key))
                keys.insert(key, file);
        }
    };
    for (const char *folder : {"Parley", "kit", "messagebox", "ParleyFoundation", "platform"}) {
        QDirIterator files(root + QLatin1Char('/') + QLatin1String(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString source = QString::fromUtf8(file.readAll());
            const QString name = QDir(root).relativeFilePath(path);
            collect(direct, source, name);
            QStringList helpers{QStringLiteral("PrefsWidgets::text"), QStringLiteral("ChatText::localized")};
            for (auto it = helperDefinition.globalMatch(source); it.hasNext();)
                helpers << QStringLiteral("(?<![\\w.>:])") + it.next().captured(1);
            for (const QString &helper : helpers) {
                const QString escaped = helper.startsWith(QLatin1Char('(')) ? helper : QRegularExpression::escape(helper);
                collect(QRegularExpression(escaped + QStringLiteral(R"re(\(\s*(?:QStringLiteral\()?"([^"]+)")re")),
                        source, name);
            }
        }
    }
    return keys;
}

TEST_F(ShellUtilsTest, EveryKeyTheSourcesLookUpIsInBothTables)
{
    const QMap<QString, QString> keys = keysLookedUpBySources(QStringLiteral(PARLEY_SOURCE_DIR));
    // The scan finds what it is meant to: keys of each kind of lookup.
    for (const char *known : {"OTPInputTop", "OTPInputMessage", "LoginedAtTheOtherPlace", "NotInstallAnimicon",
                              "ParleyMiniNookAlert", "MenuParleyHelp", "WillChatCloseAlertMessage"})
        EXPECT_TRUE(keys.contains(QLatin1String(known))) << known;
    EXPECT_GT(keys.size(), 300);
    for (const char *language : {"ko", "en"}) {
        const QJsonObject table = stringTable(QLatin1String(language));
        ASSERT_FALSE(table.isEmpty()) << language;
        for (auto it = keys.cbegin(); it != keys.cend(); ++it)
            EXPECT_TRUE(table.contains(it.key())) << language << ": " << it.key().toStdString() << " (" << it.value().toStdString() << ")";
    }
}

TEST_F(ShellUtilsTest, InterfaceLanguageIsRegisteredAsKoreanWhenAbsent)
{
    // The registered value is a default: readers of the key see it, a choice
    // of the user's wins over it, and it is never written to the file.
    defaults().removeObjectForKey(QLatin1String(kAppleLanguagesKey));
    KCRegisterInterfaceLanguage();
    EXPECT_EQ(defaults().objectForKey(QLatin1String(kAppleLanguagesKey)).toStringList(), QStringList{"ko"});
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("ko"));
    defaults().setObject(QStringList{QStringLiteral("en"), QStringLiteral("ko")}, QLatin1String(kAppleLanguagesKey));
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("en"));
    defaults().removeObjectForKey(QLatin1String(kAppleLanguagesKey));
    EXPECT_EQ(KCCurrentLanguage(), QStringLiteral("ko"));
    UserDefaults reread(defaults().path());
    EXPECT_FALSE(reread.objectForKey(QLatin1String(kAppleLanguagesKey)).isValid());
}

TEST_F(ShellUtilsTest, DefaultLists)
{
    EXPECT_EQ(KCDefaultMobile(), (QStringList{"010", "011", "016", "017", "018", "019"}));
    defaults().setObject(QStringList{QStringLiteral("en")}, QLatin1String(kAppleLanguagesKey));
    EXPECT_EQ(KCDefaultStatus(),
              (QStringList{"Online", "Away", "Busy", "On the Phone", "In a Meeting", "Appear Offline"}));
    EXPECT_EQ(KCDefaultBuddySearchType(), (QStringList{"Mobile", "ID", "Name"}));
    const QStringList domains = KCDefaultDomain();
    ASSERT_EQ(domains.size(), 12);
    EXPECT_EQ(domains.last(), QStringLiteral("Other"));
    EXPECT_EQ(QSet<QString>(domains.begin(), domains.end()).size(), 12);

    EXPECT_FALSE(KCDefaultCurrentDomain().has_value());
    defaults().setObject(QStringList{"x.test", "Other"}, QLatin1String(kDefaultDomainsKey));
    EXPECT_EQ(KCDefaultCurrentDomain(), (QStringList{"x.test", "Other"}));
}

TEST(KCIsVelaID, OnlyThePortalsFourDomains)
{
    const QStringList domains = KCDefaultDomain();
    for (int i = 0; i < domains.size(); ++i) {
        SCOPED_TRACE(domains[i].toStdString());
        EXPECT_EQ(KCIsVelaDomain(domains[i]), i < 4);
        EXPECT_EQ(KCIsVelaID(QStringLiteral("user@") + domains[i]), i < 4);
    }
    EXPECT_TRUE(KCIsVelaID(QString()));
    EXPECT_FALSE(KCIsVelaID(QStringLiteral("user")));
    EXPECT_FALSE(KCIsVelaID(QStringLiteral("a@b@") + domains[0]));
    EXPECT_FALSE(KCIsVelaID(QStringLiteral("user@") + domains[0].toUpper()));
    EXPECT_FALSE(KCIsVelaDomain(domains[0] + QLatin1Char(' ')));
    EXPECT_TRUE(KCCheckSystemVersion());
}

TEST(KCDefaultDomain, FollowsTheEndpointsConfiguration)
{
    const PLEndpoints saved = PLEndpoints::current();
    PLEndpoints endpoints;
    endpoints.portalDomain = QStringLiteral("home.example");
    endpoints.portalMailDomains = {"p1.example", "p2.example", "p3.example"};
    endpoints.loginMailDomains = {"s.example", "o1.example", "o2.example", "o3.example",
                                  "o4.example", "o5.example", "o6.example"};
    PLEndpoints::setCurrent(endpoints);
    const QStringList domains = KCDefaultDomain();
    EXPECT_EQ(domains.mid(0, 11), (QStringList{"home.example", "p1.example", "p2.example", "p3.example", "s.example",
                                               "o1.example", "o2.example", "o3.example", "o4.example", "o5.example",
                                               "o6.example"}));
    EXPECT_TRUE(KCIsVelaDomain(QStringLiteral("home.example")));
    EXPECT_TRUE(KCIsVelaDomain(QStringLiteral("p3.example")));
    EXPECT_FALSE(KCIsVelaDomain(QStringLiteral("s.example")));
    // The default configuration's first domain is the local service's accounts'.
    PLEndpoints::setCurrent(PLEndpoints());
    EXPECT_EQ(KCDefaultDomain().first(), QStringLiteral("parley.test"));
    PLEndpoints::setCurrent(saved);
}

TEST_F(ShellUtilsTest, SoundsPlayOnlyWhenBothSettingsAreOn)
{
    RecordingHooks hooks;
    KCSetShellHooks(&hooks);
    const QString user = QStringLiteral("me@vela.test");
    const struct {
        void (*play)(const QString &);
        const char *key;
        const char *sound;
    } events[] = {
        {KCPlayTransferSound, "soundForFileTransfer", "trans_comp"}, {KCPlayMemoSound, "soundForMemo", "recv_memo"},
        {KCPlayChatSound, "soundForMessage", "recv_chat"},          {KCPlayMininookSound, "soundForMiniNook", "minicubby"},
        {KCPlayLoginSound, "soundForLogin", "login"},               {KCPlayBuddyLoginSound, "soundForBuddy", "buddy_login"},
    };
    for (const auto &e : events) {
        SCOPED_TRACE(e.key);
        hooks.sounds.clear();
        defaults().setUserDictionary(user, {{"useSound", true}});
        e.play(user);
        defaults().setUserDictionary(user, {{"useSound", false}, {QLatin1String(e.key), true}});
        e.play(user);
        e.play(QString());
        EXPECT_TRUE(hooks.sounds.isEmpty());
        defaults().setUserDictionary(user, {{"useSound", true}, {QLatin1String(e.key), true}});
        e.play(user);
        EXPECT_EQ(hooks.sounds, QStringList{QLatin1String(e.sound)});
    }
    KCSetShellHooks(nullptr);
}

TEST(KCDefaultUserPreferences, NewAccountDefaults)
{
    const QVariantMap prefs = KCDefaultUserPreferences();
    EXPECT_EQ(prefs.size(), 25);
    EXPECT_EQ(prefs.value("destinationPath").toString(), KCDefaultDownloadFolder());
    EXPECT_EQ(prefs.value("awayTimeInterval"), QVariant(10));
    EXPECT_EQ(prefs.value("showMemoIndex"), QVariant(1));
    EXPECT_EQ(prefs.value("saveDialogIndex"), QVariant(1));
    EXPECT_EQ(prefs.value("OrchardAlarm"), QVariant(0));
    EXPECT_EQ(prefs.value("mAwayMessage").toString(), QString(""));
    for (const char *off : {"useAllSound", "showAwayMsg", "showBusyMsg"})
        EXPECT_EQ(prefs.value(off), QVariant(false)) << off;
    for (const char *on : {"showEmoticon", "checkAway", "useSound", "soundForMiniNook", "PrivacyEncrypt"})
        EXPECT_EQ(prefs.value(on), QVariant(true)) << on;
    EXPECT_FALSE(prefs.contains("isFirstLogin"));
}

TEST(GetPrimaryMacAddress, PicksTheFirstEthernetInterface)
{
    using List = QList<KCInterfaceInfo>;
    const struct {
        const char *name;
        std::optional<List> interfaces;
        const char *result;
    } cases[] = {
        {"no list", std::nullopt, "4b1d9e07c2a85f36d0e94a7b18c3f2e5"},
        {"only loopback", List{{true, true, "00:00:00:00:00:00", 1}}, "0x00000005"},
        {"no interfaces", List{}, "0x00000005"},
        {"ethernet", List{{false, true, "", 1}, {true, false, "3C:A9:F4:01:0B:FE", 2}}, "3c:a9:f4:01:0b:fe"},
        {"lowest index wins",
         List{{true, false, "02:00:00:00:00:09", 7}, {true, false, "02:00:00:00:00:03", 3}}, "02:00:00:00:00:03"},
        {"not ethernet, bad or zero addresses are skipped",
         List{{false, false, "02:00:00:00:00:01", 1},
              {true, false, "", 2},
              {true, false, "00:00:00:00:00:00", 3},
              {true, false, "zz:00:00:00:00:01", 4},
              {true, false, "02:00:00:00:00:05", 5}},
         "02:00:00:00:00:05"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(primaryMacAddressFrom(c.interfaces), QLatin1String(c.result));
    }
    // This machine's answer has one of the three forms.
    const QString own = GetPrimaryMacAddress();
    EXPECT_TRUE(own.size() == 17 || own == QLatin1String("0x00000005") || own.size() == 32) << own.toStdString();
}
