// Pictures of the reminder popup with its snooze menu, and of the list of missed reminders.

#include "shots.h"

#include "data/reminders.h"
#include "data/tasks.h"
#include "gui/clock.h"
#include "views/desktop/frmmissed.h"
#include "views/desktop/frmts.h"

#include <QMenu>
#include <QPoint>

namespace {
QList<Tasks::Task> sampleTasks()
{
    try {
        return Tasks::ofDay(Clock::today());
    } catch (...) {
        return {};
    }
}

const int popup = Shots::add(QStringLiteral("reminder-popup"), [] {
    const QList<Tasks::Task> tasks = sampleTasks();
    Frmts* window = Frmts::openNew(tasks.isEmpty() ? 0 : tasks.first().id);
    Shots::settle();
    return static_cast<QWidget*>(window);
});

const int menu = Shots::add(QStringLiteral("reminder-snooze-menu"), [] {
    const QList<Tasks::Task> tasks = sampleTasks();
    Frmts* window = Frmts::openNew(tasks.isEmpty() ? 0 : tasks.first().id);
    auto* shaohou = window->findChild<QMenu*>(QStringLiteral("shaohou"));
    auto* image = window->findChild<QWidget*>(QStringLiteral("Image4"));
    shaohou->popup(image->mapToGlobal(QPoint(0, image->height())));
    Shots::settle();
    return static_cast<QWidget*>(shaohou);
});

const int missed = Shots::add(QStringLiteral("reminder-missed"), [] {
    QList<Reminders::Due> due;
    const QDate day = Clock::today();
    int minutes = 0;
    for (const Tasks::Task& t : sampleTasks()) {
        due.append(Reminders::Due{QDateTime(day, t.time.isValid() ? t.time : QTime(8, minutes += 10)), t.id});
        if (due.size() == 4)
            break;
    }
    FrmMissed* window = FrmMissed::add(due);
    Shots::settle();
    return static_cast<QWidget*>(window);
});
} // namespace
