// Loading accounts, groups and buddies from the JSON data file.
#include "AccountStore.h"
#include "ServiceFixture.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>

using namespace localservice;
using namespace localservice::test;

namespace {

const char kValid[] = R"({
  "configuration": {"version": 7, "values": {"b": "x=y", "a": "1"}},
  "accounts": [
    {"id": "dan@x.test", "password": "pw", "cmn": "1", "name": "Dan",
     "mobile": "555", "token": "t", "groupCache": 9,
     "groups": [{"id": "4", "name": "Club"}, {"id": "5", "name": "Inner", "parent": "4"}],
     "buddies": [{"id": "eve@x.test", "flags": "1001", "groups": ["4", "5"]}]},
    {"id": "eve@x.test", "password": "pw2", "cmn": "2", "name": "Eve", "ewerYN": "Y"}
  ]
})";

QString writeFile(const QString &name, const QByteArray &contents)
{
    const QString path = QDir(parley::test::isolatedHome()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return {};
    return path;
}

} // namespace

TEST(AccountStore, ReadsEveryPartOfAValidFile)
{
    QString error;
    const auto store = AccountStore::fromJson(kValid, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->confVersion(), 7);
    EXPECT_EQ(store->confBody(), QByteArray("a=1\r\nb=x=y\r\n"));
    ASSERT_EQ(store->accounts().size(), 2);

    const Account *dan = store->account(QStringLiteral("dan@x.test"));
    ASSERT_TRUE(dan);
    EXPECT_EQ(dan->password, QStringLiteral("pw"));
    EXPECT_EQ(dan->mobile, QStringLiteral("555"));
    EXPECT_EQ(dan->groupCache, 9);
    ASSERT_EQ(dan->groups.size(), 2);
    EXPECT_EQ(dan->groups[1].parentID, QStringLiteral("4"));
    EXPECT_EQ(dan->groups[0].parentID, QStringLiteral("0"));
    ASSERT_EQ(dan->buddies.size(), 1);
    EXPECT_EQ(dan->buddies[0].flags, QStringLiteral("1001"));
    EXPECT_EQ(dan->buddies[0].groupIDs, (QStringList{QStringLiteral("4"), QStringLiteral("5")}));

    // Fields left out take their defaults.
    const Account *eve = store->account(QStringLiteral("eve@x.test"));
    ASSERT_TRUE(eve);
    EXPECT_EQ(eve->nickName, QStringLiteral("Eve"));
    EXPECT_EQ(eve->velaID, QStringLiteral("eve@x.test"));
    EXPECT_EQ(eve->velaCMN, QStringLiteral("2"));
    EXPECT_EQ(eve->ewerYN, QStringLiteral("Y"));
    EXPECT_EQ(eve->ucYN, QStringLiteral("N"));
    EXPECT_EQ(eve->groupCache, 1);
    EXPECT_TRUE(eve->buddies.isEmpty());
    EXPECT_EQ(store->account(QStringLiteral("nobody")), nullptr);
}

