#include "PropertyList.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSize>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sys/stat.h>

using namespace parley;

namespace {

QByteArray plist(const char *body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">") + body + "</plist>\n";
}

QByteArray nested(const char *open, const char *close, int depth)
{
    QByteArray body;
    for (int i = 0; i < depth; ++i)
        body += open;
    for (int i = 0; i < depth; ++i)
        body += close;
    return plist(body.constData());
}

QDateTime utc(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC); }

// ---- round trips -----------------------------------------------------------

struct RoundTripCase {
    const char *label;
    QVariant written;
    QVariant read; // what reading the written file gives back
};

void PrintTo(const RoundTripCase &c, std::ostream *os) { *os << c.label; }

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, ReadGivesBackWhatWasWritten)
{
    const RoundTripCase &c = GetParam();
    const auto written = PropertyList::write(c.written);
    ASSERT_TRUE(written.ok()) << written.error.toStdString();
    const auto read = PropertyList::read(written.data);
    ASSERT_TRUE(read.ok()) << read.error.toStdString() << "\n" << written.data.toStdString();
    EXPECT_EQ(read.value.typeId(), c.read.typeId()) << written.data.toStdString();
    EXPECT_EQ(read.value, c.read) << written.data.toStdString();
}

const QVariantMap kNested{
    {QStringLiteral("user@host.com"),
     QVariantMap{{QStringLiteral("list"), QVariantList{qlonglong(1), QStringLiteral("two"), QVariantList{}}},
                 {QStringLiteral("empty"), QVariantMap{}}}},
    {QStringLiteral("flag"), true}};

INSTANTIATE_TEST_SUITE_P(
    PropertyList, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"string", QStringLiteral("hello"), QStringLiteral("hello")},
        RoundTripCase{"emptyString", QString(""), QString("")},
        RoundTripCase{"markup", QStringLiteral("<a href=\"x\">&amp;</a> 'q' ]]>"),
                      QStringLiteral("<a href=\"x\">&amp;</a> 'q' ]]>")},
        RoundTripCase{"unicode", QStringLiteral("한글 日本語 😀 é"), QStringLiteral("한글 日本語 😀 é")},
        RoundTripCase{"lineBreaksTabsAndSpaces", QStringLiteral("  a\r\nb\rc\td  "),
                      QStringLiteral("  a\r\nb\rc\td  ")},
        RoundTripCase{"intToInteger", 42, qlonglong(42)},
        RoundTripCase{"uintToInteger", 42u, qlonglong(42)},
        RoundTripCase{"int64Max", std::numeric_limits<qlonglong>::max(), std::numeric_limits<qlonglong>::max()},
        RoundTripCase{"int64Min", std::numeric_limits<qlonglong>::min(), std::numeric_limits<qlonglong>::min()},
        RoundTripCase{"real", 0.1, 0.1},
        RoundTripCase{"realHuge", 1.7976931348623157e308, 1.7976931348623157e308},
        RoundTripCase{"realTiny", -4.9e-324, -4.9e-324},
        RoundTripCase{"realWhole", 3.0, 3.0},
        RoundTripCase{"floatToReal", 0.5f, 0.5},
        RoundTripCase{"infinity", std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()},
        RoundTripCase{"minusInfinity", -std::numeric_limits<double>::infinity(),
                      -std::numeric_limits<double>::infinity()},
        RoundTripCase{"true", true, true},
        RoundTripCase{"false", false, false},
        RoundTripCase{"dateUtc", utc(2024, 2, 29, 23, 59, 58), utc(2024, 2, 29, 23, 59, 58)},
        RoundTripCase{"dateWithOffsetBecomesUtc",
                      QDateTime(QDate(2024, 1, 1), QTime(9, 0, 0), QTimeZone(9 * 3600)), utc(2024, 1, 1, 0, 0, 0)},
        RoundTripCase{"dateDropsMilliseconds", QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1, 999), Qt::UTC),
                      utc(2000, 1, 1, 0, 0, 1)},
        RoundTripCase{"binaryData", QByteArray("\x00\x01\xff<&>", 6), QByteArray("\x00\x01\xff<&>", 6)},
        RoundTripCase{"emptyData", QByteArray(""), QByteArray("")},
        RoundTripCase{"stringListToArray", QStringList{QStringLiteral("a"), QStringLiteral("b")},
                      QVariantList{QStringLiteral("a"), QStringLiteral("b")}},
        RoundTripCase{"hashToDict", QVariantHash{{QStringLiteral("b"), 1}, {QStringLiteral("a"), 2}},
                      QVariantMap{{QStringLiteral("a"), qlonglong(2)}, {QStringLiteral("b"), qlonglong(1)}}},
        RoundTripCase{"keysKeptIntact",
                      QVariantMap{{QStringLiteral("user@host.com"), 1},
                                  {QStringLiteral("<key & \"odd\">"), 2},
                                  {QStringLiteral(" 키 "), 3},
                                  {QString(""), 4}},
                      QVariantMap{{QStringLiteral("user@host.com"), qlonglong(1)},
                                  {QStringLiteral("<key & \"odd\">"), qlonglong(2)},
                                  {QStringLiteral(" 키 "), qlonglong(3)},
                                  {QString(""), qlonglong(4)}}},
        RoundTripCase{"nested", kNested, kNested}),
    [](const auto &info) { return std::string(info.param.label); });

