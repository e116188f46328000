// Pictures of the desktop task bar with a current task, and its menu's first item's popup.

#include "shots.h"

#include "gui/forms.h"
#include "views/desktop/toolbar.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

namespace {
const int bar = Shots::add(QStringLiteral("desktop-bar"), [] {
    ToolBar* window = Forms::show<ToolBar>();
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    if (list && list->topLevelItemCount() > 1) {
        list->setCurrentItem(list->topLevelItem(1));
        window->findChild<QAction*>(QStringLiteral("dangqian"))->trigger();
        list->setCurrentItem(list->topLevelItem(0));
    }
    Shots::settle();
    return static_cast<QWidget*>(window);
});
} // namespace
