#pragma once

#include "data/db.h"
#include "data/tasks.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>
#include <QVariant>

// The task list with its filter and pages, and planning tasks into days (table renwu). Every
// function throws Db::Error when the database fails.
namespace TaskList {

constexpr int kPageSize = 25;

// Which tasks the list shows.
struct Filter
{
    enum DayState { AnyDay = 0, Unplanned = 1, NotStarted = 2, Overdue = 3 };

    // The default list: open tasks without a day. The fields below apply when it is false.
    bool openUnplanned = true;
    QString name; // part of the title, taken literally (no wildcards)
    int dayState = AnyDay;
    qint64 theme = 0; // 0: any theme
    qint64 goal = 0;  // 0: any goal
    // Only tasks whose goal is in progress (with either kind of list).
    bool goalsInProgress = false;
};

// One row of the task list.
struct Row
{
    qint64 id = 0;
    QString title;
    Tasks::State state = Tasks::Open;
    int important = 0;
    int urgent = 0;
    qint64 goal = 0;
    QVariant order;
    QDate day; // null: not planned
};

// The rows of page `pageNumber` (from 1) of the filtered list, ordered by goal, order number and
// id, counted and cut in SQL. "Not started" and "overdue" compare the planned day with `today`.
// A page past the end gives the last page (see Db::Page::offset).
Db::Page<Row> page(const Filter& filter, const QDate& today, int pageNumber, int pageSize = kPageSize);

// The page next to a page shown: the rows right after `edge` (its last row) or right before it
// (its first row), found from the edge's place in the order rather than by skipping the rows
// above, so a page deep in the list costs what the first one does. `pageNumber` is the number
// of the page asked for; the page is empty when no row lies beyond the edge.
Db::Page<Row> pageBeside(const Filter& filter, const QDate& today, const Row& edge, bool after, int pageNumber,
                         int pageSize = kPageSize);

// One row by id (for a row shown again in the list), or empty.
std::optional<Row> row(qint64 id);

// A task planned for the day (its time is left as it is), or taken off its day with its time.
void planOn(qint64 id, const QDate& day);
void unplan(qint64 id);
// The reminder time of a task.
void setTime(qint64 id, const QTime& time);

} // namespace TaskList
