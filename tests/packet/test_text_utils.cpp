#include "TestSupport.h"
#include "Utils/ParleyStringAdditions.h"
#include "Utils/PLUtils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <vector>

using namespace parley;

TEST(Hashes, Md5String)
{
    EXPECT_EQ(md5String(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(md5String(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    EXPECT_EQ(md5String(QStringLiteral("user@x.com")), QStringLiteral("a641977e75ddf8805f34936430dbbdb1"));
}

TEST(Hashes, PCIDStringFoldsSumsAbove255By255)
{
    // Reference computed independently (Python hashlib) for this input.
    EXPECT_EQ(PCIDString(QStringLiteral("00:11:22:33:44:55")), QStringLiteral("1ff5d0da97e072f836beb6e279114acc"));
    const QRegularExpression hex32(QStringLiteral("^[0-9a-f]{32}$"));
    for (const char *text : {"", "a", "00:00:00:00:00:00", "a much longer text than any address"})
        EXPECT_TRUE(hex32.match(PCIDString(QString::fromUtf8(text))).hasMatch()) << text;
}

TEST(Base64Encode, LineFeedEvery54Bytes)
{
    EXPECT_EQ(base64Encode(QStringLiteral("abc")), QStringLiteral("YWJj"));
    EXPECT_EQ(base64Encode(QStringLiteral("a")), QStringLiteral("YQ=="));
    EXPECT_EQ(base64Encode(QStringLiteral("ab")), QStringLiteral("YWI="));
    EXPECT_EQ(base64Encode(QString()), QString());
    QString input54;
    for (int i = 0; i < 54; ++i)
        input54 += QChar(48 + i);
    const QString line = QStringLiteral("MDEyMzQ1Njc4OTo7PD0+P0BBQkNERUZHSElKS0xNTk9QUVJTVFVWV1hZWltcXV5fYGFiY2Rl");
    EXPECT_EQ(base64Encode(input54), line + QLatin1Char('\n'));
    const QString out55 = base64Encode(input54 + QLatin1Char('f'));
    EXPECT_EQ(out55, line + QStringLiteral("\nZg=="));
    EXPECT_EQ(base64Encode(input54 + input54).count(QLatin1Char('\n')), 2);
}

TEST(TkEncode3A, ScramblesIntoFortyEightHexDigits)
{
    // Worked by hand from the scrambling rule with mask 0x5A: "A" is 0x41.
    EXPECT_EQ(tkEncode3A(QStringLiteral("A")),
              QStringLiteral("5bb1" "2c58b162c4880b16" "2c58b162c4880b16" "2c58b162c488"));
    EXPECT_EQ(tkEncode3A(QString()), QStringLiteral("5a") + QStringLiteral("01").repeated(23));
    const QString full = QStringLiteral("abcdefghijklmnopqrstuvw"); // 23 bytes: no filler
    const QString scrambled = tkEncode3A(full);
    ASSERT_EQ(scrambled.size(), 48);
    for (int i = 0; i < 23; ++i) {
        const unsigned c = (unsigned(full[i].unicode()) ^ kTkEncodeMask) & 0xFF;
        const unsigned swapped = ((c << 4) & 0xF0) | (c >> 4);
        EXPECT_EQ(scrambled.mid(2 + 2 * i, 2).toUInt(nullptr, 16), swapped) << i;
    }
    EXPECT_TRUE(tkEncode3A(full + QLatin1Char('x')).isNull());
    // 23 bytes of UTF-8 with multibyte characters still fit; 24 don't.
    EXPECT_EQ(tkEncode3A(QStringLiteral("한글한글한글한ab")).size(), 48);
    EXPECT_TRUE(tkEncode3A(QStringLiteral("한글한글한글한abc")).isNull());
}

TEST(UrlEncode, EscapesReservedAndNonAscii)
{
    EXPECT_EQ(urlEncode(QStringLiteral(":/?#[]@!$&'()*+,;=")),
              QStringLiteral("%3A%2F%3F%23%5B%5D%40%21%24%26%27%28%29%2A%2B%2C%3B%3D"));
    EXPECT_EQ(urlEncode(QStringLiteral("a b%-._~")), QStringLiteral("a%20b%25-._~"));
    EXPECT_EQ(urlEncode(QStringLiteral("한")), QStringLiteral("%ED%95%9C"));
}

TEST(EscapedHTML, EveryMarkupCharacterBecomesAnEntityAndNothingElseChanges)
{
    EXPECT_EQ(escapedHTML(u"<a href=\"x\" title='y'>&amp;</a>"),
              QStringLiteral("&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;"));
    EXPECT_EQ(escapedHTML(u"한글 %20\n"), QStringLiteral("한글 %20\n"));
    EXPECT_TRUE(escapedHTML(u"").isEmpty());
}

TEST(StringWithData, ReadsUpToAZeroByteAndRejectsInvalidBytes)
{
    EXPECT_EQ(stringWithData(QByteArray("ab\0cd", 5), QStringConverter::Utf8), QStringLiteral("ab"));
    EXPECT_TRUE(stringWithData(QByteArray("\xff"), QStringConverter::Utf8).isNull());
    const QString empty = stringWithData(QByteArray(), QStringConverter::Utf8);
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(stringWithData(QByteArray("\xe9"), QStringConverter::Latin1), QStringLiteral("é"));
}

// A reader keeps one string for its lines: each line is widened into that
// string's buffer when nothing else holds it. Whatever the string held before
// and whoever shares it, the result must be the one stringWithData gives, and
// a sharer must keep the text it had.
TEST(StringWithData, IntoAnExistingStringGivesWhatANewStringWould)
{
    const QByteArray inputs[] = {
        QByteArray("GLST 5 12 5000 N 200001 7"), QByteArray(), QByteArray(""), QByteArray("a"),
        QByteArray("ab\0cd", 5), QByteArray("\0abc", 4), QByteArray("\xff"), QByteArray("caf\xc3\xa9 bar"),
        QByteArray("fifteen chars!!"), QByteArray("sixteen chars!!!"), QByteArray("seventeen chars!!"),
        QByteArray(40, 'x') + QByteArray("\x80"), QByteArray(40, 'y') + QByteArray(1, '\0') + "tail",
        QByteArray(300, 'z'), QByteArray("\x7f\x01\x02 controls")};
    const auto starts = [] {
        QString large;
        large.reserve(512);
        large.append(QLatin1String("old"));
        return std::vector<QString>{QString(), QString(QLatin1String("")), QStringLiteral("short"), large};
    };
    for (const QByteArray &bytes : inputs) {
        const QString expected = stringWithData(bytes, QStringConverter::Utf8);
        const std::string what = bytes.toHex().toStdString();
        for (bool shared : {false, true}) {
            for (QString into : starts()) {
                const QString before = into;
                const QString sharer = shared ? into : QString();
                if (!shared)
                    into.detach();
                stringWithDataInto(bytes, QStringConverter::Utf8, into);
                EXPECT_EQ(into, expected) << what;
                EXPECT_EQ(into.isNull(), expected.isNull()) << what;
                if (shared) {
                    EXPECT_EQ(sharer, before) << what;
                    EXPECT_EQ(sharer.isNull(), before.isNull()) << what;
                }
            }
        }
    }
}

TEST(StringWithData, IntoASoleOwnedStringReusesItsBuffer)
{
    QString into;
    into.reserve(64);
    into.append(QLatin1String("x"));
    const QChar *buffer = into.constData();
    for (const char *line : {"PING 1", "GLST 5 0 5100 N 200000 1", "LIST 6 4999 5000 1100 b4999@parley.test"}) {
        stringWithDataInto(QByteArrayView(line), QStringConverter::Utf8, into);
        EXPECT_EQ(into, QLatin1String(line));
        EXPECT_EQ(into.constData(), buffer) << line;
    }
    // Held elsewhere, the buffer is left to its other owner.
    const QString held = into;
    stringWithDataInto(QByteArrayView("PONG 2"), QStringConverter::Utf8, into);
    EXPECT_NE(into.constData(), held.constData());
    EXPECT_EQ(held, QLatin1String("LIST 6 4999 5000 1100 b4999@parley.test"));
}

TEST(Paths, LiveUnderTheDataFolder)
{
    const QString support = parley::test::isolatedHome() + QStringLiteral("/data/Parley/");
    EXPECT_EQ(PLAppSupportPath(), support);
    EXPECT_EQ(PLPersonalConfPathForUser(QStringLiteral("user@x.com")),
              support + QStringLiteral("a641977e75ddf8805f34936430dbbdb1/"));
    EXPECT_EQ(PLGroupCachePathForUser(QStringLiteral("user@x.com")),
              support + QStringLiteral("a641977e75ddf8805f34936430dbbdb1/GroupCache.nch"));
    EXPECT_TRUE(PLGroupCachePathForUser(QString()).isNull());
    EXPECT_EQ(PLConfFilePath(), support + QStringLiteral("/conf.dat"));
}

TEST(Paths, CreateFolderIfNotExist)
{
    const QString base = parley::test::isolatedHome() + QStringLiteral("/folders");
    EXPECT_TRUE(PLCreateFolderIfNotExist(base));
    EXPECT_TRUE(QFileInfo(base).isDir());
    EXPECT_TRUE(PLCreateFolderIfNotExist(base)); // exists, and is a folder

    const QString file = base + QStringLiteral("/plain.txt");
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_FALSE(PLCreateFolderIfNotExist(file));
    EXPECT_TRUE(QFileInfo(file).isFile());

    // No intermediate folders are made.
    const QString deep = base + QStringLiteral("/a/b");
    PLCreateFolderIfNotExist(deep);
    EXPECT_FALSE(QFileInfo::exists(deep));
    EXPECT_FALSE(PLCreateFolderIfNotExist(QString()));
}

TEST(Identifiers, UuidForm)
{
    const QRegularExpression form(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"));
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString uuid = PLMakeUUID();
        EXPECT_TRUE(form.match(uuid).hasMatch()) << uuid.toStdString();
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 100);
}

TEST(Identifiers, LocationKeysUseTheAlphabetWithDoubledG)
{
    QHash<QChar, int> counts;
    const int keys = 31000; // 124,000 characters: 2,000 expected per ordinary one
    for (int i = 0; i < keys; ++i) {
        const QString key = PLGetLocKey();
        ASSERT_EQ(key.size(), 4);
        for (QChar c : key)
            ++counts[c];
    }
    EXPECT_EQ(counts.value(QLatin1Char('Z')), 0);
    EXPECT_EQ(counts.size(), 61);
    // G stands twice in the alphabet: about twice as frequent (4,000 vs 2,000,
    // with a standard deviation near 45).
    EXPECT_GT(counts.value(QLatin1Char('G')), 3400);
    EXPECT_LT(counts.value(QLatin1Char('A')), 2600);
    EXPECT_NE(PLGetLocKey() + PLGetLocKey(), PLGetLocKey() + PLGetLocKey());
}
