// Pictures of the knowledge view with a category listed, and of its three dialogs.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/knowledge/dlogaddff.h"
#include "views/knowledge/dlogfflb.h"
#include "views/knowledge/dlogmodff.h"
#include "views/knowledge/frmff.h"

#include <QTreeWidget>

namespace {

// The knowledge view in the frame with the category "时间管理" listed and its first article picked.
QWidget* viewWithArticles()
{
    QWidget* frame = Shots::view(Views::kKnowledge);
    if (Frmff* view = Forms::find<Frmff>()) {
        if (auto* categories = view->findChild<QTreeWidget*>(QStringLiteral("ListView1"))) {
            if (QTreeWidgetItem* row = categories->topLevelItem(1))
                categories->setCurrentItem(row);
        }
        if (auto* articles = view->findChild<QTreeWidget*>(QStringLiteral("ListView2"))) {
            if (QTreeWidgetItem* row = articles->topLevelItem(0))
                articles->setCurrentItem(row);
        }
    }
    Shots::settle();
    return frame;
}

const int view = Shots::add(QStringLiteral("knowledge"), [] { return viewWithArticles(); });
const int add = Shots::add(QStringLiteral("knowledge-add"), [] {
    viewWithArticles();
    return static_cast<QWidget*>(Forms::show<Dlogaddff>());
});
const int edit = Shots::add(QStringLiteral("knowledge-edit"), [] {
    viewWithArticles();
    return static_cast<QWidget*>(Forms::show<Dlogmodff>());
});
const int categories = Shots::add(QStringLiteral("knowledge-categories"), [] {
    viewWithArticles();
    return static_cast<QWidget*>(Forms::show<Dlogfflb>());
});

} // namespace
