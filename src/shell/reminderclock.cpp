#include "shell/reminderclock.h"

#include <algorithm>

namespace {
QDateTime wholeSeconds(const QDateTime& t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}

// Reminders are wall-clock times: compared by day and time of day, which is also much cheaper
// than comparing instants of local time.
bool before(const QDateTime& a, const QDateTime& b)
{
    return a.date() != b.date() ? a.date() < b.date() : a.time() < b.time();
}

bool earlier(const Reminders::Due& a, const Reminders::Due& b)
{
    if (before(a.at, b.at) || before(b.at, a.at))
        return before(a.at, b.at);
    return a.taskId < b.taskId;
}
} // namespace

void ReminderClock::setReminders(const QDate& day, const QList<Due>& reminders, const QDateTime& now)
{
    day_ = day;
    due_ = reminders;
    std::sort(due_.begin(), due_.end(), earlier);
    times_.clear();
    for (const Due& d : std::as_const(due_))
        times_.append(d.at.time());
    if (!lastCheck_.isValid())
        lastCheck_ = wholeSeconds(now).addSecs(-1);
}

QList<ReminderClock::Due> ReminderClock::take(const QDateTime& now)
{
    const QDateTime current = wholeSeconds(now);
    // The clock was set back: look at this second only, as if just started.
    if (!lastCheck_.isValid() || before(current, lastCheck_))
        lastCheck_ = current.addSecs(-1);
    const QDateTime previous = lastCheck_;
    lastCheck_ = current;
    // The list is sorted: the due ones lie between two binary searches.
    const auto from = std::upper_bound(due_.cbegin(), due_.cend(), previous,
                                       [](const QDateTime& t, const Due& d) { return before(t, d.at); });
    const auto to =
        std::upper_bound(from, due_.cend(), current, [](const QDateTime& t, const Due& d) { return before(t, d.at); });
    return QList<Due>(from, to);
}

QList<ReminderClock::Due> ReminderClock::takeRestOfDay(const QDateTime& now)
{
    if (!day_.isValid() || now.date() <= day_)
        return {};
    return take(QDateTime(day_, QTime(23, 59, 59)));
}
