// The animicon catalogue's INI reader and its code page 949 text.
#include "CodePage949.h"
#include "ConversationTestSupport.h"
#include "IniManager.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(IniManager, FindsValuesAsTheServiceFilesAreRead)
{
    const IniManager ini(QStringLiteral("[category info]\nversion=3\ncount=2\n"
                                        "[AnicoTab1]\nlistid=7\nid=3\nk=a=b=c\ntitle=a b\r\nnoequals\n"
                                        "[Last]\nkey=value"));
    struct Case
    {
        const char *section;
        const char *key;
        QString value; // null: none
    } const cases[] = {
        {"Category info", "version", QStringLiteral("3")},
        {"CATEGORY INFO", "Count", QStringLiteral("2")},
        {"AnicoTab1", "id", QStringLiteral("7")}, // "listid" comes first and holds "id"
        {"AnicoTab1", "k", QStringLiteral("a")},
        {"AnicoTab1", "title", QStringLiteral("a b\r")},
        {"AnicoTab1", "noequals", QString()},
        {"AnicoTab1", "missing", QString()},
        {"AnicoTab1", "version", QString()}, // only its own section
        {"Last", "key", QStringLiteral("value")}, // the last character of the text included
        {"Nowhere", "key", QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        const QString value = ini.valueForPrimaryKey(QLatin1String(c.section), QLatin1String(c.key));
        EXPECT_EQ(value.isNull(), c.value.isNull());
        EXPECT_EQ(value, c.value);
    }
    EXPECT_TRUE(IniManager().valueForPrimaryKey(QStringLiteral("a"), QStringLiteral("b")).isNull());
}

TEST(IniManager, ReadsCodePage949AsTheIconvToolWritesIt)
{
    const QString text = QStringLiteral("[AnicoTab1]\nid=k\ntitle=기본 움직이는 이모티콘\n");
    const std::optional<IniManager> ini = IniManager::fromData(parley::test::iconvToCodePage949(text));
    ASSERT_TRUE(ini.has_value());
    EXPECT_EQ(ini->iniString(), text);
    EXPECT_EQ(ini->valueForPrimaryKey(QStringLiteral("AnicoTab1"), QStringLiteral("title")),
              QStringLiteral("기본 움직이는 이모티콘"));
}

TEST(IniManager, BytesThatAreNotCodePage949GiveNothing)
{
    const QByteArray cases[] = {
        QByteArray("title=\xFF\xFF\n"),
        QByteArray("title=\xB0"), // a lead byte without its trail
        QByteArray(),
    };
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        EXPECT_FALSE(IniManager::fromData(bytes).has_value());
    }
    // Text ends at the first NUL.
    EXPECT_EQ(CodePage949::decode(QByteArray("a=1\0garbage\xFF", 13)), std::optional<QString>(QStringLiteral("a=1")));
}
