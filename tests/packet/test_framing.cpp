#include "Log.h"
#include "Packet/PLFrameReader.h"
#include "Utils/ParleyDataAdditions.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace parley;

namespace {
QStringList gLogged;
void captureLog(const QString &line) { gLogged.append(line); }

struct LogCapture {
    LogCapture()
    {
        gLogged.clear();
        setLogSink(captureLog);
    }
    ~LogCapture() { setLogSink(nullptr); }
};
} // namespace

TEST(HeaderDivider, FindsTheCrOfTheFirstCrLf)
{
    const struct {
        QByteArray buffer;
        qsizetype divider;
    } cases[] = {
        {"PING 1\r\nPONG 2", 6},
        {"PING 1\r", kParleyNotFound},
        {"PING 1\n\r\n", 7}, // a lone LF is part of the line
        {"abc\r\r\n", 4},    // in CR CR LF the second CR starts the pair
        {"\r\n", 0},
        {"", kParleyNotFound},
        {"\n", kParleyNotFound},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.buffer.toStdString());
        EXPECT_EQ(parleyHeaderDividerLocation(c.buffer), c.divider);
    }
}

TEST(ExtractHeader, TakesOneLineAndLeavesTheRest)
{
    QByteArray buffer("PING 1\r\nPONG 2");
    ParleyHeader first = extractParleyHeader(buffer);
    EXPECT_EQ(first.kind, ParleyHeader::Kind::Line);
    EXPECT_EQ(first.line, QStringLiteral("PING 1"));
    EXPECT_EQ(buffer, QByteArray("PONG 2"));
    EXPECT_EQ(extractParleyHeader(buffer).kind, ParleyHeader::Kind::NeedMore);
    EXPECT_EQ(buffer, QByteArray("PONG 2"));
}

TEST(ExtractHeader, WaitsForTheLfAfterACr)
{
    QByteArray buffer("PING 1\r");
    EXPECT_EQ(extractParleyHeader(buffer).kind, ParleyHeader::Kind::NeedMore);
    EXPECT_EQ(buffer.size(), 7);
    buffer.append('\n');
    ParleyHeader header = extractParleyHeader(buffer);
    EXPECT_EQ(header.kind, ParleyHeader::Kind::Line);
    EXPECT_EQ(header.line, QStringLiteral("PING 1"));
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(ExtractHeader, CutsAtAZeroByteButConsumesTheWholeLine)
{
    QByteArray buffer("MESG 1 ab\0cd\r\nNEXT", 18);
    ParleyHeader header = extractParleyHeader(buffer);
    EXPECT_EQ(header.kind, ParleyHeader::Kind::Line);
    EXPECT_EQ(header.line, QStringLiteral("MESG 1 ab"));
    EXPECT_EQ(buffer, QByteArray("NEXT"));
}

TEST(ExtractHeader, KeepsALoneCrOrLfInsideTheLine)
{
    QByteArray buffer("a\rb\nc\r\n");
    EXPECT_EQ(extractParleyHeader(buffer).line, QStringLiteral("a\rb\nc"));
}

TEST(ExtractHeader, DropsInvalidUtf8AndReportsIt)
{
    LogCapture capture;
    QByteArray buffer("bad \xff line\r\nPING 2\r\n");
    ParleyHeader dropped = extractParleyHeader(buffer);
    EXPECT_EQ(dropped.kind, ParleyHeader::Kind::Dropped);
    ASSERT_EQ(gLogged.size(), 1);
    EXPECT_TRUE(gLogged.first().startsWith(QStringLiteral("break : object is nil (")));
    // The line behind the dropped one is not stalled.
    ParleyHeader next = extractParleyHeader(buffer);
    EXPECT_EQ(next.kind, ParleyHeader::Kind::Line);
    EXPECT_EQ(next.line, QStringLiteral("PING 2"));
}

TEST(ExtractHeader, DecodesMultibyteUtf8)
{
    QByteArray buffer("NNIK 0 \xed\x95\x9c\xea\xb8\x80\r\n");
    EXPECT_EQ(extractParleyHeader(buffer).line, QStringLiteral("NNIK 0 한글"));
}

TEST(ExtractBody, ReturnsNothingUntilEnoughBytes)
{
    QByteArray buffer("123456789");
    EXPECT_FALSE(extractParleyBodyWithLength(buffer, 10).has_value());
    EXPECT_EQ(buffer.size(), 9);
    buffer.append("abc");
    auto body = extractParleyBodyWithLength(buffer, 10);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, QByteArray("123456789a"));
    EXPECT_EQ(buffer, QByteArray("bc"));
    auto empty = extractParleyBodyWithLength(buffer, 0);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(buffer, QByteArray("bc"));
}

