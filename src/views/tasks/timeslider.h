#pragma once

#include <QString>
#include <QTime>
#include <optional>

// The time-of-day slider of the task dialogs: 145 positions, one every ten minutes, and the
// time box beside it.
namespace TimeSlider {

constexpr int kPositions = 144;

// The time a position stands for, as shown in the box: "8:30:00"; the last position "24:00:00".
QString textAt(int position);

// The position a time loads at: its fraction of the day to two decimals, times 144, rounded
// half to even (14:30 gives 86, 23:00 gives 138).
int positionOf(const QTime& time);

// The time typed in the box ("8:30:00", "08:30", "24:00:00"), or nothing when it is not a time
// of day. "24:00:00" is the end of the day, kept as 23:59:59.
std::optional<QTime> parse(const QString& text);

// The box's time moved by whole minutes around the clock ("∧" +1, "∨" -1); a text that is not a
// time stays as it is.
QString shifted(const QString& text, int minutes);

} // namespace TimeSlider
