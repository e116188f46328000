#include "data/reminders.h"

#include "data/db.h"

#include <QTimeZone>

#include <algorithm>

namespace {
Reminders::Due dueFrom(const Db::Row& r)
{
    Reminders::Due d;
    // A wall-clock time: kept without a zone (UTC) so that building a thousand of them does not
    // look up the local zone's rules each time; it is only ever compared by day and time.
    d.at = QDateTime(r.day("day"), r.time("time"), Qt::UTC);
    d.taskId = r.id("renwu");
    d.snoozed = r.integer("snoozed") != 0;
    d.open = r.integer("zhuangtai") == 0;
    return d;
}

Reminders::Missed missedFrom(const Db::Row& r)
{
    Reminders::Missed m;
    m.taskId = r.id();
    m.title = r.text("title");
    m.state = r.integer("zhuangtai");
    return m;
}
} // namespace

QList<Reminders::Due> Reminders::ofDay(const QDate& day)
{
    QList<Due> list = Db::rows<Due>(
        QStringLiteral("SELECT today AS day, intime AS time, id AS renwu, 0 AS snoozed, zhuangtai FROM renwu"
                       " WHERE today = ? AND intime IS NOT NULL"
                       " UNION ALL SELECT s.day, s.time, s.renwu, 1, r.zhuangtai FROM snooze s"
                       " JOIN renwu r ON r.id = s.renwu WHERE s.day = ? AND r.zhuangtai = 0"),
        {Db::dayValue(day), Db::dayValue(day)}, dueFrom);
    list.erase(std::remove_if(list.begin(), list.end(), [](const Due& d) { return !d.at.isValid(); }), list.end());
    // By day and time of day (wall-clock times; cheaper than comparing instants), then task.
    std::sort(list.begin(), list.end(), [](const Due& a, const Due& b) {
        if (a.at.date() != b.at.date())
            return a.at.date() < b.at.date();
        return a.at.time() != b.at.time() ? a.at.time() < b.at.time() : a.taskId < b.taskId;
    });
    return list;
}

void Reminders::snooze(qint64 taskId, const QDateTime& at)
{
    Db::execute(QStringLiteral("INSERT OR REPLACE INTO snooze (renwu, day, time) VALUES (?, ?, ?)"),
                {taskId, Db::dayValue(at.date()), Db::timeValue(at.time())});
}

QDateTime Reminders::lastCheck()
{
    QSqlQuery q = Db::exec(Db::main(), QStringLiteral("SELECT day, time FROM reminder_check WHERE id = 1"), {});
    if (!q.next())
        return {};
    return QDateTime(Db::dayFrom(q.value(0)), Db::timeFrom(q.value(1)));
}

void Reminders::setLastCheck(const QDateTime& at)
{
    Db::execute(QStringLiteral("INSERT OR REPLACE INTO reminder_check (id, day, time) VALUES (1, ?, ?)"),
                {Db::dayValue(at.date()), Db::timeValue(at.time())});
}

QList<Reminders::Missed> Reminders::tasks(const QList<qint64>& ids)
{
    QList<Missed> list;
    // A bound value each, in slices well under SQLite's limit.
    for (qsizetype from = 0; from < ids.size(); from += 500) {
        const QList<qint64> slice = ids.mid(from, 500);
        QStringList marks;
        QVariantList values;
        for (qint64 id : slice) {
            marks << QStringLiteral("?");
            values << id;
        }
        list += Db::rows<Missed>(
            QStringLiteral("SELECT id, title, zhuangtai FROM renwu WHERE id IN (%1)").arg(marks.join(u',')), values,
            missedFrom);
    }
    return list;
}
