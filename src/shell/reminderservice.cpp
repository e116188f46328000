#include "shell/reminderservice.h"

#include "data/db.h"
#include "data/recurrence.h"
#include "gui/changes.h"
#include "gui/clock.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {
// How often a running clock writes the time of its check, and how long a step that met a busy
// file waits before it is tried again.
constexpr int kKeepSeconds = 60;
constexpr int kRetrySeconds = 60;
// What a background step waits for a lock at most: a short reader (the daily backup of a small
// file) is let finish, while the window stays responsive.
constexpr int kBackgroundWaitMs = 100;

bool sameSecond(const QDateTime& a, const QDateTime& b)
{
    return a.date() == b.date() && a.time() == b.time();
}

bool before(const QDateTime& a, const QDateTime& b)
{
    return a.date() != b.date() ? a.date() < b.date() : a.time() < b.time();
}
} // namespace

ReminderService& ReminderService::instance()
{
    static ReminderService* service = new ReminderService(); // lives as long as the process
    return *service;
}

ReminderService::ReminderService()
{
    setObjectName(QStringLiteral("ReminderService"));
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &ReminderService::tick);
    // Tasks added, re-timed, done or snoozed, by whichever window: the list follows.
    connect(&Changes::instance(), &Changes::tasksChanged, this, &ReminderService::reload);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ReminderService::stop);
}

bool ReminderService::isRunning() const
{
    return timer_->isActive();
}

void ReminderService::start()
{
    const QDate today = Clock::today();
    // The user has just logged in: a failure here is worth a message.
    if (const std::optional<int> made = Db::get([&] { return Recurrence::generate(today); }); made && *made > 0)
        Changes::announce(Changes::Tasks, this);
    if (!isRunning()) {
        clock_ = ReminderClock();
        lastKept_ = {};
        retryDayAt_ = {};
        missedReported_ = false;
    }
    timer_->start();
    reload();
}

void ReminderService::stop()
{
    if (!isRunning())
        return;
    timer_->stop();
    keepLastCheck(true);
}

void ReminderService::reload()
{
    if (!isRunning())
        return; // before the login or after the end: nothing to watch
    const QDateTime now = Clock::now();
    const auto due = Db::get([&] { return Reminders::ofDay(now.date()); });
    if (due)
        clock_.setReminders(now.date(), *due, now);
}

bool ReminderService::stepToDay(const QDateTime& now)
{
    int made = 0;
    try {
        const Db::NoWait noWait(kBackgroundWaitMs);
        made = Recurrence::generate(now.date());
        const QList<Due> list = Reminders::ofDay(now.date());
        clock_.setReminders(now.date(), list, now);
    } catch (const Db::Error& e) {
        qWarning("midnight step: %s", qPrintable(e.text()));
        return false; // busy or failing: the next minute tries again
    }
    if (made > 0)
        Changes::announce(Changes::Tasks, this); // the views show the new occurrences
    return true;
}

void ReminderService::tick()
{
    const QDateTime now = Clock::now();
    const QDateTime previous = clock_.lastCheck();
    QList<Due> due;
    if (clock_.isStale(now)) {
        // Until the new day's list is read, the check does not move on: what falls meanwhile
        // comes when it is read.
        if (retryDayAt_.isValid() && before(now, retryDayAt_) && !before(now, previous))
            return;
        due = clock_.takeRestOfDay(now);
        if (!stepToDay(now)) {
            retryDayAt_ = now.addSecs(kRetrySeconds);
            if (!due.isEmpty())
                announce(due, true);
            return;
        }
        retryDayAt_ = {};
    }
    due += clock_.take(now);
    const bool jumped = previous.isValid() && previous.secsTo(clock_.lastCheck()) > kOnTimeSeconds;
    announce(due, jumped);
    keepLastCheck(false);
}

void ReminderService::announce(QList<Due> due, bool jumped)
{
    if (due.isEmpty())
        return;
    // On time, everything due pops up; after a jump, the last second's reminders do and the
    // other open tasks are listed as missed.
    const QDateTime last = due.last().at;
    QList<Due> shown;
    QSet<qint64> shownTasks;
    for (auto it = due.crbegin(); it != due.crend(); ++it) {
        if ((!jumped || sameSecond(it->at, last)) && !shownTasks.contains(it->taskId)) {
            shown.prepend(*it);
            shownTasks.insert(it->taskId);
        }
    }
    QList<Due> passed;
    QSet<qint64> passedTasks;
    for (const Due& d : std::as_const(due)) {
        if (d.open && d.taskId > 0 && !shownTasks.contains(d.taskId) && !passedTasks.contains(d.taskId)) {
            passed.append(d);
            passedTasks.insert(d.taskId);
        }
    }
    emit this->due(shown);
    if (!passed.isEmpty())
        emit missed(passed);
}

void ReminderService::keepLastCheck(bool now)
{
    const QDateTime check = clock_.lastCheck();
    if (!check.isValid())
        return;
    if (!now && lastKept_.isValid() && lastKept_.secsTo(check) < kKeepSeconds && !before(check, lastKept_))
        return;
    // Tried once without waiting; a busy file is met again a minute later, not every second.
    lastKept_ = check;
    try {
        const Db::NoWait noWait(kBackgroundWaitMs);
        Reminders::setLastCheck(check);
    } catch (const Db::Error&) {}
}

void ReminderService::reportMissedWhileClosed()
{
    if (missedReported_)
        return;
    missedReported_ = true;
    const QDateTime now = Clock::now();
    const QDateTime current(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    const std::optional<QList<Due>> list = Db::get([&] {
        QList<Due> found;
        const QDateTime last = Reminders::lastCheck();
        // A first start, nothing passed, or a check kept by a clock that was ahead: nothing.
        if (!last.isValid() || !before(last, current))
            return found;
        // Earlier days stay with the overdue question.
        const QDateTime midnight = QDateTime(current.date(), QTime(0, 0)).addSecs(-1);
        const QDateTime from = before(last, midnight) ? midnight : last;
        for (const Due& d : Reminders::ofDay(current.date())) {
            if (d.open && before(from, d.at) && !before(current, d.at))
                found.append(d);
        }
        return found;
    });
    if (list && !list->isEmpty())
        emit missed(*list);
    keepLastCheck(true); // this start counts as a check
}
