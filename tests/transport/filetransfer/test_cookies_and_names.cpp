// Transfer cookies, and the destination file of a download.
#include "FileTransfer/PLCookieManager.h"
#include "FileTransfer/PLDownloadFile.h"
#include "FileTransfer/PLSettingFileSaveQuestion.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace parley;

namespace {

int p2pNumber(const QString &cookie) { return cookie.section(QLatin1Char(':'), 1).toInt(); }

TEST(CookieManagerTest, P2PCookiesCountUpAndWrapAfter99999)
{
    PLCookieManager cookies;
    cookies.setCMN(QStringLiteral("4711"));
    cookies.setP2PCookieIndex(99998);
    EXPECT_EQ(cookies.p2pCookie(), QStringLiteral("4711:99998"));
    EXPECT_EQ(cookies.p2pCookie(), QStringLiteral("4711:99999"));
    EXPECT_EQ(cookies.p2pCookie(), QStringLiteral("4711:0"));
    EXPECT_EQ(cookies.p2pCookie(), QStringLiteral("4711:1"));
}

TEST(CookieManagerTest, AStartAbove99999IsUsedOnceThenZero)
{
    PLCookieManager cookies;
    cookies.setCMN(QStringLiteral("1"));
    cookies.setP2PCookieIndex(109999);
    EXPECT_EQ(p2pNumber(cookies.p2pCookie()), 109999);
    EXPECT_EQ(p2pNumber(cookies.p2pCookie()), 0);
}

TEST(CookieManagerTest, RandomStartsDifferBetweenManagers)
{
    // Drawn from the system's generator, not from the clock: 20 managers made
    // in the same second almost surely start apart.
    QSet<qint64> starts;
    for (int i = 0; i < 20; ++i) {
        PLCookieManager cookies;
        EXPECT_GE(cookies.p2pCookieIndex(), 10000);
        EXPECT_LE(cookies.p2pCookieIndex(), 109999);
        starts.insert(cookies.p2pCookieIndex());
    }
    EXPECT_GT(starts.size(), 15);
}

TEST(CookieManagerTest, RandomPartOfFileCookies)
{
    const std::pair<quint32, int> cases[] = {{0, 100}, {99, 199}, {100, 100}, {999, 999}, {1099, 199}, {123456, 456}};
    for (const auto &[random, part] : cases)
        EXPECT_EQ(PLCookieManager::randomPartFor(random), part) << random;
}

TEST(CookieManagerTest, FileCookiesCountFromZeroAgainAfterReset)
{
    PLCookieManager cookies;
    cookies.setCMN(QStringLiteral("77"));
    const QRegularExpression form(QStringLiteral("^(\\d+):77:([1-9]\\d\\d)$"));
    for (int i = 0; i < 50; ++i) {
        const QRegularExpressionMatch match = form.match(cookies.fileTransferCookie());
        ASSERT_TRUE(match.hasMatch());
        EXPECT_EQ(match.captured(1).toInt(), i);
    }
    cookies.reset();
    EXPECT_TRUE(cookies.cmn().isEmpty());
    EXPECT_TRUE(cookies.fileTransferCookie().startsWith(QStringLiteral("0::")));
}

class FixedAnswer : public PLFileSaveQuestion
{
public:
    explicit FixedAnswer(Answer answer) : mAnswer(answer) {}
    Answer askOverwrite(const QString &) override { return mAnswer; }
    QString askSavePath(const QString &folder, const QString &name) override
    {
        return QDir(folder).filePath(PLSettingFileSaveQuestion::numberedFreeName(folder, name));
    }

private:
    Answer mAnswer;
};

TEST(DownloadFileTest, NothingShowsUnderTheNameBeforeCommit)
{
    QTemporaryDir dir;
    FixedAnswer answer(PLFileSaveQuestion::Answer::Overwrite);
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    PLDownloadFile file;
    ASSERT_EQ(file.open(dir.path(), QStringLiteral("a.txt"), answer), PLDownloadFile::Result::Ready);
    ASSERT_TRUE(file.write("new contents"));
    QFile check(path);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("old"));
    check.close();
    ASSERT_TRUE(file.commit());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("new contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Many small writes, as DATA bodies come, are gathered into large ones; the
// file ends up whole and in order, and the old one stays until the commit.
TEST(DownloadFileTest, SmallWritesMakeTheWholeFile)
{
    for (const qsizetype total : {qsizetype(0), qsizetype(100), qsizetype(3 * 1024 * 1024 + 17)}) {
        SCOPED_TRACE(total);
        QTemporaryDir dir;
        FixedAnswer answer(PLFileSaveQuestion::Answer::Overwrite);
        const QString path = dir.filePath(QStringLiteral("f.bin"));
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QByteArray expected(total, Qt::Uninitialized);
        for (qsizetype i = 0; i < total; ++i)
            expected[i] = char((i * 31 + i / 8191) & 0xff);
        PLDownloadFile file;
        ASSERT_EQ(file.open(dir.path(), QStringLiteral("f.bin"), answer), PLDownloadFile::Result::Ready);
        for (qsizetype at = 0; at < total; at += 8191)
            ASSERT_TRUE(file.write(QByteArrayView(expected).sliced(at, std::min<qsizetype>(8191, total - at))));
        QFile check(path);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), QByteArray("old"));
        check.close();
        ASSERT_TRUE(file.commit());
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), expected);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

