#include "gui/droplist.h"

#include "gui/gui.h"

#include <QDropEvent>
#include <QMimeData>

Gui::DropList::DropList(QWidget* parent, const QString& name, Qt::DropAction defaultAction)
    : QTreeWidget(parent), format_(QStringLiteral("application/x-vantorel-") + name)
{
    setObjectName(name);
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(defaultAction);
    setDropIndicatorShown(false);
}

QStringList Gui::DropList::mimeTypes() const
{
    return {format_};
}

QMimeData* Gui::DropList::mimeData(const QList<QTreeWidgetItem*>& items) const
{
    auto* data = new QMimeData;
    data->setData(format_, QByteArray::number(Gui::rowId(items.value(0))));
    return data;
}

Qt::DropActions Gui::DropList::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

void Gui::DropList::dragEnterEvent(QDragEnterEvent* event)
{
    acceptForeign(event);
}

void Gui::DropList::dragMoveEvent(QDragMoveEvent* event)
{
    acceptForeign(event);
}

void Gui::DropList::dropEvent(QDropEvent* event)
{
    if (acceptForeign(event) && onDrop)
        onDrop();
}

bool Gui::DropList::event(QEvent* event)
{
    if (event->type() == QEvent::Drop) {
        dropEvent(static_cast<QDropEvent*>(event));
        return true;
    }
    return QTreeWidget::event(event);
}

bool Gui::DropList::acceptForeign(QDropEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasFormat(format_)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}
