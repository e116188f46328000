// Pictures of the magazine view with every article listed, and of the reading window.

#include "shots.h"

#include "gui/forms.h"
#include "gui/views.h"
#include "views/magazine/dlogreadnews.h"
#include "views/magazine/frmzazhi.h"

#include <QTreeWidget>

namespace {

// The magazine view in the frame with the article at `row` picked.
QWidget* viewWithArticle(int row)
{
    QWidget* frame = Shots::view(Views::kMagazine);
    if (FrmZazhi* view = Forms::find<FrmZazhi>()) {
        if (auto* list = view->findChild<QTreeWidget*>(QStringLiteral("ListView1"))) {
            if (QTreeWidgetItem* item = list->topLevelItem(row))
                list->setCurrentItem(item);
        }
    }
    Shots::settle();
    return frame;
}

const int view = Shots::add(QStringLiteral("magazine"), [] { return viewWithArticle(0); });
const int reading = Shots::add(QStringLiteral("magazine-read"), [] {
    // The newest article that links to another one.
    viewWithArticle(2);
    return static_cast<QWidget*>(Forms::show<DlogReadnews>());
});

} // namespace