TEST(HttpHeaderRange, FindsTheBlankLine)
{
    const struct {
        QByteArray data;
        qsizetype location;
        qsizetype length;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", 0, 38},
        {"HTTP/1.1 200 OK\r\n\r", kParleyNotFound, 0},
        // A CR where LF is expected resets without starting a new match.
        {"A\r\r\n\r\nB", kParleyNotFound, 0},
        {"A\r\r\n\r\n\r\n", 0, 8},
        {"", kParleyNotFound, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.data.toStdString());
        const ParleyRange range = HTTPHeaderRange(c.data);
        EXPECT_EQ(range.location, c.location);
        EXPECT_EQ(range.length, c.length);
    }
}

TEST(FrameReader, DeliversLinesAndAnnouncedBodiesAcrossFragments)
{
    const QByteArray stream("CMSG 0 u1 5\r\nhelloPING 7\r\n");
    PLFrameReader reader;
    QStringList events;
    // Byte at a time: the worst split a network can produce.
    for (char byte : stream) {
        reader.append(QByteArray(1, byte));
        for (;;) {
            PLFrameReader::Frame frame = reader.next();
            if (frame.status == PLFrameReader::Status::Line) {
                events << frame.line;
                if (frame.line.startsWith(QLatin1String("CMSG"))) {
                    ASSERT_TRUE(reader.expectBody(5));
                }
            } else if (frame.status == PLFrameReader::Status::Body) {
                events << QStringLiteral("body:") + QString::fromUtf8(frame.body);
            } else {
                ASSERT_EQ(frame.status, PLFrameReader::Status::NeedMore);
                break;
            }
        }
    }
    EXPECT_EQ(events, (QStringList{QStringLiteral("CMSG 0 u1 5"), QStringLiteral("body:hello"), QStringLiteral("PING 7")}));
    EXPECT_EQ(reader.bufferedBytes(), 0);
}

TEST(FrameReader, ZeroLengthDeliversAnEmptyBody)
{
    // A handler that announced its body waits for it, even an empty one.
    PLFrameReader reader;
    reader.append("CONF 0 7 0\r\nPING 1\r\n");
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::Line);
    EXPECT_TRUE(reader.expectBody(0));
    EXPECT_TRUE(reader.isAwaitingBody());
    PLFrameReader::Frame body = reader.next();
    EXPECT_EQ(body.status, PLFrameReader::Status::Body);
    EXPECT_TRUE(body.body.isEmpty());
    EXPECT_FALSE(reader.isAwaitingBody());
    PLFrameReader::Frame next = reader.next();
    EXPECT_EQ(next.status, PLFrameReader::Status::Line);
    EXPECT_EQ(next.line, QStringLiteral("PING 1"));
}

namespace {
// Sets the reader to hand out bodies as views, gives it `bytes`, reads their
// first line and announces the body of `length` that follows it.
bool readLineAwaitingBody(PLFrameReader &reader, const QByteArray &bytes, qint64 length)
{
    reader.setCopiesBodies(false);
    reader.append(bytes);
    return reader.next().status == PLFrameReader::Status::Line && reader.expectBody(length);
}
} // namespace

// Without body copies a body is a view of the reader's bytes, shared as a
// whole only when it is all that is buffered.
TEST(FrameReader, BodiesAsViewsCopyNothing)
{
    PLFrameReader reader;
    ASSERT_TRUE(readLineAwaitingBody(reader, "FILE 1 DATA 3\r\nabcFILE 2 DATA 2\r\n", 3));
    const PLFrameReader::Frame first = reader.next();
    ASSERT_EQ(first.status, PLFrameReader::Status::Body);
    EXPECT_TRUE(first.body.isNull());
    EXPECT_EQ(first.bodyView, QByteArrayView("abc"));
    ASSERT_EQ(reader.next().line, QStringLiteral("FILE 2 DATA 2"));
    ASSERT_TRUE(reader.expectBody(2));
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
    const QByteArray last("xy");
    reader.append(last);
    const PLFrameReader::Frame second = reader.next();
    ASSERT_EQ(second.status, PLFrameReader::Status::Body);
    EXPECT_EQ(second.body, last);
    EXPECT_EQ(second.bodyView, QByteArrayView("xy"));
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
}