// The exact bytes of a written file, which stored group caches and
// preferences are compared against: indentation, key order, escapes.
TEST(PropertyList, WritesTheExactLayout)
{
    const QVariantList inner{QStringLiteral("a<b>&c\r"), 7, true};
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                                "<plist version=\"1.0\">\n"
                                "<dict>\n"
                                "\t<key>B</key>\n"
                                "\t<array>\n"
                                "\t\t<string>a&lt;b&gt;&amp;c&#13;</string>\n"
                                "\t\t<integer>7</integer>\n"
                                "\t\t<true/>\n"
                                "\t</array>\n"
                                "\t<key>a</key>\n"
                                "\t<dict/>\n"
                                "\t<key>a&amp;</key>\n"
                                "\t<string></string>\n"
                                "</dict>\n"
                                "</plist>\n";
    const QVariantMap map{{QStringLiteral("a&"), QString()},
                          {QStringLiteral("a"), QVariantMap()},
                          {QStringLiteral("B"), inner}};
    const QVariantHash hash{{QStringLiteral("a&"), QString()},
                            {QStringLiteral("a"), QVariantMap()},
                            {QStringLiteral("B"), inner}};
    EXPECT_EQ(PropertyList::write(map).data, expected);
    EXPECT_EQ(PropertyList::write(hash).data, expected);
}

TEST(PropertyList, NotANumberSurvives)
{
    const auto read = PropertyList::read(PropertyList::write(std::numeric_limits<double>::quiet_NaN()).data);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value.typeId(), QMetaType::Double);
    EXPECT_TRUE(std::isnan(read.value.toDouble()));
}

TEST(PropertyList, DeepestAllowedNestingRoundTrips)
{
    QVariant value = QStringLiteral("leaf");
    for (int i = 0; i < PropertyList::kMaxDepth; ++i)
        value = QVariantList{value};
    const auto written = PropertyList::write(value);
    ASSERT_TRUE(written.ok()) << written.error.toStdString();
    const auto read = PropertyList::read(written.data);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value, value);

    const auto tooDeep = PropertyList::write(QVariantList{value});
    EXPECT_FALSE(tooDeep.ok());
}

// ---- values the writer refuses ------------------------------------------------

struct RefusedCase {
    const char *label;
    QVariant value;
};

void PrintTo(const RefusedCase &c, std::ostream *os) { *os << c.label; }

class RefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTest, WriterRefusesWithAnError)
{
    const auto written = PropertyList::write(GetParam().value);
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.data.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    PropertyList, RefusedTest,
    ::testing::Values(RefusedCase{"null", QVariant()},
                      RefusedCase{"nullInsideDict", QVariantMap{{QStringLiteral("k"), QVariant()}}},
                      RefusedCase{"unsupportedType", QVariant::fromValue(QSize(1, 2))},
                      RefusedCase{"controlCharacter", QStringLiteral("a\x01b")},
                      RefusedCase{"nulCharacter", QString(QChar(0))},
                      RefusedCase{"controlCharacterInKey", QVariantMap{{QStringLiteral("\x1f"), 1}}},
                      RefusedCase{"loneSurrogate", QString(QChar(0xD800))},
                      RefusedCase{"nonCharacter", QString(QChar(0xFFFF))},
                      RefusedCase{"unsignedTooLarge", QVariant(std::numeric_limits<quint64>::max())},
                      RefusedCase{"invalidDate", QDateTime()},
                      RefusedCase{"dateBeyondYear9999", utc(10000, 1, 1, 0, 0, 0)}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- inputs the reader accepts ------------------------------------------------

struct AcceptedCase {
    const char *label;
    QByteArray xml;
    QVariant value;
};

void PrintTo(const AcceptedCase &c, std::ostream *os) { *os << c.label; }

class AcceptedTest : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedTest, ReaderGivesTheValue)
{
    const auto read = PropertyList::read(GetParam().xml);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    PropertyList, AcceptedTest,
    ::testing::Values(
        AcceptedCase{"noDoctype", plist("<string>x</string>"), QStringLiteral("x")},
        AcceptedCase{"commentsAndWhitespace",
                     plist("<!-- c --> <dict> <!-- c --> <key>a</key> <!-- c --> <integer> 7 </integer> </dict> "),
                     QVariantMap{{QStringLiteral("a"), qlonglong(7)}}},
        AcceptedCase{"emptyStringElement", plist("<string/>"), QString("")},
        AcceptedCase{"entitiesAndCharRefs", plist("<string>&lt;&amp;&gt;&quot;&apos;&#xD55C;&#13;</string>"),
                     QStringLiteral("<&>\"'한\r")},
        AcceptedCase{"cdata", plist("<string><![CDATA[<raw>&]]></string>"), QStringLiteral("<raw>&")},
        AcceptedCase{"hexInteger", plist("<integer>0x1F</integer>"), qlonglong(31)},
        AcceptedCase{"negativeInteger", plist("<integer>-12</integer>"), qlonglong(-12)},
        AcceptedCase{"plusInteger", plist("<integer>+12</integer>"), qlonglong(12)},
        AcceptedCase{"int64MinText", plist("<integer>-9223372036854775808</integer>"),
                     std::numeric_limits<qlonglong>::min()},
        AcceptedCase{"realExponent", plist("<real>-1.5e3</real>"), -1500.0},
        AcceptedCase{"realInfinityWord", plist("<real>+Infinity</real>"), std::numeric_limits<double>::infinity()},
        AcceptedCase{"dataWithLineBreaks", plist("<data>\n\tAAEC\n\tAw==\n</data>"), QByteArray("\x00\x01\x02\x03", 4)},
        AcceptedCase{"emptyData", plist("<data></data>"), QByteArray("")},
        AcceptedCase{"date", plist("<date>1999-12-31T23:59:59Z</date>"), utc(1999, 12, 31, 23, 59, 59)},
        AcceptedCase{"arrayOfMixed", plist("<array><true/><false></false><string>s</string></array>"),
                     QVariantList{true, false, QStringLiteral("s")}},
        AcceptedCase{"deepestAllowed", nested("<array>", "</array>", PropertyList::kMaxDepth),
                     [] {
                         QVariant v = QVariantList{};
                         for (int i = 1; i < PropertyList::kMaxDepth; ++i)
                             v = QVariantList{v};
                         return v;
                     }()}),
    [](const auto &info) { return std::string(info.param.label); });

// ---- malformed and hostile inputs ---------------------------------------------

struct MalformedCase {
    const char *label;
    QByteArray xml;
    const char *errorFragment; // a fragment of the expected error text
};

void PrintTo(const MalformedCase &c, std::ostream *os) { *os << c.label; }

class MalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTest, ReaderReportsAClearError)
{
    const MalformedCase &c = GetParam();
    const auto read = PropertyList::read(c.xml);
    ASSERT_FALSE(read.ok()) << "accepted: " << read.value.toString().toStdString();
    EXPECT_FALSE(read.value.isValid());
    EXPECT_TRUE(read.error.contains(QLatin1String(c.errorFragment))) << read.error.toStdString();
}

