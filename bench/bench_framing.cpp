// Frames and decodes a realistic sign-in stream, beside a baseline that only
// cuts the same bytes at CR LF and spaces. Reports lines per second for both
// and their ratio.

#include "Packet/PLFrameReader.h"
#include "Packet/PLRecvPacketBuilder.h"
#include "Utils/ParleyStringAdditions.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <map>
#include <string>

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
bool carriesBody(const QString &word)
{
    return word == QLatin1String("CMSG") || word == QLatin1String("CTOC");
}

void BM_FrameAndDecode(benchmark::State &state)
{
    const Stream &stream = signInStream();
    PLRecvPacketBuilder::sharedRecvPacketBuilder();
    qint64 decoded = 0;
    for (auto _ : state) {
        PLFrameReader reader;
        reader.append(stream.bytes);
        for (;;) {
            PLFrameReader::Frame frame = reader.next();
            if (frame.status == PLFrameReader::Status::Line) {
                auto packet = PLRecvPacketBuilder::setPacketString(frame.line);
                if (packet)
                    ++decoded;
                const QStringView word = QStringView(frame.line).left(4);
                if (carriesBody(word.toString()))
                    reader.expectBody(plIntValue(QStringView(frame.line).mid(frame.line.lastIndexOf(QLatin1Char(' ')) + 1)));
                benchmark::DoNotOptimize(packet);
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

void BM_BaselineCutOnly(benchmark::State &state)
{
    const Stream &stream = signInStream();
    for (auto _ : state) {
        const QByteArray &bytes = stream.bytes;
        qsizetype pos = 0;
        qint64 fields = 0;
        while (pos < bytes.size()) {
            const qsizetype end = bytes.indexOf("\r\n", pos);
            if (end < 0)
                break;
            const QString line = QString::fromUtf8(bytes.constData() + pos, end - pos);
            const QStringList parts = line.split(QLatin1Char(' '));
            fields += parts.size();
            pos = end + 2;
            if (carriesBody(parts.first()))
                pos += plIntValue(parts.last());
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
            std::printf("frame+decode: %.0f lines/s, cut only: %.0f lines/s, ratio %.2f\n", decode->second,
                        base->second, decode->second / base->second);
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
