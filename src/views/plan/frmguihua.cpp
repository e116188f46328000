#include "views/plan/frmguihua.h"

#include "data/plan.h"
#include "gui/gui.h"

#include <QHash>

FrmGuiHua::FrmGuiHua(QWidget* parent) : PlanWindow(QStringLiteral("事务规划一览表"), parent)
{}

PlanTable FrmGuiHua::load(const QDate& first, const QDate& last) const
{
    const QList<Plan::GoalTask> tasks = Plan::byDeadline(first, last);
    PlanTable t;
    t.headers = {QStringLiteral("行动主题"), QStringLiteral("我的目标"), QStringLiteral("目标预定完成时间"),
                 QStringLiteral("相关任务"), QStringLiteral("任务排序"), QStringLiteral("时间安排")};
    t.dayColumns = {3, 6};
    t.rows.reserve(tasks.size());
    t.states.reserve(tasks.size());
    const QString unscheduled = QStringLiteral("未安排");
    QHash<QDate, QString> dayTexts; // thousands of tasks fall on a few dozen days
    auto dayText = [&](const QDate& d) {
        if (!d.isValid())
            return unscheduled;
        auto it = dayTexts.constFind(d);
        if (it == dayTexts.constEnd())
            it = dayTexts.insert(d, Gui::day(d));
        return *it;
    };
    for (const Plan::GoalTask& task : tasks) {
        t.rows.append({task.theme, task.goal, dayText(task.deadline), PlanGrid::taskText(task.task, task.state),
                       task.order, dayText(task.day)});
        t.states.append(task.state);
    }
    // A theme or goal is merged over its own rows only, never with a neighbour of the same name;
    // in the sheet, equal task names of one goal are merged too.
    const int n = int(tasks.size());
    PlanGrid::addRuns(t.gridRuns, 1, n, [&](int a, int b) { return tasks[a].themeId == tasks[b].themeId; });
    PlanGrid::addRuns(t.gridRuns, 2, n, [&](int a, int b) { return tasks[a].goalId == tasks[b].goalId; });
    t.sheetRuns = t.gridRuns;
    PlanGrid::addRuns(t.sheetRuns, 4, n,
                      [&](int a, int b) { return tasks[a].goalId == tasks[b].goalId && t.rows[a][3] == t.rows[b][3]; });
    return t;
}

QList<double> FrmGuiHua::sheetWidths() const
{
    return {15, 15, 15, 50, 15, 15};
}