TEST(AccountStore, RefusesMalformedFilesWithTheFaultsPlace)
{
    const QByteArray head = R"({"accounts": [{"id": "a", "password": "p", "cmn": "1", "name": "A")";
    const QByteArray other = R"(, {"id": "b", "password": "p", "cmn": "2", "name": "B"}]})";
    struct Case {
        QByteArray json;
        const char *error;
    } const cases[] = {
        {"{\"accounts\": [", "not valid JSON at byte"},
        {"[]", "the top level must be an object"},
        {"{}", "\"accounts\" must be an array"},
        {R"({"accounts": [], "extra": 1})", "unknown key \"extra\""},
        {R"({"accounts": [{"id": "a", "cmn": "1", "name": "A"}]})",
         "accounts[0]: \"password\" is missing"},
        {R"({"accounts": [{"id": "a", "password": "", "cmn": "1", "name": "A"}]})",
         "accounts[0]: \"password\" must not be empty"},
        {head + R"(, "pasword": "x"}]})", "accounts[0]: unknown key \"pasword\""},
        {head + R"(, "mobile": 5}]})", "accounts[0]: \"mobile\" must be a string"},
        {head + R"(, "groupCache": -1}]})", "accounts[0]: \"groupCache\" must be a whole number"},
        {head + "}" + QByteArray(other).replace("\"b\"", "\"a\""),
         "accounts[1]: account \"a\" is listed twice"},
        {head + R"(, "buddies": [{"id": "zed"}]}]})",
         "accounts[0].buddies[0]: \"zed\" is not an account of the file"},
        {head + R"(, "buddies": [{"id": "b", "flags": "12"}]})" + other,
         "accounts[0].buddies[0]: \"flags\" must be four digits"},
        {head + R"(, "buddies": [{"id": "b", "groups": ["9"]}]})" + other,
         "accounts[0].buddies[0]: \"groups\" must name groups of the account"},
        {head + R"(, "groups": [{"id": "1", "name": "G"}], )"
                R"("buddies": [{"id": "b", "flags": "0001", "groups": ["1"]}]})" + other,
         "accounts[0].buddies[0]: only a buddy on the user's own list (FL)"},
        {head + R"(, "buddies": [{"id": "a"}]}]})", "accounts[0].buddies[0]: an account cannot list itself"},
        {head + R"(, "groups": [{"id": "1", "name": "G", "parent": "7"}]}]})",
         "accounts[0].groups[0]: parent group \"7\" does not exist"},
        {head + R"(, "groups": [{"id": "1", "name": "G"}, {"id": "1", "name": "H"}]}]})",
         "accounts[0].groups[1]: group \"1\" is listed twice"},
        {R"({"configuration": {"values": {"k": "two\nlines"}}, "accounts": []})",
         "configuration.values: \"k\" must be a one-line string"},
        {R"({"configuration": {"values": {"a=b": "x"}}, "accounts": []})",
         "configuration.values: \"a=b\" must be a one-line string"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.json.toStdString());
        QString error;
        EXPECT_FALSE(AccountStore::fromJson(c.json, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
    }
}

TEST(AccountStore, DemoSetHasThreeAccountsThatListEachOther)
{
    const AccountStore demo = AccountStore::demo();
    ASSERT_EQ(demo.accounts().size(), 3);
    const Account *alice = demo.account(QStringLiteral("alice@parley.test"));
    const Account *bob = demo.account(QStringLiteral("bob@parley.test"));
    ASSERT_TRUE(alice && bob);
    EXPECT_EQ(alice->buddies.size(), 2);
    EXPECT_EQ(bob->buddies.value(0).id, QStringLiteral("alice@parley.test"));
}

TEST(AccountStore, ServiceStartsFromADataFileAndRefusesABadOne)
{
    const QString good = writeFile(QStringLiteral("good.json"), kValid);
    ASSERT_FALSE(good.isEmpty());
    {
        LocalService service;
        QString error;
        ServiceOptions options;
        options.dataFile = good;
        ASSERT_TRUE(service.start(options, &error)) << error.toStdString();
        ASSERT_TRUE(service.accounts().account(QStringLiteral("dan@x.test")));
        // The file's accounts sign in.
        RawClient client(service.notificationPort());
        client.send(lin4(1, "eve@x.test", "PLN", signInText("pw2", "PLN")));
        const auto line = client.readLine();
        ASSERT_TRUE(line);
        EXPECT_TRUE(line->startsWith("LIN4 1 eve@x.test PLN ")) << line->toStdString();
    }

    const QString bad = writeFile(QStringLiteral("bad.json"), "{\"accounts\": 3}");
    const QString missing = QDir(parley::test::isolatedHome()).filePath(QStringLiteral("none.json"));
    for (const QString &path : {bad, missing}) {
        SCOPED_TRACE(path.toStdString());
        LocalService service;
        QString error;
        ServiceOptions options;
        options.dataFile = path;
        EXPECT_FALSE(service.start(options, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("data file ") + path)) << error.toStdString();
        EXPECT_EQ(service.dispatchPort(), 0);
    }
}