// Bytes handed in with the received block that holds them are written from
// that block, kept until then; other bytes are copied when taken. Either way
// the file holds the bytes as they were when written, whatever the caller
// does with its buffers afterwards, and in order.
TEST(DownloadFileTest, BytesAreWrittenAsTheyWereWhenTaken)
{
    QTemporaryDir dir;
    FixedAnswer answer(PLFileSaveQuestion::Answer::SaveAs);
    PLDownloadFile file;
    ASSERT_EQ(file.open(dir.path(), QStringLiteral("k.bin"), answer), PLDownloadFile::Result::Ready);
    QByteArray expected;
    QByteArray scratch(8191, Qt::Uninitialized);
    for (int i = 0; i < 600; ++i) {
        QByteArray block = QByteArray("FILE ") + QByteArray::number(i) + " DATA\r\n"
                           + QByteArray(100 + i * 37 % 8000, char('a' + i % 26));
        const QByteArrayView body = QByteArrayView(block).sliced(block.indexOf('\n') + 1);
        expected += body;
        switch (i % 3) {
        case 0: // in its block: kept, and the caller's copy changes after
            ASSERT_TRUE(file.write(body, block));
            block.fill('#');
            break;
        case 1: // no block: copied, and the caller's buffer is reused at once
            scratch = block;
            scratch.detach();
            ASSERT_TRUE(file.write(QByteArrayView(scratch).sliced(block.indexOf('\n') + 1)));
            scratch.fill('#');
            break;
        default: // a block that does not hold the bytes is not trusted
            scratch = block;
            scratch.detach();
            ASSERT_TRUE(file.write(QByteArrayView(scratch).sliced(block.indexOf('\n') + 1), QByteArray("other")));
            scratch.fill('#');
            break;
        }
    }
    ASSERT_TRUE(file.commit());
    QFile check(dir.filePath(QStringLiteral("k.bin")));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), expected);
}

TEST(DownloadFileTest, DiscardRemovesTheReservedName)
{
    QTemporaryDir dir;
    FixedAnswer answer(PLFileSaveQuestion::Answer::SaveAs);
    PLDownloadFile file;
    ASSERT_EQ(file.open(dir.path(), QStringLiteral("b.txt"), answer), PLDownloadFile::Result::Ready);
    file.write("partial");
    file.discard();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST(DownloadFileTest, ALinkUnderTheNameIsNeverWrittenThrough)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("victim.txt"));
    QFile victim(target);
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    ASSERT_TRUE(QFile::link(target, dir.filePath(QStringLiteral("c.txt"))));
    for (auto choice : {PLFileSaveQuestion::Answer::Overwrite, PLFileSaveQuestion::Answer::SaveAs}) {
        FixedAnswer answer(choice);
        PLDownloadFile file;
        if (file.open(dir.path(), QStringLiteral("c.txt"), answer) == PLDownloadFile::Result::Ready) {
            file.write("evil");
            ASSERT_TRUE(file.commit());
            EXPECT_NE(file.path(), dir.filePath(QStringLiteral("c.txt")));
        }
        ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
        EXPECT_EQ(victim.readAll(), QByteArray("keep me"));
        victim.close();
    }
}

} // namespace

