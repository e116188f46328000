// Pictures of the today view, the add-task dialog and a reminder.

#include "shots.h"

#include "gui/clock.h"
#include "gui/views.h"
#include "views/desktop/frmts.h"
#include "views/tasks/dlogaddrw.h"

namespace {
const int today = Shots::add(QStringLiteral("today"), [] { return Shots::view(Views::kToday); });
const int addTask =
    Shots::add(QStringLiteral("add-task"), [] { return static_cast<QWidget*>(dlogaddrw::showShared()); });
// The reminder of the sample's 10:30 task.
const int reminder = Shots::add(QStringLiteral("reminder"), [] {
    Clock::set(QDateTime(QDate(2009, 1, 31), QTime(10, 30, 0)));
    return static_cast<QWidget*>(Frmts::openNew());
});
} // namespace
