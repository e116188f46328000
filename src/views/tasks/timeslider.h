#pragma once

#include <QString>
#include <QTime>
#include <optional>

class QGridLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QWidget;

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

// The slider, its time box and the "∧" and "∨" buttons on one row of a grid, with the scale
// ("0:00", "12:00", "24:00") under the slider when asked for.
struct Row
{
    QSlider* slider;
    QLineEdit* box;
    QPushButton* up;
    QPushButton* down;
    QGridLayout* layout;
};
// Makes the row's controls in parent: the slider "Slider1", the box "Text2" and the buttons by
// the given names. The scale's labels are made when addScale is called.
Row makeRow(QWidget* parent, const QString& upName, const QString& downName);
// Puts the scale under the row's slider.
void addScale(const Row& row, QWidget* parent);

} // namespace TimeSlider
