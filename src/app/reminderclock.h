#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QTime>

// Today's reminder times and the check the one-second timer runs against them. A tick fires
// when any reminder time lies after the previous check and not after now, so a late or skipped
// tick loses nothing, while one tick never fires more than once (two tasks at one second, or a
// computer waking after several times have passed, give one reminder).
class ReminderClock
{
public:
    // Replaces the times with those of `day`. The first list starts the checks at `now`.
    void setTimes(const QDate& day, const QList<QTime>& times, const QDateTime& now);

    QDate day() const { return day_; }
    const QList<QTime>& times() const { return times_; }

    // True when the times belong to another day than `now`: the owner rebuilds them.
    bool isStale(const QDateTime& now) const { return now.date() != day_; }

    // True when a reminder is due at this tick.
    bool check(const QDateTime& now);
    // At the first tick of a later day: true when a time of the day the times belong to fell
    // between the previous check and that day's end (a tick that jumped over midnight). The
    // owner then rebuilds the times for the new day and checks `now` as usual.
    bool finishDay(const QDateTime& now);

    // Opens a new reminder popup and plays the reminder sound without waiting.
    static void fire();

private:
    QDate day_;
    QList<QTime> times_;
    QDateTime lastCheck_;
};