// The numbered name keeps the offered name as it stands: "%" and the like in
// it are text, not markers.
TEST(SaveNameTest, TakenNamesGetTheNextFreeNumberAndKeepTheirText)
{
    struct Case {
        const char *taken;
        const char *expected;
    } cases[] = {
        {"a.txt", "a (1).txt"},
        {"a%2b.txt", "a%2b (1).txt"},
        {"%1%2%3", "%1%2%3 (1)"},
        {"%2E%2e%2fescape.txt", "%2E%2e%2fescape (1).txt"},
        {"100%.tar.gz", "100% (1).tar.gz"},
        {"한글 %9 파일.png", "한글 %9 파일 (1).png"},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.taken);
        QTemporaryDir dir;
        const QString taken = QString::fromUtf8(tc.taken);
        QFile file(dir.filePath(taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        EXPECT_EQ(PLSettingFileSaveQuestion::numberedFreeName(dir.path(), taken), QString::fromUtf8(tc.expected));
    }
}

// A taken name of the largest size still gets a numbered name: the stem gives
// up its end (never half a character), the extension stays unless it alone
// leaves no room.
TEST(SaveNameTest, TakenLongNamesAreShortenedToFitTheNumber)
{
    const QString a251 = QString(251, QLatin1Char('a'));
    const QString hangul83 = QString(83, QChar(0xD55C)); // 249 bytes
    const QString emoji62 = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(62); // 248 bytes
    struct Case {
        const char *label;
        QString taken;
        QString expected;
    } cases[] = {
        {"ASCII", a251 + QStringLiteral(".txt"), QString(247, QLatin1Char('a')) + QStringLiteral(" (1).txt")},
        {"three-byte characters", hangul83 + QStringLiteral(".txt"),
         QString(82, QChar(0xD55C)) + QStringLiteral(" (1).txt")},
        {"surrogate pairs", emoji62 + QStringLiteral(".txt"),
         QString::fromUtf8("\xF0\x9F\x98\x80").repeated(61) + QStringLiteral(" (1).txt")},
        {"no extension", QString(255, QLatin1Char('b')), QString(251, QLatin1Char('b')) + QStringLiteral(" (1)")},
        {"extension leaves no room", QStringLiteral("c.") + QString(253, QLatin1Char('x')),
         QStringLiteral("c (1).") + QString(249, QLatin1Char('x'))},
    };
    for (const Case &tc : cases) {
        SCOPED_TRACE(tc.label);
        ASSERT_EQ(tc.taken.toUtf8().size() > 250, true);
        QTemporaryDir dir;
        QFile file(dir.filePath(tc.taken));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const QString numbered = PLSettingFileSaveQuestion::numberedFreeName(dir.path(), tc.taken);
        EXPECT_EQ(numbered, tc.expected);
        EXPECT_LE(numbered.toUtf8().size(), 255);
        QFile second(dir.filePath(numbered));
        EXPECT_TRUE(second.open(QIODevice::WriteOnly | QIODevice::NewOnly));
    }
}

// The whole way: a second download of a 255-byte name is saved beside the first.
TEST(DownloadFileTest, ATakenNameOfTheLargestSizeIsSavedUnderANumberedName)
{
    QTemporaryDir dir;
    QTemporaryDir home;
    UserDefaults defaults(QDir(home.path()).filePath(QStringLiteral("d.plist")));
    PLSettingFileSaveQuestion question(defaults);
    const QString name = QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
    for (int i = 0; i < 2; ++i) {
        PLDownloadFile file;
        ASSERT_EQ(file.open(dir.path(), name, question), PLDownloadFile::Result::Ready) << i;
        ASSERT_TRUE(file.write("x"));
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
