#include "data/tasks.h"

#include "data/db.h"

std::optional<QList<QTime>> Tasks::reminderTimes(const QDate& day)
{
    std::optional<QList<QTime>> result;
    Db::run([&] {
        QSqlQuery q = Db::exec(Db::main(),
                               QStringLiteral("SELECT intime FROM renwu WHERE today = ? AND intime IS NOT NULL ORDER BY id"),
                               {Db::dayValue(day)});
        QList<QTime> times;
        while (q.next()) {
            const QTime t = Db::timeFrom(q.value(0));
            if (t.isValid())
                times.append(t);
        }
        result = times;
    });
    return result;
}
