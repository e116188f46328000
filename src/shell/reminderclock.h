#pragma once

#include "data/reminders.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

// One day's reminders (the tasks' own times and their snoozes) and the check the one-second
// timer runs against them. A check takes every reminder lying after the previous check and not
// after now, so a late or skipped tick (a busy or sleeping computer) loses nothing. It never
// reads or writes the database: the reminder service does that around it.
class ReminderClock
{
public:
    using Due = Reminders::Due;

    // Replaces the reminders with those of `day`. The first list starts the checks at `now`.
    void setReminders(const QDate& day, const QList<Due>& reminders, const QDateTime& now);

    QDate day() const { return day_; }
    const QList<QTime>& times() const { return times_; }
    // The second of the previous check (invalid before the first list).
    QDateTime lastCheck() const { return lastCheck_; }

    // True when the times belong to another day than `now`: the owner rebuilds them.
    bool isStale(const QDateTime& now) const { return now.date() != day_; }

    // The reminders due since the previous check, oldest first; the check moves on to `now`.
    QList<Due> take(const QDateTime& now);
    // True when a reminder is due at this check.
    bool check(const QDateTime& now) { return !take(now).isEmpty(); }
    // At the first check of a later day: the reminders of the day the list belongs to that fell
    // between the previous check and that day's end (a tick that jumped over midnight). The
    // owner then rebuilds the list for the new day and takes `now` as usual.
    QList<Due> takeRestOfDay(const QDateTime& now);

private:
    QDate day_;
    QList<Due> due_;
    QList<QTime> times_;
    QDateTime lastCheck_;
};
