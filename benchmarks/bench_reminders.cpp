// Reminder latency driven by the clock: 1,000 tasks on one day at random seconds (and 100
// snoozes), walked through by random clock jumps. Every due reminder must come out of the clock
// exactly once (the latest of a tick shown, the others listed), and a tick must stay far under a
// millisecond. Also times the day's load against the raw SQL for the same rows.
// Then the program's reminder service itself: 1,000 reminders a day, walked through by random
// jumps with the frame shown, then with only the tray icon (over midnight): each must come out
// once, as a popup or in the missed list. Last, the longest tick while another program holds the
// database file, against the busy timeout a tick once waited.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_reminders
#include "data/db.h"
#include "data/reminders.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/reminderclock.h"
#include "shell/reminderservice.h"
#include "shell/resources.h"

#include "benchsupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kTasks = 1000;
constexpr int kSnoozes = 100;
constexpr int kRuns = 21;
const QDate kDay(2009, 1, 31);

using Bench::median;

using Bench::elapsedMs;

void fill(QRandomGenerator& random)
{
    Db::transaction([&] {
        Db::exec(Db::main(), QStringLiteral("DELETE FROM renwu"));
        for (int i = 0; i < kTasks; ++i) {
            const QTime t = QTime(0, 0).addSecs(random.bounded(86400));
            Db::exec(Db::main(), QStringLiteral("INSERT INTO renwu (title, today, intime) VALUES (?, ?, ?)"),
                     {QStringLiteral("任务%1").arg(i), Db::dayValue(kDay), Db::timeValue(t)});
        }
        for (int i = 0; i < kSnoozes; ++i)
            Reminders::snooze(1 + random.bounded(kTasks), QDateTime(kDay, QTime(0, 0).addSecs(random.bounded(86400))));
    });
}

