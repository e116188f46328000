#pragma once

#include <QTreeWidget>
#include <functional>

namespace Gui {

// A list whose rows are dragged onto another list of the same window. A drop acts on whatever
// the window has selected and never reads what was dropped; a drag only carries the list's own
// format ("application/x-vantorel-" and its objectName), so a list refuses what it dragged
// itself. The drop copies: the list dragged from keeps its rows until the drop's own handler
// changes them, so Qt never removes a row on its own.
class DropList : public QTreeWidget
{
public:
    DropList(QWidget* parent, const QString& name, Qt::DropAction defaultAction = Qt::CopyAction);

    std::function<void()> onDrop;

protected:
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
    Qt::DropActions supportedDropActions() const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A drop delivered to the list itself rather than to its viewport counts the same.
    bool event(QEvent* event) override;

private:
    bool acceptForeign(QDropEvent* event);

    QString format_;
};

} // namespace Gui