TEST(FrameReader, RefusesBodyLengthsOutOfRange)
{
    const qint64 lengths[] = {-1, -2147483647, PLFrameReader::kMaxBodyLength + 1, qint64(1) << 40};
    for (qint64 length : lengths) {
        SCOPED_TRACE(length);
        PLFrameReader reader;
        reader.append("CMSG 0 u1 x\r\nPING 1\r\n");
        ASSERT_EQ(reader.next().status, PLFrameReader::Status::Line);
        EXPECT_FALSE(reader.expectBody(length));
        // Once in error, the reader delivers nothing more until cleared.
        EXPECT_EQ(reader.next().status, PLFrameReader::Status::ProtocolError);
        reader.clear();
        reader.append("PING 2\r\n");
        EXPECT_EQ(reader.next().line, QStringLiteral("PING 2"));
    }
    PLFrameReader reader;
    EXPECT_TRUE(reader.expectBody(PLFrameReader::kMaxBodyLength));
}

TEST(FrameReader, RefusesAnEndlessHeaderLine)
{
    PLFrameReader reader;
    reader.append(QByteArray(PLFrameReader::kMaxHeaderLength, 'A'));
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
    reader.append("A");
    PLFrameReader::Frame frame = reader.next();
    EXPECT_EQ(frame.status, PLFrameReader::Status::ProtocolError);
    EXPECT_FALSE(frame.error.isEmpty());
}

TEST(FrameReader, RefusesAnOverlongTerminatedLine)
{
    PLFrameReader reader;
    reader.append(QByteArray(PLFrameReader::kMaxHeaderLength + 10, 'A') + "\r\n");
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::ProtocolError);
}

TEST(FrameReader, GoesOnAfterADroppedLine)
{
    LogCapture capture;
    PLFrameReader reader;
    reader.append("\xc3\x28\r\nPING 3\r\n");
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::Dropped);
    PLFrameReader::Frame frame = reader.next();
    EXPECT_EQ(frame.status, PLFrameReader::Status::Line);
    EXPECT_EQ(frame.line, QStringLiteral("PING 3"));
}

TEST(FrameReader, ClearForgetsAnAwaitedBody)
{
    PLFrameReader reader;
    reader.append("CMSG 0 u1 100\r\npartial");
    reader.next();
    ASSERT_TRUE(reader.expectBody(100));
    reader.clear();
    EXPECT_FALSE(reader.isAwaitingBody());
    reader.append("PING 1\r\n");
    EXPECT_EQ(reader.next().line, QStringLiteral("PING 1"));
}

// The reader widens each line into the buffer of the line before once that
// line's users have let it go. A line kept by its user must keep its text.
TEST(FrameReader, AKeptLineKeepsItsTextWhileLaterLinesReuseTheBuffer)
{
    QByteArray stream;
    QStringList expected;
    for (int i = 0; i < 200; ++i) {
        QByteArray line = "LIST 6 " + QByteArray::number(i) + " 200 " + QByteArray(i % 37, char('a' + i % 26));
        if (i % 50 == 7)
            line += " caf\xc3\xa9"; // not plain ASCII: decoded the general way
        if (i % 50 == 9)
            line += QByteArray("\0cut", 4); // text after a zero byte is dropped
        stream += line + "\r\n";
        expected << QString::fromUtf8(line.left(line.indexOf('\0') < 0 ? line.size() : line.indexOf('\0')));
    }
    PLFrameReader reader;
    reader.append(stream);
    QStringList kept;
    const QChar *previous = nullptr;
    int reused = 0;
    for (int i = 0; i < 200; ++i) {
        const PLFrameReader::Frame frame = reader.next();
        ASSERT_EQ(frame.status, PLFrameReader::Status::Line);
        EXPECT_EQ(frame.line, expected[i]);
        reused += frame.line.constData() == previous;
        previous = frame.line.constData();
        if (i % 3 == 0)
            kept << frame.line;
    }
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
    for (int i = 0, k = 0; i < 200; i += 3, ++k)
        EXPECT_EQ(kept[k], expected[i]) << i;
    EXPECT_GT(reused, 60);
}