const QByteArray kWellFormed = plist("<dict><key>a</key><array><string>x</string><integer>1</integer></array></dict>");

INSTANTIATE_TEST_SUITE_P(
    PropertyList, MalformedTest,
    ::testing::Values(
        MalformedCase{"empty", QByteArray(), "malformed XML"},
        MalformedCase{"notXml", QByteArray("hello"), "malformed XML"},
        MalformedCase{"truncated", kWellFormed.left(kWellFormed.size() - 20), "malformed XML"},
        MalformedCase{"truncatedInsideValue", kWellFormed.left(kWellFormed.indexOf("<string>") + 9), "malformed XML"},
        MalformedCase{"mismatchedTags", plist("<string>x</integer>"), "malformed XML"},
        MalformedCase{"wrongRoot", QByteArray("<dict><key>a</key><string>b</string></dict>"), "root element"},
        MalformedCase{"emptyPlist", plist(""), "no value"},
        MalformedCase{"twoValues", plist("<string>a</string><string>b</string>"), "more than one value"},
        MalformedCase{"textInPlist", plist("stray<string>a</string>"), "unexpected text"},
        MalformedCase{"textInDict", plist("<dict>stray</dict>"), "unexpected text"},
        MalformedCase{"textAfterRoot", plist("<string>a</string>") + "trailing", "malformed XML"},
        MalformedCase{"secondRoot", plist("<string>a</string>") + "<plist/>", "malformed XML"},
        MalformedCase{"unknownElement", plist("<uid>1</uid>"), "unknown element"},
        MalformedCase{"keyOutsideDict", plist("<array><key>a</key></array>"), "key outside a dict"},
        MalformedCase{"valueWithoutKey", plist("<dict><string>a</string></dict>"), "without a key"},
        MalformedCase{"keyWithoutValue", plist("<dict><key>a</key></dict>"), "has no value"},
        MalformedCase{"duplicateKey",
                      plist("<dict><key>a</key><true/><key>a</key><false/></dict>"), "duplicate key"},
        MalformedCase{"elementInsideString", plist("<string>a<b/>c</string>"), "inside a simple value"},
        MalformedCase{"elementInsideKey", plist("<dict><key><string/></key><true/></dict>"), "inside a simple value"},
        MalformedCase{"textInBoolean", plist("<true>yes</true>"), "boolean"},
        MalformedCase{"integerText", plist("<integer>ten</integer>"), "bad integer"},
        MalformedCase{"integerEmpty", plist("<integer/>"), "bad integer"},
        MalformedCase{"integerFraction", plist("<integer>1.5</integer>"), "bad integer"},
        MalformedCase{"integerInnerSpace", plist("<integer>1 2</integer>"), "bad integer"},
        MalformedCase{"integerDoubleSign", plist("<integer>--1</integer>"), "bad integer"},
        MalformedCase{"integerOverflow", plist("<integer>9223372036854775808</integer>"), "bad integer"},
        MalformedCase{"integerUnderflow", plist("<integer>-9223372036854775809</integer>"), "bad integer"},
        MalformedCase{"integerHexOverflow", plist("<integer>0x10000000000000000</integer>"), "bad integer"},
        MalformedCase{"integerBadHex", plist("<integer>0xZZ</integer>"), "bad integer"},
        MalformedCase{"realText", plist("<real>abc</real>"), "bad real"},
        MalformedCase{"realEmpty", plist("<real></real>"), "bad real"},
        MalformedCase{"realOverflow", plist("<real>1e999</real>"), "bad real"},
        MalformedCase{"dateNoZone", plist("<date>2024-01-01T00:00:00</date>"), "bad date"},
        MalformedCase{"dateBadMonth", plist("<date>2024-13-01T00:00:00Z</date>"), "bad date"},
        MalformedCase{"dateBadDay", plist("<date>2023-02-29T00:00:00Z</date>"), "bad date"},
        MalformedCase{"dateText", plist("<date>yesterday</date>"), "bad date"},
        MalformedCase{"dataBadCharacters", plist("<data>!!!!</data>"), "bad base64"},
        MalformedCase{"dataNonAscii", plist("<data>QUJD\xc3\xa9</data>"), "bad base64"},
        MalformedCase{"dataBadPadding", plist("<data>QQ=Q</data>"), "bad base64"},
        MalformedCase{"invalidUtf8", plist("<string>\xff\xfe</string>"), "malformed XML"},
        MalformedCase{"undeclaredEntity", plist("<string>&foo;</string>"), "malformed XML"},
        MalformedCase{"entityExpansion",
                      QByteArray("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
                                 "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                                 "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                                 "<plist><string>&c;&c;&c;&c;</string></plist>"),
                      "entity declarations"},
        MalformedCase{"externalEntity",
                      QByteArray("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                                 "<plist><string>&x;</string></plist>"),
                      "entity declarations"},
        MalformedCase{"arraysTooDeep", nested("<array>", "</array>", PropertyList::kMaxDepth + 1), "nested deeper"},
        MalformedCase{"dictsTooDeep",
                      nested("<dict><key>k</key>", "</dict>", PropertyList::kMaxDepth + 1).replace(
                          "<key>k</key></dict>", "<key>k</key><true/></dict>"),
                      "nested deeper"},
        MalformedCase{"veryDeepIsStillAnError", nested("<array>", "", 100000), "nested deeper"}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(PropertyList, InputOverTheSizeLimitIsRefusedUnread)
{
    QByteArray big = plist("<string></string>");
    big.insert(big.indexOf("</string>"), QByteArray(PropertyList::kMaxBytes, 'a'));
    const auto read = PropertyList::read(big);
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.contains(QLatin1String("larger than"))) << read.error.toStdString();
}

// ---- files --------------------------------------------------------------------

mode_t fileMode(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

TEST(PropertyListFile, WritesWithRequestedPermissionsAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.plist"));
    const QVariantMap value{{QStringLiteral("user@host.com"), QStringLiteral("v")}};
    ASSERT_EQ(PropertyList::writeFile(path, value, QFileDevice::ReadOwner | QFileDevice::WriteOwner), QString());
    EXPECT_EQ(fileMode(path), mode_t(0600));
    const auto read = PropertyList::readFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value, QVariant(value));

    // Replacing keeps the requested mode even when the old file was wider.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    ASSERT_EQ(PropertyList::writeFile(path, value, QFileDevice::ReadOwner | QFileDevice::WriteOwner), QString());
    EXPECT_EQ(fileMode(path), mode_t(0600));
}

TEST(PropertyListFile, FailedWriteLeavesTheOldFileAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.plist"));
    ASSERT_EQ(PropertyList::writeFile(path, QStringLiteral("old")), QString());
    const QString error = PropertyList::writeFile(path, QVariantMap{{QStringLiteral("bad"), QVariant()}});
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(PropertyList::readFile(path).value, QVariant(QStringLiteral("old")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.plist")});
}

TEST(PropertyListFile, MissingFolderAndMissingFileAreErrors)
{
    QTemporaryDir dir;
    EXPECT_FALSE(PropertyList::writeFile(dir.filePath(QStringLiteral("no/such/a.plist")), 1).isEmpty());
    const auto read = PropertyList::readFile(dir.filePath(QStringLiteral("absent.plist")));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.error.contains(QLatin1String("absent.plist"))) << read.error.toStdString();
}

// ---- cache files: replaced by a rename, not forced to the disk ---------------

TEST(PropertyListCacheFile, WritesTheSameBytesAndReplacesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GroupCache.nch"));
    const QVariantList first{QVariantMap{{QStringLiteral("groupCacheNo"), 1}}};
    ASSERT_EQ(PropertyList::writeCacheFile(path, first), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), PropertyList::write(first).data);
    file.close();

    const QVariantList second{QVariantMap{{QStringLiteral("groupCacheNo"), 2}}, QStringLiteral("<&>")};
    ASSERT_EQ(PropertyList::writeCacheFile(path, second), QString());
    EXPECT_EQ(PropertyList::readFile(path).value, QVariant(second));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("GroupCache.nch")});
}

