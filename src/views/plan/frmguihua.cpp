#include "views/plan/frmguihua.h"

#include "app/gui.h"
#include "data/plan.h"

FrmGuiHua::FrmGuiHua(QWidget* parent) : PlanWindow(QStringLiteral("事务规划一览表"), parent) {}

PlanTable FrmGuiHua::load(const QDate& first, const QDate& last) const
{
    const QList<Plan::GoalTask> tasks = Plan::byDeadline(first, last);
    PlanTable t;
    t.headers = {QStringLiteral("行动主题"), QStringLiteral("我的目标"), QStringLiteral("目标预定完成时间"),
                 QStringLiteral("相关任务"), QStringLiteral("任务排序"), QStringLiteral("时间安排")};
    t.rows.reserve(tasks.size());
    t.states.reserve(tasks.size());
    // A theme or goal is merged over its own rows only, never with a neighbour of the same name;
    // in the sheet, equal task names of one goal are merged too.
    QStringList themeKeys, goalKeys, taskKeys;
    const QString unscheduled = QStringLiteral("未安排");
    for (const Plan::GoalTask& task : tasks) {
        t.rows.append({task.theme, task.goal, Gui::day(task.deadline), PlanGrid::taskText(task.task, task.state),
                       task.order, task.day.isValid() ? Gui::day(task.day) : unscheduled});
        t.states.append(task.state);
        themeKeys.append(QString::number(task.themeId));
        goalKeys.append(QString::number(task.goalId));
        taskKeys.append(QString::number(task.goalId) + QLatin1Char('/') + t.rows.last()[3]);
    }
    PlanGrid::addRuns(t.gridRuns, 1, themeKeys);
    PlanGrid::addRuns(t.gridRuns, 2, goalKeys);
    t.sheetRuns = t.gridRuns;
    PlanGrid::addRuns(t.sheetRuns, 4, taskKeys);
    return t;
}

QList<double> FrmGuiHua::sheetWidths() const
{
    return {15, 15, 15, 50, 15, 15};
}
