#pragma once

#include "data/tasks.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

// Goals (table mubiao) with the names of their themes, and the tasks of one goal as the goals
// view lists them. Every function throws Db::Error when the database fails.
namespace Goals {

enum State { NotExecuting = 0, Executing = 1, Completed = 2 };

struct Goal
{
    qint64 id = 0;
    QString title;
    QString content;
    QDate start; // start day
    QDate end;   // target day; null: not yet set
    qint64 theme = 0;
    State state = NotExecuting;
    QString themeName; // of theme; empty when the theme does not exist
    bool themeExists = false;
};

// A task row of a goal's task list.
struct TaskRow
{
    qint64 id = 0;
    QString title;
    int important = 0;
    int urgent = 0;
    QDate day;
    QVariant order;
    Tasks::State state = Tasks::Open;
};

// The goals of a theme (0: of every theme), by target day; unless `all`, only those whose target
// day is not before `today` and those without a target day.
QList<Goal> ofTheme(qint64 themeId, bool all, const QDate& today);
// Goals of existing themes, by theme name then target day: all of them, or only those being
// executed.
QList<Goal> listed(bool all);
// Goals of existing themes whose target day lies strictly between the two days, whose title
// contains `text` as typed (any case of Latin letters; empty: any title) and, unless `themeId` is
// 0, of that theme; by target day.
QList<Goal> search(const QDate& after, const QDate& before, const QString& text, qint64 themeId);
// Goals of existing themes started on or after `monday` and due at the latest the Monday after
// `sunday`, in table order.
QList<Goal> ofWeek(const QDate& monday, const QDate& sunday);

std::optional<Goal> load(qint64 id); // empty when the goal does not exist
// Adds the goal (title, content, start, end, theme, state); its new id.
qint64 insert(const Goal& goal);
// Writes title, content, target day and theme; start day and state stay.
void update(const Goal& goal);
void setState(qint64 id, int state);
// The goal and every task of it, in one transaction.
void removeWithTasks(qint64 id);

// The tasks of a goal by order number; only the open ones when `openOnly`.
QList<TaskRow> tasks(qint64 goalId, bool openOnly);
// Gives the tasks, in the order listed, the order numbers 1, 2, 3, ... in one transaction.
void renumber(const QList<qint64>& taskIds);

} // namespace Goals
