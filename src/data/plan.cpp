#include "data/plan.h"

#include "data/db.h"
#include "data/tasks.h"

namespace {

Plan::GoalTask goalTaskFrom(const Db::Row& r)
{
    Plan::GoalTask t;
    t.themeId = r.id("theme_id");
    t.theme = r.text("theme");
    t.goalId = r.id("goal_id");
    t.goal = r.text("goal");
    t.deadline = r.day("jsdate");
    t.taskId = r.id("task_id");
    t.task = r.text("task");
    t.order = Tasks::orderText(r.value("xuhao"));
    t.day = r.day("today");
    t.state = r.integer("zhuangtai");
    return t;
}

Plan::DayTask dayTaskFrom(const Db::Row& r)
{
    Plan::DayTask t;
    t.taskId = r.id("task_id");
    t.day = r.day("today");
    t.time = r.time("intime");
    t.theme = r.text("theme");
    t.goal = r.text("goal");
    t.task = r.text("task");
    t.order = Tasks::orderText(r.value("xuhao"));
    t.state = r.integer("zhuangtai");
    return t;
}

} // namespace

QList<Plan::GoalTask> Plan::byDeadline(const QDate& first, const QDate& last)
{
    // One query instead of one per theme and goal: the goal index on (juese) and the task index
    // on (mubiao, xuhao) serve the joins.
    return Db::rows<GoalTask>(
        QStringLiteral("SELECT j.id AS theme_id, j.name AS theme, m.id AS goal_id, m.title AS goal, m.jsdate,"
                       " r.id AS task_id, r.title AS task, r.xuhao, r.today, r.zhuangtai"
                       " FROM juese j JOIN mubiao m ON m.juese = j.id JOIN renwu r ON r.mubiao = m.id"
                       " WHERE m.jsdate >= ? AND m.jsdate <= ?"
                       " ORDER BY j.id, m.jsdate, m.id, r.xuhao, r.id"),
        {Db::dayValue(first), Db::dayValue(last)}, goalTaskFrom);
}

QList<Plan::DayTask> Plan::byDay(const QDate& after, const QDate& before)
{
    return Db::rows<DayTask>(
        QStringLiteral("SELECT r.id AS task_id, r.today, r.intime, j.name AS theme, m.title AS goal,"
                       " r.title AS task, r.xuhao, r.zhuangtai"
                       " FROM renwu r LEFT JOIN juese j ON j.id = r.juese LEFT JOIN mubiao m ON m.id = r.mubiao"
                       " WHERE r.today > ? AND r.today < ? AND r.today IS NOT NULL"
                       " ORDER BY r.today, r.intime, r.id"),
        {Db::dayValue(after), Db::dayValue(before)}, dayTaskFrom);
}
