#include "shell/reminderclock.h"

#include "data/db.h"
#include "gui/appinfo.h"
#include "gui/appstate.h"
#include "gui/shell.h"
#include "views/desktop/frmmissed.h"
#include "views/desktop/reminderpopup.h"

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

// How often a running clock writes the time of its check.
constexpr int kKeepSeconds = 60;
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

void ReminderClock::setTimes(const QDate& day, const QList<QTime>& times, const QDateTime& now)
{
    QList<Due> list;
    for (const QTime& t : times)
        list.append(Due{QDateTime(day, t), 0, false, true});
    setReminders(day, list, now);
}

QList<ReminderClock::Due> ReminderClock::take(const QDateTime& now)
{
    const QDateTime current = wholeSeconds(now);
    // The clock was set back: look at this second only, as if just started.
    if (!lastCheck_.isValid() || current < lastCheck_)
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

void ReminderClock::tick(const QDateTime& now, const std::function<void()>& rebuild)
{
    QList<Due> due;
    if (isStale(now)) {
        due = takeRestOfDay(now);
        rebuild();
    }
    due += take(now);
    announce(due);
    if (!lastKept_.isValid() || lastKept_.secsTo(lastCheck_) >= kKeepSeconds || lastCheck_ < lastKept_)
        keepLastCheck();
}

void ReminderClock::keepLastCheck()
{
    if (!lastCheck_.isValid())
        return;
    lastKept_ = lastCheck_;
    // A failure here is not worth a message box every minute: the next minute tries again.
    try {
        Reminders::setLastCheck(lastCheck_);
    } catch (const Db::Error&) {
        lastKept_ = {};
    }
}

void ReminderClock::announce(const QList<Due>& due)
{
    if (due.isEmpty())
        return;
    const Due& latest = due.last();
    fire(latest.snoozed ? latest.taskId : 0);
    QList<Due> others;
    for (qsizetype i = 0; i + 1 < due.size(); ++i) {
        if (due[i].open && due[i].taskId > 0 && due[i].taskId != latest.taskId)
            others.append(due[i]);
    }
    if (!others.isEmpty())
        FrmMissed::add(others);
}

void ReminderClock::listMissedWhileClosed(const QDateTime& now)
{
    const QDateTime current = wholeSeconds(now);
    const std::optional<QList<Due>> missed = Db::get([&] {
        QList<Due> list;
        const QDateTime last = Reminders::lastCheck();
        if (!last.isValid() || last >= current)
            return list; // a first start, or nothing passed
        // Earlier days stay with the overdue question.
        const QDateTime from = std::max(last, QDateTime(current.date(), QTime(0, 0)).addSecs(-1));
        for (const Due& d : Reminders::ofDay(current.date())) {
            if (d.open && before(from, d.at) && !before(current, d.at))
                list.append(d);
        }
        return list;
    });
    if (missed && !missed->isEmpty())
        FrmMissed::add(*missed);
}

void ReminderClock::fire(qint64 taskId)
{
    openReminderPopup(taskId);
    Shell::playSound(Module1::programFile(AppInfo::kReminderSound));
}
