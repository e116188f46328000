#pragma once

// What the benchmarks share: timing one run, the median of several, and generated text.
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <algorithm>
#include <functional>
#include <random>

namespace Bench {

// The middle value (the upper one of an even count).
inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Milliseconds one run of the work takes.
inline double elapsedMs(const std::function<void()>& work)
{
    QElapsedTimer t;
    t.start();
    work();
    return double(t.nsecsElapsed()) / 1e6;
}

// How the runs of a measurement go: how many are timed, whether one untimed run warms the caches
// first, and what (untimed) comes before and after each run.
struct Turns
{
    int runs = 9;
    bool warm = false;
    std::function<void()> before = {};
    std::function<void()> after = {};
};

// The median time of the timed runs, in milliseconds.
inline double medianMs(const Turns& turns, const std::function<void()>& work)
{
    if (turns.warm) {
        if (turns.before)
            turns.before();
        work();
        if (turns.after)
            turns.after();
    }
    QList<double> times;
    for (int i = 0; i < turns.runs; ++i) {
        if (turns.before)
            turns.before();
        times << elapsedMs(work);
        if (turns.after)
            turns.after();
    }
    return median(times);
}

// Text of `length` characters drawn from the pool, with `comma` after every `clause` characters
// and `stop` instead after every `sentence` (a multiple of `clause`).
inline QString randomText(std::mt19937& gen, const QString& pool, int length, int clause = 17,
                          const QString& comma = QStringLiteral("，"), int sentence = 68,
                          const QString& stop = QStringLiteral("。"))
{
    std::uniform_int_distribution<int> pick(0, int(pool.size()) - 1);
    QString text;
    text.reserve(length + length / (clause > 0 ? clause : 1) * stop.size());
    for (int i = 0; i < length; ++i) {
        text += pool.at(pick(gen));
        if (clause > 0 && i % clause == clause - 1)
            text += (sentence > 0 && i % sentence == sentence - 1) ? stop : comma;
    }
    return text;
}

} // namespace Bench
