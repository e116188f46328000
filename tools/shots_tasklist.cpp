// Pictures of the task list view with a day's tasks, and of the time dialog.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/tasks/dlogmtime.h"
#include "views/tasks/frmrw.h"

#include <QTreeWidget>

namespace {
const int tasks = Shots::add(QStringLiteral("tasklist"), [] { return Shots::view(Views::kTasks); });
// The time of the first task planned for the sample's day.
const int time = Shots::add(QStringLiteral("tasklist-time"), [] {
    Shots::view(Views::kTasks);
    auto* view = Forms::find<Frmrw>();
    auto* day = view ? view->findChild<QTreeWidget*>(QStringLiteral("ListView1")) : nullptr;
    if (!day || day->topLevelItemCount() == 0)
        return static_cast<QWidget*>(nullptr);
    day->setCurrentItem(day->topLevelItem(0));
    return static_cast<QWidget*>(Dlogmtime::showShared());
});
} // namespace
