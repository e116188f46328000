#include "data/chime.h"

#include <QtEndian>
#include <cmath>
#include <vector>

namespace {
constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Note
{
    double start;     // seconds
    double frequency; // Hz
    double level;
};

// A bell-like tone: a few inharmonic partials, each decaying at its own pace.
double bell(double t, double f)
{
    if (t < 0)
        return 0;
    const double attack = std::min(1.0, t / 0.004);
    const double partials[][3] = {
        // ratio, level, decay per second
        {1.0, 1.00, 3.2},
        {2.0, 0.35, 5.0},
        {2.76, 0.18, 7.5},
        {5.40, 0.06, 12.0},
    };
    double v = 0;
    for (const auto& p : partials)
        v += p[1] * std::exp(-p[2] * t) * std::sin(2 * kPi * f * p[0] * t);
    return attack * v;
}

void appendLe32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void appendLe16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
} // namespace

QByteArray Chime::wav()
{
    const Note notes[] = {{0.0, 987.77, 0.55}, {0.28, 739.99, 0.50}}; // B5, then F#5
    const double length = 1.6;
    const int frames = static_cast<int>(length * kRate);

    std::vector<qint16> samples(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0;
        for (const Note& n : notes)
            v += n.level * bell(t - n.start, n.frequency);
        const double fadeOut = std::min(1.0, (length - t) / 0.05);
        v = std::clamp(v * 0.45 * fadeOut, -1.0, 1.0);
        samples[i] = static_cast<qint16>(std::lround(v * 32767));
    }

    const quint32 dataBytes = static_cast<quint32>(frames * 2);
    QByteArray out;
    out.reserve(44 + static_cast<int>(dataBytes));
    out.append("RIFF", 4);
    appendLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    appendLe32(out, 16);        // format chunk size
    appendLe16(out, 1);         // PCM
    appendLe16(out, 1);         // mono
    appendLe32(out, kRate);     // sample rate
    appendLe32(out, kRate * 2); // byte rate
    appendLe16(out, 2);         // block align
    appendLe16(out, 16);        // bits per sample
    out.append("data", 4);
    appendLe32(out, dataBytes);
    for (qint16 s : samples)
        appendLe16(out, static_cast<quint16>(s));
    return out;
}
