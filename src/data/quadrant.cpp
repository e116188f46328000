#include "data/quadrant.h"

#include "data/db.h"

namespace {

// The board's WHERE clause (with a leading " AND " per condition) and its values.
struct Where
{
    QString sql;
    QVariantList values;
};

Where openTasks(const Quadrant::Filter& filter)
{
    Where w{QStringLiteral("zhuangtai = 0"), {}};
    switch (filter.range) {
    case Quadrant::Today:
        w.sql += QStringLiteral(" AND today = ?");
        w.values << Db::dayValue(filter.today);
        break;
    case Quadrant::ThisWeek:
        w.sql += QStringLiteral(" AND today BETWEEN ? AND ?");
        w.values << Db::dayValue(Quadrant::weekStart(filter.today)) << Db::dayValue(Quadrant::weekEnd(filter.today));
        break;
    case Quadrant::Unplanned:
        w.sql += QStringLiteral(" AND today IS NULL");
        break;
    case Quadrant::AllOpen:
        break;
    }
    if (filter.theme != 0) {
        w.sql += QStringLiteral(" AND juese = ?");
        w.values << filter.theme;
    }
    return w;
}

Quadrant::Item itemFrom(const Db::Row& r)
{
    return {r.id(), r.text("title"), r.day("today"), r.time("intime")};
}

// The board index of a task's quadrant as SQL computes it, the same as Quadrant::of.
const QString kQuadrantExpr = QStringLiteral("(CASE WHEN zhongyao <> 0 THEN 0 ELSE 2 END"
                                             " + CASE WHEN jinpo <> 0 THEN 0 ELSE 1 END)");

} // namespace

int Quadrant::importance(int quadrant)
{
    return quadrant == 0 || quadrant == 1 ? 1 : 0;
}

int Quadrant::urgency(int quadrant)
{
    return quadrant == 0 || quadrant == 2 ? 1 : 0;
}

int Quadrant::of(int zhongyao, int jinpo)
{
    return (zhongyao != 0 ? 0 : 2) + (jinpo != 0 ? 0 : 1);
}

QDate Quadrant::weekStart(const QDate& day)
{
    return day.addDays(1 - day.dayOfWeek());
}

QDate Quadrant::weekEnd(const QDate& day)
{
    return weekStart(day).addDays(6);
}

Quadrant::Board Quadrant::board(const Filter& filter, int cap)
{
    const Where w = openTasks(filter);
    Board b;
    QSqlQuery counts = Db::exec(
        Db::main(), QStringLiteral("SELECT %1 AS q, count(*) FROM renwu WHERE %2 GROUP BY q").arg(kQuadrantExpr, w.sql),
        w.values);
    while (counts.next()) {
        const int q = counts.value(0).toInt();
        if (q >= 0 && q < kCount)
            b.counts[size_t(q)] = counts.value(1).toInt();
    }
    // Planned tasks first by day and time, then tasks without a day; within a day or among the
    // unplanned, by goal and order number. Two statements, so that each walks an index in its
    // order and stops at the cap instead of sorting every open task.
    const bool dated = filter.range != Unplanned;
    const bool undated = filter.range == Unplanned || filter.range == AllOpen;
    for (int q = 0; q < kCount; ++q) {
        if (b.counts[size_t(q)] == 0)
            continue;
        QList<Item>& rows = b.rows[size_t(q)];
        const QVariantList values = w.values + QVariantList{importance(q), urgency(q)};
        const QString where = QStringLiteral("SELECT id, title, today, intime FROM renwu WHERE %1"
                                             " AND (zhongyao <> 0) = ? AND (jinpo <> 0) = ?")
                                  .arg(w.sql);
        if (dated)
            rows = Db::rows<Item>(where
                                      + QStringLiteral(" AND today IS NOT NULL"
                                                       " ORDER BY today, intime, mubiao, xuhao, id LIMIT ?"),
                                  values + QVariantList{cap}, itemFrom);
        if (undated && rows.size() < cap)
            rows += Db::rows<Item>(where + QStringLiteral(" AND today IS NULL ORDER BY mubiao, xuhao, id LIMIT ?"),
                                   values + QVariantList{cap - int(rows.size())}, itemFrom);
    }
    return b;
}

bool Quadrant::move(qint64 taskId, int quadrant)
{
    return Db::execute(QStringLiteral("UPDATE renwu SET zhongyao = ?, jinpo = ? WHERE id = ?"),
                       {importance(quadrant), urgency(quadrant), taskId})
           > 0;
}

int Quadrant::Review::completed() const
{
    int n = 0;
    for (const auto& row : counts)
        n += row[Completed];
    return n;
}

int Quadrant::Review::total() const
{
    int n = 0;
    for (const auto& row : counts)
        for (int c : row)
            n += c;
    return n;
}

Quadrant::Review Quadrant::review(const QDate& monday)
{
    Review r;
    QSqlQuery q = Db::exec(Db::main(),
                           QStringLiteral("SELECT %1 AS q, zhuangtai, count(*) FROM renwu"
                                          " WHERE today BETWEEN ? AND ? GROUP BY q, zhuangtai")
                               .arg(kQuadrantExpr),
                           {Db::dayValue(monday), Db::dayValue(monday.addDays(6))});
    while (q.next()) {
        const int quadrant = q.value(0).toInt();
        if (quadrant < 0 || quadrant >= kCount)
            continue;
        const int state = q.value(1).toInt();
        const int outcome = state == 1 ? Completed : state == 2 ? Abandoned : LeftOpen;
        r.counts[size_t(quadrant)][size_t(outcome)] += q.value(2).toInt();
    }
    return r;
}

int Quadrant::percent(int part, int whole)
{
    if (whole <= 0)
        return 0;
    return int((200LL * part + whole) / (2LL * whole));
}
