#include "app/reminderclock.h"

#include "app/appinfo.h"
#include "app/module1.h"
#include "app/shell.h"
#include "views/desktop/reminderpopup.h"

#include <algorithm>

namespace {
QDateTime wholeSeconds(const QDateTime& t)
{
    return QDateTime(t.date(), QTime(t.time().hour(), t.time().minute(), t.time().second()));
}
} // namespace

void ReminderClock::setTimes(const QDate& day, const QList<QTime>& times, const QDateTime& now)
{
    day_ = day;
    times_ = times;
    std::sort(times_.begin(), times_.end());
    if (!lastCheck_.isValid())
        lastCheck_ = wholeSeconds(now).addSecs(-1);
}

bool ReminderClock::check(const QDateTime& now)
{
    const QDateTime current = wholeSeconds(now);
    // The clock was set back: look at this second only, as if just started.
    if (!lastCheck_.isValid() || current < lastCheck_)
        lastCheck_ = current.addSecs(-1);
    const QDateTime previous = lastCheck_;
    lastCheck_ = current;
    return std::any_of(times_.cbegin(), times_.cend(), [&](const QTime& t) {
        const QDateTime at(day_, t);
        return at > previous && at <= current;
    });
}

bool ReminderClock::finishDay(const QDateTime& now)
{
    if (!day_.isValid() || now.date() <= day_)
        return false;
    return check(QDateTime(day_, QTime(23, 59, 59)));
}

void ReminderClock::fire()
{
    openReminderPopup();
    Shell::playSound(Module1::programFile(AppInfo::kReminderSound));
}
