#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

// The planning grids: tasks by theme and goal deadline, and tasks by day. Every function throws
// Db::Error when the database fails.
namespace Plan {

// One task of a goal whose deadline lies in the range, with its theme and goal.
struct GoalTask
{
    qint64 themeId = 0;
    QString theme;
    qint64 goalId = 0;
    QString goal;
    QDate deadline;
    qint64 taskId = 0;
    QString task;
    QString order; // the order number as the user typed it
    QDate day;     // null: not scheduled
    int state = 0;
};

// The tasks of the goals due from `first` to `last` (both included): themes in store order, their
// goals by deadline, each goal's tasks by order number. Goals without tasks give no rows.
QList<GoalTask> byDeadline(const QDate& first, const QDate& last);

// One task scheduled on a day, with the names of its theme and goal (empty when they are gone).
struct DayTask
{
    qint64 taskId = 0;
    QDate day;
    QTime time; // null: no reminder
    QString theme;
    QString goal;
    QString task;
    QString order;
    int state = 0;
};

// The tasks scheduled strictly after `after` and strictly before `before`, by day, then time.
QList<DayTask> byDay(const QDate& after, const QDate& before);

} // namespace Plan