namespace {

// Frames `blocks` as the session does: a FILE DATA line announces its body.
// With `appendEarly`, each block after the first is appended as soon as one
// frame of the one before has been read, while more of it is still unread.
QStringList frameBlocks(const QList<QByteArray> &blocks, bool appendEarly)
{
    PLFrameReader reader;
    reader.setCopiesBodies(false);
    QStringList events;
    qsizetype nextBlock = 0;
    reader.append(blocks[nextBlock++]);
    for (;;) {
        const PLFrameReader::Frame frame = reader.next();
        if (frame.status == PLFrameReader::Status::Line) {
            events << frame.line;
            if (frame.line.startsWith(QLatin1String("FILE")))
                reader.expectBody(frame.line.section(QLatin1Char(' '), 3).toLongLong());
        } else if (frame.status == PLFrameReader::Status::Body) {
            events << QStringLiteral("body:") + QString::fromLatin1(frame.bodyView);
        } else if (frame.status != PLFrameReader::Status::NeedMore) {
            events << QStringLiteral("error");
            break;
        }
        const bool early = appendEarly && frame.status != PLFrameReader::Status::NeedMore;
        if ((early || frame.status == PLFrameReader::Status::NeedMore) && nextBlock < blocks.size())
            reader.append(blocks[nextBlock++]);
        else if (frame.status == PLFrameReader::Status::NeedMore)
            break;
    }
    if (reader.bufferedBytes() != 0)
        events << QStringLiteral("left:%1").arg(reader.bufferedBytes());
    return events;
}

} // namespace

// However the connection cuts the stream into blocks (a cut inside a line, a
// body, or between CR and LF), the same frames come out in the same order.
TEST(FrameReader, EveryCutOfTheStreamGivesTheSameFrames)
{
    const QByteArray stream("FILE 1 DATA 5\r\nabcdeFILE 2 DATA 0\r\nPING 3\r\nFILE 4 DATA 3\r\nx\r\nPONG 5\r\n");
    const QStringList expected{QStringLiteral("FILE 1 DATA 5"), QStringLiteral("body:abcde"),
                               QStringLiteral("FILE 2 DATA 0"), QStringLiteral("body:"),
                               QStringLiteral("PING 3"),        QStringLiteral("FILE 4 DATA 3"),
                               QStringLiteral("body:x\r\n"),    QStringLiteral("PONG 5")};
    ASSERT_EQ(frameBlocks({stream}, false), expected);
    for (const bool early : {false, true}) {
        for (qsizetype first = 1; first < stream.size(); ++first) {
            for (qsizetype second = first; second < stream.size(); second += 7) {
                SCOPED_TRACE(QStringLiteral("early %1, cuts at %2 and %3").arg(early).arg(first).arg(second).toStdString());
                QList<QByteArray> blocks{stream.left(first)};
                if (second > first)
                    blocks << stream.mid(first, second - first);
                blocks << stream.mid(second);
                EXPECT_EQ(frameBlocks(blocks, early), expected);
            }
        }
    }
}

// A block that completes a cut frame is read in place: only the cut frame's
// bytes are joined, and the bodies behind it are views into the block itself,
// which the frame hands on so that a body can be kept without a copy.
TEST(FrameReader, ABlockAfterACutFrameIsReadInPlace)
{
    PLFrameReader reader;
    ASSERT_TRUE(readLineAwaitingBody(reader, "FILE 1 DATA 6\r\nabc", 6));
    ASSERT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
    const QByteArray block("defFILE 2 DATA 4\r\nghijFILE 3 DATA 2\r\nkl");
    reader.append(block);
    const PLFrameReader::Frame joined = reader.next();
    ASSERT_EQ(joined.status, PLFrameReader::Status::Body);
    EXPECT_EQ(joined.bodyView, QByteArrayView("abcdef"));
    for (const QByteArrayView body : {QByteArrayView("ghij"), QByteArrayView("kl")}) {
        const PLFrameReader::Frame line = reader.next();
        ASSERT_EQ(line.status, PLFrameReader::Status::Line);
        ASSERT_TRUE(reader.expectBody(body.size()));
        const PLFrameReader::Frame frame = reader.next();
        ASSERT_EQ(frame.status, PLFrameReader::Status::Body);
        EXPECT_EQ(frame.bodyView, body);
        EXPECT_GE(frame.bodyView.data(), block.constData());
        EXPECT_LE(frame.bodyView.data() + frame.bodyView.size(), block.constData() + block.size());
        EXPECT_EQ(frame.block.constData(), block.constData());
    }
    EXPECT_EQ(reader.next().status, PLFrameReader::Status::NeedMore);
    EXPECT_EQ(reader.bufferedBytes(), 0);
}
