// Large attachments by mail, against the local service's mail endpoints.
#include "FileTransfer/PLMailForm.h"
#include "FileTransfer/PLMailReplies.h"
#include "FileTransfer/PLMailTransferManager.h"
#include "MailWebServer.h"
#include "NotificationNames.h"
#include "TestSupport.h"
#include "TransferClient.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace parley;
using namespace parley::test;
namespace nn = parley::notifications;

namespace {

constexpr int kUploadTimeoutMs = 60000;
using localservice::MailWebServer;


class MailUploadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(web.listen(0, nullptr));
        web.setSaveFolder(saved.path());
        alice.linkTo(bob, nullptr);
        bob.linkTo(alice, nullptr);
        mail.setMailServerURL(web.baseURL());
        mail.setBulkmailServerURL(web.baseURL());
        mail.setTemporaryFolder(temporary.path());
    }

    // Offers a file of that size and sends it by mail; answers the end notice.
    QString upload(qint64 size)
    {
        source = makeFile(alice.folder.path(), QStringLiteral("report.bin"), size);
        EXPECT_TRUE(alice.files->uploadFiles({source}, bob.userID, QStringLiteral("room-1")));
        cookie = alice.files->fileCookies().constLast();
        mail.reset();
        NotificationCenter::defaultCenter().post(
            QLatin1String(nn::kMailUploadStart), nullptr,
            {{QStringLiteral("fileCookie"), cookie}, {QStringLiteral("ticket"), QStringLiteral("T-1")},
             {QStringLiteral("cmn"), QStringLiteral("4711")}, {QStringLiteral("userID"), alice.userID},
             {QStringLiteral("sender"), QStringLiteral("alice@portal.test")}, {QStringLiteral("name"), QStringLiteral("Alice")},
             {QStringLiteral("packet"), QStringLiteral("MAIL 1 alice FILE START\t1\t") + cookie}});
        const char *ends[] = {nn::kMailUploadEnd, nn::kMailUploadFailed, nn::kMailUploadCancelled};
        QString result;
        waitUntil(
            [&] {
                for (const char *end : ends) {
                    if (events.has(end, cookie))
                        result = QLatin1String(end);
                }
                return !result.isEmpty();
            },
            kUploadTimeoutMs);
        return result;
    }

    QByteArray sourceBytes() const
    {
        QFile file(source);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    MailWebServer web;
    QTemporaryDir saved;
    TransferClient alice{QStringLiteral("alice@parley.test")};
    TransferClient bob{QStringLiteral("bob@parley.test")};
    PLMailTransferManager mail{*alice.files};
    TransferEvents events;
    QString source;
    QString cookie;
    QTemporaryDir temporary;

    QStringList leftoverMailFiles() const
    {
        return QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(MailUploadTest, SmallFileGoesAsAttachment)
{
    for (qint64 size : {qint64(1), qint64(70000), PLMailTransferManager::kMaxAttachmentSize}) {
        web.setSaveFolder(saved.path());
        const int formsBefore = int(web.forms().size());
        ASSERT_EQ(upload(size), QLatin1String(nn::kMailUploadEnd)) << size;
        ASSERT_EQ(web.forms().size(), formsBefore + 1);
        const localservice::ReceivedForm &form = web.forms().constLast();
        EXPECT_EQ(form.path, QStringLiteral("/mailsend_parley_switch.html"));
        EXPECT_EQ(form.field(QStringLiteral("to")), bob.userID.toUtf8());
        EXPECT_EQ(form.field(QStringLiteral("attachsize")), QByteArray::number(size));
        ASSERT_NE(form.filePart(), nullptr);
        EXPECT_EQ(form.filePart()->fileName, QStringLiteral("report.bin"));
        EXPECT_TRUE(form.filePart()->data == sourceBytes()) << size;
        EXPECT_EQ(events.userInfos.constLast().value(QStringLiteral("packet")).toString(),
                  QStringLiteral("MAIL 1 alice FILE START\t1\t") + cookie);
    }
    EXPECT_TRUE(leftoverMailFiles().isEmpty());
}

TEST_F(MailUploadTest, LargeFileGoesToTheBulkServerAndALinkMailFollows)
{
    ASSERT_EQ(upload(PLMailTransferManager::kMaxAttachmentSize + 1), QLatin1String(nn::kMailUploadEnd));
    EXPECT_TRUE(events.has(nn::kUploadFileCookieNotification, cookie));
    ASSERT_EQ(web.forms().size(), 2);
    const localservice::ReceivedForm &bulk = web.forms().at(0);
    EXPECT_EQ(bulk.path, QStringLiteral("/upload/sid=7"));
    EXPECT_EQ(bulk.field(QStringLiteral("usersn")), QByteArray("4711"));
    EXPECT_EQ(bulk.field(QStringLiteral("filesize")), QByteArray::number(PLMailTransferManager::kMaxAttachmentSize + 1));
    ASSERT_NE(bulk.filePart(), nullptr);
    EXPECT_TRUE(bulk.filePart()->data == sourceBytes());
    const localservice::ReceivedForm &link = web.forms().at(1);
    EXPECT_EQ(link.path, QStringLiteral("/mailsend_parley_switch.html"));
    EXPECT_EQ(link.filePart(), nullptr);
    EXPECT_TRUE(link.field(QStringLiteral("body")).contains("/download/sid=7&info="));
    EXPECT_TRUE(leftoverMailFiles().isEmpty());
}

TEST_F(MailUploadTest, EmptyFileIsCancelled)
{
    EXPECT_EQ(upload(0), QLatin1String(nn::kMailUploadCancelled));
    EXPECT_TRUE(web.forms().isEmpty());
    EXPECT_TRUE(leftoverMailFiles().isEmpty());
}

TEST_F(MailUploadTest, BulkReturnCodeOtherThanZeroFails)
{
    web.setBulkReturnCode(3);
    EXPECT_EQ(upload(PLMailTransferManager::kMaxAttachmentSize + 1), QLatin1String(nn::kMailUploadFailed));
    EXPECT_EQ(web.forms().size(), 1); // no link mail
    EXPECT_TRUE(leftoverMailFiles().isEmpty());
}

TEST_F(MailUploadTest, UnreachableServersAreReportedNotAwaited)
{
    const QString nowhere = QStringLiteral("http://127.0.0.1:%1").arg(refusedLoopbackPort());
    mail.setBulkmailServerURL(nowhere);
    EXPECT_EQ(upload(PLMailTransferManager::kMaxAttachmentSize + 1), QLatin1String(nn::kMailUploadFailed));
    mail.setMailServerURL(nowhere);
    EXPECT_EQ(upload(100), QLatin1String(nn::kMailUploadFailed));
    EXPECT_TRUE(leftoverMailFiles().isEmpty());
}

TEST(MailFormTest, BoundaryShape)
{
    const QRegularExpression shape(QStringLiteral("^-{27}[0-9a-f]{13}0$"));
    const QString a = PLMailForm::createBoundary();
    EXPECT_TRUE(shape.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, PLMailForm::createBoundary());
}

TEST(MailFormTest, SizeTexts)
{
    const std::pair<qint64, const char *> cases[] = {{1023999, "1000.00 KB"}, {1024000, "0.98 MB"},
                                                     {1048575999, "1000.00 MB"}, {1048576000, "0.98 GB"}, {0, "0.00 KB"}};
    for (const auto &[size, text] : cases)
        EXPECT_EQ(PLMailForm::sizeText(size), QLatin1String(text)) << size;
}

TEST(MailFormTest, LongFileNamesAreCutInTheSubject)
{
    const QString thirty(30, QLatin1Char('n'));
    EXPECT_TRUE(PLMailForm::makeSubject(QStringLiteral("Al"), thirty).contains(thirty));
    EXPECT_FALSE(PLMailForm::makeSubject(QStringLiteral("Al"), thirty).contains(QStringLiteral("...")));
    const QString subject = PLMailForm::makeSubject(QStringLiteral("Al"), thirty + QStringLiteral("X"));
    EXPECT_TRUE(subject.contains(thirty + QStringLiteral("...")));
    EXPECT_FALSE(subject.contains(QStringLiteral("X")));
}

TEST(MailFormTest, MailFieldsInOrderAndAttachmentOnlyWhenSmall)
{
    const QVariantMap info{{QStringLiteral("ticket"), QStringLiteral("T")}, {QStringLiteral("userID"), QStringLiteral("u")},
                           {QStringLiteral("filesize"), 12}, {QStringLiteral("filename"), QStringLiteral("f.txt")}};
    const QString small = PLMailForm::makeMail(info, QStringLiteral("B"), false);
    const QRegularExpression names(QStringLiteral("form-data; name=\"([^\"]+)\""));
    QStringList order;
    for (auto it = names.globalMatch(small); it.hasNext();)
        order << it.next().captured(1);
    EXPECT_EQ(order, (QStringList{"ticket", "id", "act", "Reply_To", "to", "cc", "bcc", "subject", "body", "edit_type",
                                  "priority", "save_flag", "h_Sign", "src", "attachsize", "send_charset", "ret_charset",
                                  "ret_lang", "AttachFile[]"}));
    EXPECT_FALSE(PLMailForm::makeMail(info, QStringLiteral("B"), true).contains(QStringLiteral("AttachFile[]")));
    EXPECT_TRUE(PLMailForm::makeMail({}, QStringLiteral("B"), false).isEmpty());
}

} // namespace

namespace {

TEST(MailRepliesTest, TicketReplies)
{
    struct Case
    {
        const char *reply;
        bool parsed;
        int serverID;
        const char *serial;
        int rdays;
        int maxcnt;
    };
    const Case cases[] = {
        {"server_id=7&ticketsn=AB12&kind=0&rdays=14&maxcnt=20", true, 7, "AB12", 14, 20},
        {"server_id=3&ticketsn=x&unused&rdays=1&maxcnt=2&extra=9\r\n", true, 3, "x", 1, 2},
        {"server_id=7&ticketsn=AB12&kind=0&rdays=14", false, 0, "", 0, 0},
        {"ticketsn=AB12&a&b&c&d", false, 0, "", 0, 0},
        {"server_id=&ticketsn=S&k&rdays=1&maxcnt=1", false, 0, "", 0, 0},
        {"server_id=-4&ticketsn=S&k&rdays=1&maxcnt=1", false, 0, "", 0, 0},
        {"", false, 0, "", 0, 0},
    };
    for (const Case &c : cases) {
        const auto info = PLMailReplies::parseTicketReply(QString::fromUtf8(c.reply));
        ASSERT_EQ(info.has_value(), c.parsed) << c.reply;
        if (!info)
            continue;
        EXPECT_EQ(info->serverID, c.serverID) << c.reply;
        EXPECT_EQ(info->ticketSN, QLatin1String(c.serial)) << c.reply;
        EXPECT_EQ(info->rdays, c.rdays) << c.reply;
        EXPECT_EQ(info->maxcnt, c.maxcnt) << c.reply;
    }
}

TEST(MailRepliesTest, BulkReplies)
{
    struct Case
    {
        const char *reply;
        bool parsed;
        int code;
        const char *info;
    };
    const Case cases[] = {{"0&abc123", true, 0, "abc123"}, {"rtcode=3&info=zz", true, 3, "zz"},
                          {"0", true, 0, ""},             {"ok&abc", false, 0, ""},
                          {"", false, 0, ""}};
    for (const Case &c : cases) {
        const auto result = PLMailReplies::parseBulkReply(QByteArray(c.reply));
        ASSERT_EQ(result.has_value(), c.parsed) << c.reply;
        if (!result)
            continue;
        EXPECT_EQ(result->returnCode, c.code) << c.reply;
        EXPECT_EQ(result->info, QLatin1String(c.info)) << c.reply;
    }
}

} // namespace