TEST(PropertyListCacheFile, NewFileFollowsTheUmaskAndAReplacedOneKeepsItsMode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conf.dat"));
    const mode_t mask = ::umask(022);
    ASSERT_EQ(PropertyList::writeCacheFile(path, 1), QString());
    EXPECT_EQ(fileMode(path), mode_t(0644));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    ASSERT_EQ(PropertyList::writeCacheFile(path, 2), QString());
    ::umask(mask);
    EXPECT_EQ(fileMode(path), mode_t(0600));
    EXPECT_EQ(PropertyList::readFile(path).value, QVariant(qlonglong(2)));
}

TEST(PropertyListCacheFile, FailuresLeaveTheOldFileAndNoLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.plist"));
    ASSERT_EQ(PropertyList::writeCacheFile(path, QStringLiteral("old")), QString());
    // A value with no property-list form, then a target that cannot be replaced.
    EXPECT_FALSE(PropertyList::writeCacheFile(path, QVariantMap{{QStringLiteral("bad"), QVariant()}}).isEmpty());
    const QString folder = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inner")));
    const QString error = PropertyList::writeCacheFile(folder, 1);
    EXPECT_TRUE(error.contains(folder)) << error.toStdString();
    EXPECT_EQ(PropertyList::readFile(path).value, QVariant(QStringLiteral("old")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("a.plist")});
    EXPECT_FALSE(PropertyList::writeCacheFile(dir.filePath(QStringLiteral("no/such/a.plist")), 1).isEmpty());
}

