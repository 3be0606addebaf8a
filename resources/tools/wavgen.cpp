// parley-wavgen: writes the messenger's event sounds, short tones of our own
// making, as WAV files (PCM, 16-bit, mono, 22 050 Hz) into a folder.
//   parley-wavgen <folder>
// Each sound is a few notes: a sine with a touch of its octave, a quick
// attack and an exponential fade, so that nothing clicks. The output is the
// same bytes on every run.

#include <QByteArray>
#include <QDir>
#include <QSaveFile>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Note {
    double frequency; // Hz; 0 is a rest
    double seconds;
};

struct Sound {
    const char *name;
    std::vector<Note> notes;
    double volume;
};

const std::vector<Sound> &sounds()
{
    // Notes by frequency: C5 523.25, E5 659.26, G5 783.99, A5 880.00,
    // B5 987.77, C6 1046.50, D5 587.33, E6 1318.51, G6 1567.98.
    static const std::vector<Sound> all{
        {"login", {{523.25, 0.09}, {659.26, 0.09}, {783.99, 0.22}}, 0.45},
        {"buddy_login", {{659.26, 0.08}, {880.00, 0.20}}, 0.45},
        {"recv_chat", {{987.77, 0.07}, {0, 0.03}, {987.77, 0.14}}, 0.40},
        {"recv_memo", {{783.99, 0.10}, {587.33, 0.22}}, 0.45},
        {"trans_comp", {{1046.50, 0.06}, {1318.51, 0.06}, {1567.98, 0.18}}, 0.35},
        {"minicubby", {{880.00, 0.06}, {0, 0.04}, {880.00, 0.16}}, 0.35},
    };
    return all;
}

std::vector<int16_t> render(const Sound &sound)
{
    std::vector<int16_t> samples;
    const double pi = std::acos(-1.0);
    for (const Note &note : sound.notes) {
        const int count = int(note.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            double value = 0;
            if (note.frequency > 0) {
                const double t = double(i) / kRate;
                const double attack = std::min(1.0, t / 0.005);
                const double release = std::exp(-4.0 * t / note.seconds);
                // The last few milliseconds go down to silence.
                const double tail = std::min(1.0, double(count - i) / (0.004 * kRate));
                value = (std::sin(2 * pi * note.frequency * t) + 0.25 * std::sin(4 * pi * note.frequency * t)) / 1.25;
                value *= attack * release * tail * sound.volume;
            }
            samples.push_back(int16_t(std::lround(value * 32767.0)));
        }
    }
    return samples;
}

void append16(QByteArray &out, uint16_t v)
{
    out.append(char(v & 0xff));
    out.append(char(v >> 8));
}

void append32(QByteArray &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

QByteArray wave(const std::vector<int16_t> &samples)
{
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    append32(out, 36 + dataBytes);
    out.append("WAVE");
    out.append("fmt ");
    append32(out, 16);
    append16(out, 1); // PCM
    append16(out, 1); // mono
    append32(out, kRate);
    append32(out, kRate * 2);
    append16(out, 2);
    append16(out, 16);
    out.append("data");
    append32(out, dataBytes);
    for (int16_t s : samples)
        append16(out, uint16_t(s));
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: parley-wavgen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "parley-wavgen: cannot make %s\n", argv[1]);
        return 1;
    }
    for (const Sound &sound : sounds()) {
        QSaveFile file(folder + QLatin1Char('/') + QLatin1String(sound.name) + QStringLiteral(".wav"));
        if (!file.open(QIODevice::WriteOnly) || file.write(wave(render(sound))) < 0 || !file.commit()) {
            std::fprintf(stderr, "parley-wavgen: cannot write %s\n", sound.name);
            return 1;
        }
    }
    return 0;
}
