#pragma once

#include <QString>
#include <QTime>

// The task selected in a view's list of one day's planned tasks, for the time dialog: which
// task, the time its row shows, and showing the time the dialog has stored.
class DayTaskSelection
{
public:
    virtual ~DayTaskSelection() = default;
    // 0 when no day task is selected.
    virtual qint64 selectedDayTaskId() const = 0;
    // The time as the row shows it ("8:30:00"), or "非提醒任务" for a task without a time.
    virtual QString selectedDayTaskTime() const = 0;
    // Shows the task's new time in its row, when the task is listed.
    virtual void showDayTaskTime(qint64 id, const QTime& time) = 0;
};
