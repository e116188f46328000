#include "views/plan/frmdate.h"

#include "data/plan.h"
#include "gui/gui.h"

#include <QHash>
#include <QTableView>

FrmDate::FrmDate(QWidget* parent) : PlanWindow(QStringLiteral("按时间查看规划"), parent)
{}

PlanTable FrmDate::load(const QDate& first, const QDate& last) const
{
    // The first and the last day of the range are left out.
    const QList<Plan::DayTask> tasks = Plan::byDay(first, last);
    PlanTable t;
    t.headers = {QStringLiteral("日期时间"), QStringLiteral("行动主题"), QStringLiteral("行动目标"),
                 QStringLiteral("任务名称"), QStringLiteral("任务排序"), QStringLiteral("时间安排")};
    t.dayColumns = {1};
    t.timeColumns = {6};
    t.rows.reserve(tasks.size());
    t.states.reserve(tasks.size());
    const QString noReminder = QStringLiteral("非提醒任务");
    // Thousands of tasks fall on a few dozen days and times: each is formatted once.
    QHash<QDate, QString> dayTexts;
    QHash<QTime, QString> timeTexts;
    for (const Plan::DayTask& task : tasks) {
        auto day = dayTexts.constFind(task.day);
        if (day == dayTexts.constEnd())
            day = dayTexts.insert(task.day, task.day.isValid() ? Gui::day(task.day) : QStringLiteral("未安排"));
        auto time = timeTexts.constFind(task.time);
        if (time == timeTexts.constEnd())
            time = timeTexts.insert(task.time, task.time.isValid() ? Gui::time(task.time) : noReminder);
        t.rows.append({*day, task.theme, task.goal, PlanGrid::taskText(task.task, task.state), task.order, *time});
        t.states.append(task.state);
    }
    PlanGrid::addRuns(t.gridRuns, 1, int(tasks.size()), [&](int a, int b) { return tasks[a].day == tasks[b].day; });
    t.sheetRuns = t.gridRuns;
    return t;
}

QList<double> FrmDate::sheetWidths() const
{
    return {20, 20, 20, 50, 15, 15};
}

void FrmDate::filled()
{
    if (grid()->model()->rowCount() > 0)
        grid()->setCurrentIndex(grid()->model()->index(0, 1));
}
