#include "data/plan.h"

#include "data/db.h"
#include "data/tasks.h"

#include <QHash>
#include <QSqlRecord>

namespace {

// Columns are looked up once per query, and each distinct day or time text is parsed once: a
// range holds thousands of tasks on a few dozen days.
class Reader
{
public:
    Reader(const QString& sql, const QVariantList& values) : query_(Db::exec(Db::main(), sql, values)) {}

    int column(const char* name) const
    {
        const int i = query_.record().indexOf(QLatin1String(name));
        if (i < 0)
            throw Db::Error(QStringLiteral("查询结果中没有列 %1").arg(QLatin1String(name)));
        return i;
    }
    bool next() { return query_.next(); }
    QVariant value(int i) const { return query_.value(i); }
    QString text(int i) const { return query_.value(i).toString(); }
    qint64 id(int i) const { return query_.value(i).toLongLong(); }
    QDate day(int i)
    {
        const QVariant v = query_.value(i);
        if (v.isNull())
            return {};
        const QString text = v.toString();
        auto it = days_.constFind(text);
        if (it == days_.constEnd())
            it = days_.insert(text, Db::dayFrom(v));
        return *it;
    }
    QTime time(int i)
    {
        const QVariant v = query_.value(i);
        if (v.isNull())
            return {};
        const QString text = v.toString();
        auto it = times_.constFind(text);
        if (it == times_.constEnd())
            it = times_.insert(text, Db::timeFrom(v));
        return *it;
    }
    QString order(int i) const
    {
        const QVariant v = query_.value(i);
        // Whole numbers, as nearly every order number is, need no further reading.
        return v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ? QString::number(v.toLongLong())
                                                                                 : Tasks::orderText(v);
    }

private:
    QSqlQuery query_;
    QHash<QString, QDate> days_;
    QHash<QString, QTime> times_;
};

} // namespace

QList<Plan::GoalTask> Plan::byDeadline(const QDate& first, const QDate& last)
{
    // One query instead of one per theme and goal: the goal index on (jsdate) and the task index
    // on (mubiao, xuhao) serve the joins.
    Reader r(QStringLiteral("SELECT j.id AS theme_id, j.name AS theme, m.id AS goal_id, m.title AS goal, m.jsdate,"
                            " r.id AS task_id, r.title AS task, r.xuhao, r.today, r.zhuangtai"
                            " FROM juese j JOIN mubiao m ON m.juese = j.id JOIN renwu r ON r.mubiao = m.id"
                            " WHERE m.jsdate >= ? AND m.jsdate <= ?"
                            " ORDER BY j.id, m.jsdate, m.id, r.xuhao, r.id"),
             {Db::dayValue(first), Db::dayValue(last)});
    const int themeId = r.column("theme_id"), theme = r.column("theme"), goalId = r.column("goal_id"),
              goal = r.column("goal"), deadline = r.column("jsdate"), taskId = r.column("task_id"),
              task = r.column("task"), order = r.column("xuhao"), day = r.column("today"),
              state = r.column("zhuangtai");
    QList<GoalTask> list;
    while (r.next()) {
        GoalTask& t = list.emplace_back();
        t.themeId = r.id(themeId);
        t.theme = r.text(theme);
        t.goalId = r.id(goalId);
        t.goal = r.text(goal);
        t.deadline = r.day(deadline);
        t.taskId = r.id(taskId);
        t.task = r.text(task);
        t.order = r.order(order);
        t.day = r.day(day);
        t.state = int(r.id(state));
    }
    return list;
}

QList<Plan::DayTask> Plan::byDay(const QDate& after, const QDate& before)
{
    Reader r(QStringLiteral("SELECT r.id AS task_id, r.today, r.intime, j.name AS theme, m.title AS goal,"
                            " r.title AS task, r.xuhao, r.zhuangtai"
                            " FROM renwu r LEFT JOIN juese j ON j.id = r.juese LEFT JOIN mubiao m ON m.id = r.mubiao"
                            " WHERE r.today > ? AND r.today < ? AND r.today IS NOT NULL"
                            " ORDER BY r.today, r.intime, r.id"),
             {Db::dayValue(after), Db::dayValue(before)});
    const int taskId = r.column("task_id"), day = r.column("today"), time = r.column("intime"),
              theme = r.column("theme"), goal = r.column("goal"), task = r.column("task"), order = r.column("xuhao"),
              state = r.column("zhuangtai");
    QList<DayTask> list;
    while (r.next()) {
        DayTask& t = list.emplace_back();
        t.taskId = r.id(taskId);
        t.day = r.day(day);
        t.time = r.time(time);
        t.theme = r.text(theme);
        t.goal = r.text(goal);
        t.task = r.text(task);
        t.order = r.order(order);
        t.state = int(r.id(state));
    }
    return list;
}