TEST(PropertyListCacheFile, ADocumentWrittenInPiecesIsPutInPlaceOnlyWhenCommitted)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GroupCache.nch"));
    ASSERT_EQ(PropertyList::writeCacheFile(path, QStringLiteral("old")), QString());
    const QByteArray document = PropertyList::write(QVariantList{QStringLiteral("a"), 2}).data;
    const QStringList onlyTheFile{QStringLiteral("GroupCache.nch")};
    {
        // Abandoned half way: the old file stays, nothing is left behind.
        PropertyList::CacheDocumentFile file(path);
        EXPECT_TRUE(file.write(QByteArrayView(document).first(10)));
    }
    EXPECT_EQ(PropertyList::readFile(path).value, QVariant(QStringLiteral("old")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), onlyTheFile);
    {
        PropertyList::CacheDocumentFile file(path);
        for (qsizetype at = 0; at < document.size(); at += 7)
            EXPECT_TRUE(file.write(QByteArrayView(document).sliced(at, std::min<qsizetype>(7, document.size() - at))));
        EXPECT_EQ(PropertyList::readFile(path).value, QVariant(QStringLiteral("old")));
        EXPECT_EQ(file.commit(), QString());
    }
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), document);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), onlyTheFile);

    // A folder that does not exist: every write refused, the error names the path.
    const QString missing = dir.filePath(QStringLiteral("no/such/GroupCache.nch"));
    PropertyList::CacheDocumentFile nowhere(missing);
    EXPECT_FALSE(nowhere.write(document));
    const QString error = nowhere.commit();
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

// ---- an independent reader and writer: Python's plistlib ----------------------

// Runs a Python snippet with the file path as its argument; answers its
// exit code and output.
std::pair<int, QString> runPython(const QString &script, const QString &path)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    if (!python.waitForFinished(60000))
        return {-1, QStringLiteral("python did not finish: ") + python.errorString()};
    return {python.exitCode(), QString::fromUtf8(python.readAll())};
}

// The same value, spelt for Python and for us. Python's writer turns "\r"
// into "\n", so the shared value has none.
const char *const kPythonValue = R"PY(
import datetime
expected = {
    "user@host.com": {
        "name": "\ud55c\uae00 <&> \"q\" 'a' ]]> \U0001F600\n\ttab",
        "n": -5, "big": 9223372036854775807, "small": -9223372036854775808,
        "r": 0.1, "whole": 3.0, "t": True, "f": False,
        "d": b"\x00\xff<&>", "empty": b"", "s": "",
        "date": datetime.datetime(2024, 2, 29, 23, 59, 58),
        "a": [1, "x", [], {}],
    },
    "": "empty key",
}
)PY";

