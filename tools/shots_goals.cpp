// Pictures of the execution view, the goals view and their dialogs.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/goals/dlogmb.h"
#include "views/goals/dlogmodjs.h"
#include "views/goals/dlomodmb.h"
#include "views/goals/frmaddjuese.h"

#include <QTreeWidget>

namespace {
// Selects a row of a list in the view shown, as a click would.
void pick(const QString& view, const QString& list, int row)
{
    if (QWidget* w = Forms::find(view)) {
        if (auto* l = w->findChild<QTreeWidget*>(list); l && l->topLevelItem(row))
            l->setCurrentItem(l->topLevelItem(row));
    }
}

const int roles = Shots::add(QStringLiteral("roles"), [] {
    QWidget* frame = Shots::view(Views::kRoles);
    pick(Views::kRoles, QStringLiteral("ListView1"), 1);
    return frame;
});
const int goals = Shots::add(QStringLiteral("goals"), [] {
    QWidget* frame = Shots::view(Views::kGoals);
    pick(Views::kGoals, QStringLiteral("ListView1"), 0);
    return frame;
});
const int addTheme =
    Shots::add(QStringLiteral("add-theme"), [] { return static_cast<QWidget*>(Forms::show<Frmaddjuese>()); });
const int editTheme = Shots::add(QStringLiteral("edit-theme"), [] {
    Shots::view(Views::kRoles);
    return static_cast<QWidget*>(Forms::show<Dlogmodjs>());
});
const int addGoal = Shots::add(QStringLiteral("add-goal"), [] {
    Shots::view(Views::kRoles);
    return static_cast<QWidget*>(Forms::show<Dlogmb>());
});
const int editGoal = Shots::add(QStringLiteral("edit-goal"), [] {
    Shots::view(Views::kGoals);
    return static_cast<QWidget*>(Forms::show<dlomodmb>());
});
} // namespace
