#pragma once

#include "data/reminders.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

#include <functional>

// Today's reminders (the tasks' own times and their snoozes) and the check the one-second
// timer runs against them. A tick takes every reminder lying after the previous check and not
// after now, so a late or skipped tick (a busy or sleeping computer) loses nothing: the latest
// pops up, the others are listed as missed. A tick never reads the database; it writes the time
// of its check there at most once a minute, so what passes while the program is closed can be
// listed after the next start.
class ReminderClock
{
public:
    using Due = Reminders::Due;

    // Replaces the reminders with those of `day`. The first list starts the checks at `now`.
    void setReminders(const QDate& day, const QList<Due>& reminders, const QDateTime& now);
    // The same with bare times (no task behind them).
    void setTimes(const QDate& day, const QList<QTime>& times, const QDateTime& now);

    QDate day() const { return day_; }
    const QList<QTime>& times() const { return times_; }

    // True when the times belong to another day than `now`: the owner rebuilds them.
    bool isStale(const QDateTime& now) const { return now.date() != day_; }

    // The reminders due since the previous check, oldest first; the check moves on to `now`.
    QList<Due> take(const QDateTime& now);
    // True when a reminder is due at this tick.
    bool check(const QDateTime& now) { return !take(now).isEmpty(); }
    // At the first tick of a later day: the reminders of the day the list belongs to that fell
    // between the previous check and that day's end (a tick that jumped over midnight). The
    // owner then rebuilds the list for the new day and takes `now` as usual.
    QList<Due> takeRestOfDay(const QDateTime& now);
    bool finishDay(const QDateTime& now) { return !takeRestOfDay(now).isEmpty(); }

    // One tick of an owner's timer: the rest of the old day, `rebuild` on a new day, the due
    // reminders shown, and the check kept in the database once a minute.
    void tick(const QDateTime& now, const std::function<void()>& rebuild);
    // Writes the time of the last check (at the end of the program, or once a minute).
    void keepLastCheck();

    // Shows the reminders found by one tick: the latest in a popup with the sound, the other
    // open tasks in the missed list.
    static void announce(const QList<Due>& due);
    // Lists the open tasks of today whose reminder fell between the last check kept in the
    // database and `now`: what passed while the program was closed.
    static void listMissedWhileClosed(const QDateTime& now);

    // Opens a new reminder popup (for the task, or the one the popup chooses when 0) and plays
    // the reminder sound without waiting.
    static void fire(qint64 taskId = 0);

private:
    QDate day_;
    QList<Due> due_;
    QList<QTime> times_;
    QDateTime lastCheck_;
    QDateTime lastKept_;
};
