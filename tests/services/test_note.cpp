#include "BuddyManagement/PLMyInfoManager.h"
#include "Note/PLNote.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace parley;

namespace {

class NoteTest : public ::testing::Test
{
protected:
    void SetUp() override { PLMyInfoManager::sharedManager().setLoginID(QStringLiteral("me@vela.test")); }
    void TearDown() override { PLMyInfoManager::sharedManager().resetForTesting(); }

    // Fixes the two values that change with every memo.
    static void pin(PLNote &note)
    {
        note.mNoteHeader().setMDate(QStringLiteral("20261210131500"));
        note.mNoteHeader().setMUUID(QStringLiteral("0f8e2c4a-1b3d-4e5f-8a9b-0c1d2e3f4a5b"));
    }
};

} // namespace

TEST_F(NoteTest, NewMemoHasTheDefaultHeader)
{
    PLNote note;
    EXPECT_EQ(note.mSubCommand(), QStringLiteral("IMSG"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{14}$")).match(note.mNoteHeader().mDate()).hasMatch());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"))
                    .match(note.mNoteHeader().mUUID())
                    .hasMatch());
    EXPECT_NE(PLNote().mNoteHeader().mUUID(), note.mNoteHeader().mUUID());
    EXPECT_EQ(note.mNoteHeader().mFrom(), QStringLiteral("me@vela.test"));
}

TEST_F(NoteTest, TextFormByteForByte)
{
    const QByteArray gulim = "\xEA\xB5\xB4\xEB\xA6\xBC"; // the Gulim font's Korean name in UTF-8
    const struct {
        const char *name;
        std::function<void(PLNote &)> fill;
        QByteArray text;
    } cases[] = {
        {"one recipient, hello",
         [](PLNote &n) {
             n.addTargetID(QStringLiteral("you@vela.test"));
             n.setMessage(QStringLiteral("hello"));
         },
         "you@vela.test\r\nIMSG\r\ntitle:hello\r\nfrom:me@vela.test\r\nref:you@vela.test\r\n"
         "date:20261210131500\r\nsession_id:%00\r\nuuid:0f8e2c4a-1b3d-4e5f-8a9b-0c1d2e3f4a5b\r\n"
         "contenttype:text\r\nlength:10\r\nfont-name:"
             + gulim
             + "\r\nfont-size:10\r\nfont-color:#050505\r\nfont-style:%00\r\nref-uuid:%00\r\ncookie:\r\n"
               "event:NW\r\n\r\nhello"},
        {"two recipients, every field set, multi-line Hangul body",
         [](PLNote &n) {
             n.setTargetIDs({QStringLiteral("a@vela.test"), QStringLiteral("b@vela.test")});
             n.setMessage(QStringLiteral(u"\uC548\uB155\r\nline 2"));
             n.setSubCommand(QStringLiteral("REPL"));
             n.setSessionID(QStringLiteral("s1"));
             n.setContentType(QStringLiteral("html"));
             n.setFontName(QStringLiteral("Arial"));
             n.setFontSize(12);
             n.setFontColor(QStringLiteral("#ff0000"));
             n.setFontStyle(QStringLiteral("B"));
             n.setRefUUID(QStringLiteral("r-1"));
             n.setCookie(QStringLiteral("c 1"));
             n.setEvent(QStringLiteral("RE"));
         },
         "a@vela.test b@vela.test\r\nREPL\r\ntitle:\xEC\x95\x88\xEB\x85\x95\r\nfrom:me@vela.test\r\n"
         "ref:a@vela.test;b@vela.test\r\ndate:20261210131500\r\nsession_id:s1\r\n"
         "uuid:0f8e2c4a-1b3d-4e5f-8a9b-0c1d2e3f4a5b\r\ncontenttype:html\r\nlength:20\r\nfont-name:Arial\r\n"
         "font-size:12\r\nfont-color:#ff0000\r\nfont-style:B\r\nref-uuid:r-1\r\ncookie:c 1\r\nevent:RE\r\n\r\n"
         "\xEC\x95\x88\xEB\x85\x95\r\nline 2"},
        {"no recipients, no body",
         [](PLNote &) {},
         "\r\nIMSG\r\ntitle:%00\r\nfrom:me@vela.test\r\nref:%00\r\ndate:20261210131500\r\nsession_id:%00\r\n"
         "uuid:0f8e2c4a-1b3d-4e5f-8a9b-0c1d2e3f4a5b\r\ncontenttype:text\r\nlength:0\r\nfont-name:"
             + gulim
             + "\r\nfont-size:10\r\nfont-color:#050505\r\nfont-style:%00\r\nref-uuid:%00\r\ncookie:\r\n"
               "event:NW\r\n\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PLNote note;
        pin(note);
        c.fill(note);
        EXPECT_EQ(note.stringRepresentation().toUtf8(), c.text);
    }
}

TEST_F(NoteTest, TitleAndLengthFollowTheBody)
{
    const struct {
        QString body;
        QString title;
        qint32 length;
    } cases[] = {
        {QString(60, QLatin1Char('x')), QString(50, QLatin1Char('x')), 120},
        {QStringLiteral("abc\r\ndef"), QStringLiteral("abc"), 16},
        {QStringLiteral("abc\ndef\rg"), QStringLiteral("abc"), 18},
        {QStringLiteral("ab\rc\nd"), QStringLiteral("ab"), 12},
        {QStringLiteral("1234567"), QStringLiteral("1234567"), 14},
        {QStringLiteral("\r\nx"), QStringLiteral(""), 6},
        // The 50th unit starts a surrogate pair: the title stops before it.
        {QString(49, QLatin1Char('y')) + QStringLiteral(u"\U0001F600"), QString(49, QLatin1Char('y')), 102},
        {QString(48, QLatin1Char('y')) + QStringLiteral(u"\U0001F600z"),
         QString(48, QLatin1Char('y')) + QStringLiteral(u"\U0001F600"), 102},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        PLNote note;
        note.setMessage(c.body);
        EXPECT_EQ(note.mNoteHeader().mTitle(), c.title);
        EXPECT_EQ(note.mNoteHeader().mLength(), c.length);
    }
}

TEST_F(NoteTest, TitleSetterAndMessageReplaceEachOther)
{
    PLNote note;
    note.setMessage(QStringLiteral("first"));
    note.setTitle(QStringLiteral("given"));
    EXPECT_EQ(note.mNoteHeader().mTitle(), QStringLiteral("given"));
    note.setMessage(QStringLiteral("second"));
    EXPECT_EQ(note.mNoteHeader().mTitle(), QStringLiteral("second"));
}

TEST_F(NoteTest, RefsSkipEmptyIDsAndConfirmIsMirrored)
{
    PLNoteHeader header;
    header.setRefs({QStringLiteral("a"), QString(), QStringLiteral(""), QStringLiteral("b")});
    EXPECT_EQ(header.mRef(), QStringLiteral("a;b"));
    header.setRefs({QStringLiteral("")});
    EXPECT_TRUE(header.mRef().isNull());

    PLNote note;
    note.addTargetID(QString());
    EXPECT_TRUE(note.mTargetIDs().isEmpty());
    note.setConfirm(true);
    EXPECT_TRUE(note.confirm());
    EXPECT_TRUE(note.mNoteHeader().mConfirm());
    EXPECT_FALSE(note.stringRepresentation().contains(QStringLiteral("confirm")));
}