int rawRows()
{
    QSqlQuery q =
        Db::exec(Db::main(),
                 QStringLiteral("SELECT today, intime, id, zhuangtai FROM renwu WHERE today = ? AND intime IS NOT"
                                " NULL UNION ALL SELECT s.day, s.time, s.renwu, r.zhuangtai FROM snooze s"
                                " JOIN renwu r ON r.id = s.renwu WHERE s.day = ? AND r.zhuangtai = 0"),
                 {Db::dayValue(kDay), Db::dayValue(kDay)});
    int n = 0;
    while (q.next()) {
        for (int c = 0; c < 4; ++c)
            q.value(c);
        ++n;
    }
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    Db::path() = path;
    QRandomGenerator random(20091);
    fill(random);

    // The day's load (done on change, never by a tick) against the raw SQL.
    QList<double> load, raw;
    QList<Reminders::Due> due;
    for (int i = 0; i < kRuns; ++i) {
        load << elapsedMs([&] { due = Reminders::ofDay(kDay); });
        raw << elapsedMs([&] { rawRows(); });
    }
    std::printf("day's reminders (%lld): load %.3f ms, raw SQL %.3f ms, ratio %.2f\n", qlonglong(due.size()),
                median(load), median(raw), median(load) / median(raw));

    // Random jumps through the day: 1 second to 2 hours, a few set back, over and over.
    QList<double> ticks;
    qint64 lost = 0, twice = 0, shown = 0, listed = 0, tickCount = 0;
    for (int run = 0; run < kRuns; ++run) {
        ReminderClock clock;
        QDateTime now(kDay, QTime(0, 0));
        clock.setReminders(kDay, due, now.addSecs(-1));
        QHash<QString, int> seen; // task and time of each reminder that came out
        while (now.date() == kDay) {
            QList<Reminders::Due> got;
            QElapsedTimer t;
            t.start();
            got = clock.take(now);
            ticks << t.nsecsElapsed() / 1e6;
            ++tickCount;
            if (!got.isEmpty()) {
                ++shown;
                listed += got.size() - 1;
            }
            for (const Reminders::Due& d : got)
                ++seen[QStringLiteral("%1@%2").arg(d.taskId).arg(d.at.toString(Qt::ISODate))];
            // Mostly a second; otherwise a jump of up to two hours (sleep, a busy machine).
            now = now.addSecs(random.bounded(100) < 60 ? 1 : random.bounded(1, 7200));
            // The first tick of the next day looks at the rest of this one.
            if (now.date() != kDay) {
                for (const Reminders::Due& d : clock.takeRestOfDay(now))
                    ++seen[QStringLiteral("%1@%2").arg(d.taskId).arg(d.at.toString(Qt::ISODate))];
            }
        }
        for (const Reminders::Due& d : due) {
            const int n = seen.value(QStringLiteral("%1@%2").arg(d.taskId).arg(d.at.toString(Qt::ISODate)));
            lost += n == 0;
            twice += n > 1;
        }
    }
    std::sort(ticks.begin(), ticks.end());
    const double p999 = ticks[int(ticks.size() * 0.999)];
    std::printf("%lld ticks in %d runs: median %.4f ms, 99th %.4f ms, 99.9th %.4f ms, max %.4f ms\n", tickCount, kRuns,
                median(ticks), ticks[int(ticks.size() * 0.99)], p999, ticks.last());
    std::printf("reminders due %lld per run: %lld popups, %lld listed, %lld lost, %lld twice\n", qlonglong(due.size()),
                shown, listed, lost, twice);

    // The write of the last check, at most once a minute.
    QList<double> writes;
    for (int i = 0; i < kRuns; ++i)
        writes << elapsedMs([&] { Reminders::setLastCheck(QDateTime(kDay, QTime(12, 0).addSecs(i))); });
    std::printf("last-check write: median %.3f ms (once a minute)\n", median(writes));

    // The service: a day with the frame shown, the next with only the tray icon.
    Db::transaction([&] {
        Db::exec(Db::main(), QStringLiteral("DELETE FROM renwu"));
        Db::exec(Db::main(), QStringLiteral("DELETE FROM snooze"));
        for (int d = 0; d < 2; ++d) {
            for (int i = 0; i < kTasks; ++i) {
                const QTime t = QTime(0, 0).addSecs(random.bounded(86400));
                Db::exec(Db::main(), QStringLiteral("INSERT INTO renwu (title, today, intime) VALUES (?, ?, ?)"),
                         {QStringLiteral("任务%1").arg(i), Db::dayValue(kDay.addDays(d)), Db::timeValue(t)});
            }
        }
    });
    Shell::setTrayAvailableHook([] { return true; });
    Shell::setPlaySoundHook([](const QString&) {});
    ReminderService& service = ReminderService::instance();
    QHash<qint64, int> came;
    qint64 popups = 0, missedListed = 0;
    QObject::connect(&service, &ReminderService::due, [&](const QList<Reminders::Due>& due) {
        for (const Reminders::Due& d : due)
            ++came[d.taskId];
        popups += due.size();
    });
    QObject::connect(&service, &ReminderService::missed, [&](const QList<Reminders::Due>& missed) {
        for (const Reminders::Due& d : missed)
            ++came[d.taskId];
        missedListed += missed.size();
    });
    auto tickAt = [&](const QDateTime& when) {
        Clock::set(when);
        QElapsedTimer t;
        t.start();
        QMetaObject::invokeMethod(service.timer(), "timeout");
        return t.nsecsElapsed() / 1e6;
    };
    Clock::set(QDateTime(kDay, QTime(0, 0)));
    MDIfrm* frame = Forms::show<MDIfrm>();
    QDateTime now(kDay, QTime(0, 0, 1));
    QList<double> serviceTicks;
    bool inTray = false;
    while (now.date() <= kDay.addDays(1)) {
        if (!inTray && now.time() >= QTime(12, 0) && now.date() == kDay) {
            // Noon of the first day: the frame closes to the tray for the rest of the walk.
            frame->close();
            QCoreApplication::processEvents();
            inTray = true;
        }
        serviceTicks << tickAt(now);
        now = now.addSecs(random.bounded(100) < 60 ? 1 : random.bounded(1, 7200));
    }
    tickAt(QDateTime(kDay.addDays(2), QTime(0, 0, 1))); // the last seconds of the second day
    const QList<qint64> all = Db::get([] {
                                  QList<qint64> ids;
                                  QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT id FROM renwu"));
                                  while (q.next())
                                      ids << q.value(0).toLongLong();
                                  return ids;
                              }).value_or(QList<qint64>());
    qint64 serviceLost = 0, serviceTwice = 0;
    for (qint64 id : all) {
        serviceLost += came.value(id) == 0;
        serviceTwice += came.value(id) > 1;
    }
    std::sort(serviceTicks.begin(), serviceTicks.end());
    std::printf("service, frame then tray (%s): %lld reminders over two days, %lld popups, %lld listed missed, "
                "%lld lost, %lld twice; tick median %.4f ms, max %.3f ms\n",
                inTray ? "tray reached" : "tray NOT reached", qlonglong(all.size()), popups, missedListed, serviceLost,
                serviceTwice, median(serviceTicks), serviceTicks.last());

    // Another program holds the file: ticks over a minute's write and over midnight.
    double longest = 0;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        other.setDatabaseName(path);
        other.open();
        QSqlQuery hold(other);
        hold.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        for (QDateTime t(kDay.addDays(2), QTime(23, 58)); t <= QDateTime(kDay.addDays(3), QTime(0, 2));
             t = t.addSecs(5))
            longest = std::max(longest, tickAt(t));
        hold.exec(QStringLiteral("ROLLBACK"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    std::printf("longest tick under a foreign lock: %.3f ms, %.4f of the 5000 ms busy timeout a tick once waited\n",
                longest, longest / 5000.0);
    service.stop();
    return lost == 0 && twice == 0 && p999 < 1.0 && serviceLost == 0 && serviceTwice == 0 && longest < 200 ? 0 : 1;
}
