#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <array>

// The four quadrants of importance and urgency over the tasks (table renwu): the open tasks of
// each quadrant, moving a task between quadrants, and the week's outcome per quadrant. Every
// function throws Db::Error when the database fails.
namespace Quadrant {

// Quadrants in board order: 0 important and urgent, 1 important not urgent, 2 urgent not
// important, 3 neither.
constexpr int kCount = 4;
int importance(int quadrant); // zhongyao of the quadrant (1 or 0)
int urgency(int quadrant);    // jinpo of the quadrant (1 or 0)
// The quadrant of a task's importance and urgency (any value other than 0 counts as set).
int of(int zhongyao, int jinpo);

// Which open tasks the board shows.
enum Range { Today = 0, ThisWeek = 1, Unplanned = 2, AllOpen = 3 };

struct Filter
{
    Range range = ThisWeek;
    QDate today;      // the day "today" and "this week" are taken from
    qint64 theme = 0; // 0: every theme
};

// Monday and Sunday of the week holding the day.
QDate weekStart(const QDate& day);
QDate weekEnd(const QDate& day);

struct Item
{
    qint64 id = 0;
    QString title;
    QDate day;  // null: not scheduled
    QTime time; // null: no reminder
};

struct Board
{
    // The first rows of each quadrant by day, time and order number, and how many there are.
    std::array<QList<Item>, kCount> rows;
    std::array<int, kCount> counts{};
};

// The open tasks of the filter, at most `cap` rows per quadrant, with each quadrant's full count.
Board board(const Filter& filter, int cap);

// Stores the quadrant's importance and urgency for the task in one statement; false when the
// task no longer exists.
bool move(qint64 taskId, int quadrant);

// Outcome columns of the review.
enum Outcome { Completed = 0, Abandoned = 1, LeftOpen = 2 };
constexpr int kOutcomes = 3;

struct Review
{
    // counts[quadrant][outcome] of the tasks dated in the week.
    std::array<std::array<int, kOutcomes>, kCount> counts{};
    int completed() const;
    int total() const;
};

// The tasks dated Monday to Sunday of the week starting on `monday`, per quadrant and outcome.
// Delayed tasks count as left open.
Review review(const QDate& monday);

// The share of `part` in `whole` in whole percent, rounded half up; 0 when `whole` is 0.
int percent(int part, int whole);

} // namespace Quadrant
