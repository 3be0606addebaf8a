// Frames and decodes a realistic sign-in stream, beside the lean limit of
// that work: one pass that only finds the CR LFs and spaces of the same bytes.
// Reports lines per second for both and their ratio (decoding's share of the
// limit).

#include "Packet/PLFrameReader.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Utils/ParleyStringAdditions.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>

using namespace parley;

namespace {

struct Stream {
    QByteArray bytes;
    int lines = 0;
};

// 5,000 LIST lines of 18 fields and 5,100 GLST lines as a sign-in delivers
// them, with keepalives, messages with bodies and error replies between them.
Stream makeSignInStream()
{
    Stream s;
    const auto line = [&s](const QByteArray &text) {
        s.bytes += text;
        s.bytes += "\r\n";
        ++s.lines;
    };
    line("GLST 3 42");
    for (int g = 0; g < 100; ++g)
        line("GLST 3 " + QByteArray::number(g) + " 5100 Y " + QByteArray::number(g + 1)
             + " Group%20number%20" + QByteArray::number(g) + " 0");
    for (int b = 0; b < 5000; ++b) {
        line("GLST 3 " + QByteArray::number(100 + b) + " 5100 N cmn" + QByteArray::number(b) + " "
             + QByteArray::number(b % 100 + 1));
        if (b % 50 == 0)
            line("PING 0");
    }
    for (int b = 0; b < 5000; ++b) {
        const QByteArray n = QByteArray::number(b);
        line("LIST 4 " + n + " 5000 1100 user" + n + "@example.com cmn" + n + " Name%20" + n
             + " Nick%20" + n + " 010-0000-" + n + " user" + n + "@example.com 19900101 ocmn" + n
             + " S Y m" + n + " 20200101 N");
        if (b % 100 == 0) {
            const QByteArray body = "MSG\tHello there, this is message " + n + "\tFont\t0";
            line("CMSG 0 friend" + n + "@example.com " + QByteArray::number(body.size()));
            s.bytes += body;
            const QByteArray note = "note from the service " + n;
            line("CTOC 0 svc@example.com " + QByteArray::number(note.size()));
            s.bytes += note;
        }
        if (b % 500 == 0)
            line("301 " + n + " 2 Server%20busy");
    }
    return s;
}

const Stream &signInStream()
{
    static const Stream stream = makeSignInStream();
    return stream;
}

// Commands whose last field announces a body, as the sessions read them.
bool carriesBody(QStringView word)
{
    return word == QLatin1String("CMSG") || word == QLatin1String("CTOC");
}

// As a session decodes: each line into the packet the line before handed
// back when it is of the same word (PLSession's spare packet).
void BM_FrameAndDecode(benchmark::State &state)
{
    const Stream &stream = signInStream();
    PLRecvPacketBuilder::sharedRecvPacketBuilder();
    qint64 decoded = 0;
    for (auto _ : state) {
        PLFrameReader reader;
        reader.append(stream.bytes);
        std::unique_ptr<PLRecvPacket> spare;
        for (;;) {
            PLFrameReader::Frame frame = reader.next();
            if (frame.status == PLFrameReader::Status::Line) {
                auto packet = PLRecvPacketBuilder::setPacketString(frame.line, std::move(spare));
                if (packet)
                    ++decoded;
                if (carriesBody(QStringView(frame.line).left(4)))
                    reader.expectBody(plIntValue(QStringView(frame.line).mid(frame.line.lastIndexOf(QLatin1Char(' ')) + 1)));
                benchmark::DoNotOptimize(packet);
                if (packet && packet->isReusable())
                    spare = std::move(packet);
            } else if (frame.status == PLFrameReader::Status::Body) {
                benchmark::DoNotOptimize(frame.body);
            } else {
                break;
            }
        }
    }
    benchmark::DoNotOptimize(decoded);
    state.counters["lines_per_s"] = benchmark::Counter(double(stream.lines) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameAndDecode)->Unit(benchmark::kMillisecond);

// The lean limit of the same work: one pass over the bytes that finds each
// CR LF and each space with memchr, takes the fields as views of the bytes
// (nothing allocated, nothing decoded) and steps over the announced bodies.
void BM_BaselineCutOnly(benchmark::State &state)
{
    const Stream &stream = signInStream();
    for (auto _ : state) {
        const char *at = stream.bytes.constData();
        const char *const end = at + stream.bytes.size();
        qint64 fields = 0;
        while (at < end) {
            const char *cr = static_cast<const char *>(std::memchr(at, '\r', size_t(end - at)));
            while (cr && cr + 1 < end && cr[1] != '\n')
                cr = static_cast<const char *>(std::memchr(cr + 1, '\r', size_t(end - cr - 1)));
            if (!cr || cr + 1 >= end)
                break;
            std::string_view word;
            std::string_view last;
            for (const char *field = at;;) {
                const char *space = static_cast<const char *>(std::memchr(field, ' ', size_t(cr - field)));
                const char *fieldEnd = space ? space : cr;
                last = std::string_view(field, size_t(fieldEnd - field));
                if (field == at)
                    word = last;
                ++fields;
                if (!space)
                    break;
                field = space + 1;
            }
            at = cr + 2;
            if (word == "CMSG" || word == "CTOC") {
                qint64 length = 0;
                std::from_chars(last.data(), last.data() + last.size(), length);
                at += length;
            }
        }
        benchmark::DoNotOptimize(fields);
    }
    state.counters["lines_per_s"] = benchmark::Counter(double(stream.lines) * double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BaselineCutOnly)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and, at the end, the ratio of the two rates.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto it = run.counters.find("lines_per_s");
            if (it != run.counters.end())
                mRates[run.benchmark_name()] = it->second.value; // already a rate
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto decode = mRates.find("BM_FrameAndDecode");
        const auto base = mRates.find("BM_BaselineCutOnly");
        if (decode != mRates.end() && base != mRates.end() && base->second > 0)
            std::printf("frame+decode: %.0f lines/s, lean cut (memchr, views): %.0f lines/s, ratio %.3f\n",
                        decode->second, base->second, decode->second / base->second);
    }

private:
    std::map<std::string, double> mRates;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
