#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// What the reminder clock watches: the tasks' own reminder times, the snoozes (table snooze)
// and the time of the clock's last check (table reminder_check). Every function throws
// Db::Error when the database fails.
namespace Reminders {

// One moment at which a task is to be reminded of.
struct Due
{
    QDateTime at; // a wall-clock time: compare by date() and time(), not with local times
    qint64 taskId = 0;
    bool snoozed = false; // a snooze rather than the task's own time
    bool open = true;     // the task is still open
};

// The reminders of a day, by time then task: every task of the day with a reminder time
// (whatever its state), and the snoozes falling on the day of tasks still open.
QList<Due> ofDay(const QDate& day);

// Snoozes the task until `at`, replacing an earlier snooze of it.
void snooze(qint64 taskId, const QDateTime& at);

// The time of the clock's last check; invalid when none was ever kept.
QDateTime lastCheck();
void setLastCheck(const QDateTime& at);

// A line of the missed list: the task with the reminder time it missed.
struct Missed
{
    qint64 taskId = 0;
    QString title;
    QDateTime at;
    int state = 0;
};
// The tasks among `ids` still existing, with their state; `at` is left for the caller.
QList<Missed> tasks(const QList<qint64>& ids);

} // namespace Reminders