QVariantMap sharedValue()
{
    QVariantMap inner{
        {QStringLiteral("name"), QStringLiteral("한글 <&> \"q\" 'a' ]]> 😀\n\ttab")},
        {QStringLiteral("n"), qlonglong(-5)},
        {QStringLiteral("big"), std::numeric_limits<qlonglong>::max()},
        {QStringLiteral("small"), std::numeric_limits<qlonglong>::min()},
        {QStringLiteral("r"), 0.1},
        {QStringLiteral("whole"), 3.0},
        {QStringLiteral("t"), true},
        {QStringLiteral("f"), false},
        {QStringLiteral("d"), QByteArray("\x00\xff<&>", 5)},
        {QStringLiteral("empty"), QByteArray("")},
        {QStringLiteral("s"), QString("")},
        {QStringLiteral("date"), utc(2024, 2, 29, 23, 59, 58)},
        {QStringLiteral("a"), QVariantList{qlonglong(1), QStringLiteral("x"), QVariantList{}, QVariantMap{}}},
    };
    return {{QStringLiteral("user@host.com"), inner}, {QString(""), QStringLiteral("empty key")}};
}

TEST(PropertyListPython, PythonReadsWhatWeWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ours.plist"));
    ASSERT_EQ(PropertyList::writeFile(path, sharedValue()), QString());
    const QString script = QString::fromUtf8(kPythonValue) + QStringLiteral(R"PY(
import plistlib, sys
with open(sys.argv[1], "rb") as f:
    got = plistlib.load(f, fmt=plistlib.FMT_XML)
if got != expected:
    print("got", repr(got))
    sys.exit(1)
inner = got["user@host.com"]
if type(inner["r"]) is not float or type(inner["n"]) is not int:
    print("types", type(inner["r"]), type(inner["n"]))
    sys.exit(1)
)PY");
    const auto [code, output] = runPython(script, path);
    EXPECT_EQ(code, 0) << output.toStdString();
}

TEST(PropertyListPython, PythonReadsCarriageReturnsWeWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cr.plist"));
    ASSERT_EQ(PropertyList::writeFile(path, QStringLiteral("a\r\nb\rc")), QString());
    const auto [code, output] = runPython(QStringLiteral(R"PY(
import plistlib, sys
with open(sys.argv[1], "rb") as f:
    got = plistlib.load(f)
sys.exit(0 if got == "a\r\nb\rc" else print(repr(got)) or 1)
)PY"),
                                          path);
    EXPECT_EQ(code, 0) << output.toStdString();
}

TEST(PropertyListPython, WeReadWhatPythonWrites)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("theirs.plist"));
    const QString script = QString::fromUtf8(kPythonValue) + QStringLiteral(R"PY(
import plistlib, sys
with open(sys.argv[1], "wb") as f:
    plistlib.dump(expected, f, fmt=plistlib.FMT_XML)
)PY");
    const auto [code, output] = runPython(script, path);
    ASSERT_EQ(code, 0) << output.toStdString();
    const auto read = PropertyList::readFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value, QVariant(sharedValue()));
    const QVariantMap inner = read.value.toMap().value(QStringLiteral("user@host.com")).toMap();
    EXPECT_EQ(inner.value(QStringLiteral("n")).typeId(), QMetaType::LongLong);
    EXPECT_EQ(inner.value(QStringLiteral("whole")).typeId(), QMetaType::Double);
    EXPECT_EQ(inner.value(QStringLiteral("date")).toDateTime().timeSpec(), Qt::UTC);
}

TEST(PropertyListPython, LongDataThatPythonWrapsReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.plist"));
    const auto [code, output] = runPython(QStringLiteral(R"PY(
import plistlib, sys
with open(sys.argv[1], "wb") as f:
    plistlib.dump({"blob": bytes(range(256)) * 4}, f)
)PY"),
                                          path);
    ASSERT_EQ(code, 0) << output.toStdString();
    QByteArray blob;
    for (int round = 0; round < 4; ++round)
        for (int i = 0; i < 256; ++i)
            blob.append(char(i));
    const auto read = PropertyList::readFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.value.toMap().value(QStringLiteral("blob")).toByteArray(), blob);
}

} // namespace
