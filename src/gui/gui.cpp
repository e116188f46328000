#include "gui/gui.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTreeWidget>

QString Gui::day(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-M-d"));
}

QString Gui::time(const QTime& t)
{
    return t.toString(QStringLiteral("H:mm:ss"));
}

int Gui::quadrantImage(int zhongyao, int jinpo)
{
    if (zhongyao == 0 && jinpo == 0)
        return 4;
    if (zhongyao == 0 && jinpo == 1)
        return 2;
    if (zhongyao == 1 && jinpo == 0)
        return 3;
    return 1;
}

QIcon Gui::quadrantIcon(int image)
{
    // Lists show one of four icons on many rows: each is read and drawn once.
    static QIcon icons[4];
    const int i = std::clamp(image, 1, 4) - 1;
    if (icons[i].isNull())
        icons[i] = QIcon(QStringLiteral(":/icons/quadrant%1.svg").arg(i + 1));
    return icons[i];
}

QString Gui::quadrantTip(int image)
{
    switch (image) {
    case 1:
        return QStringLiteral("重要且紧迫");
    case 2:
        return QStringLiteral("紧迫不重要");
    case 3:
        return QStringLiteral("重要不紧迫");
    default:
        return QStringLiteral("不重要不紧迫");
    }
}

QTreeWidget* Gui::reportList(QWidget* parent, const QString& objectName, const QList<Column>& columns)
{
    auto* list = new QTreeWidget(parent);
    shapeReportList(list, objectName, columns);
    return list;
}

void Gui::shapeReportList(QTreeWidget* list, const QString& objectName, const QList<Column>& columns)
{
    list->setObjectName(objectName);
    list->setColumnCount(int(columns.size()) + 1);
    QStringList headers{QString()};
    for (const Column& c : columns)
        headers << c.header;
    list->setHeaderLabels(headers);
    list->setColumnHidden(0, true);
    for (int i = 0; i < columns.size(); ++i)
        list->setColumnWidth(i + 1, columns[i].width);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setIconSize(QSize(16, 16));
    list->header()->setStretchLastSection(true);
    list->header()->setSectionsMovable(false);
}

qint64 Gui::rowId(const QTreeWidgetItem* row)
{
    return row ? row->text(0).toLongLong() : 0;
}

QTreeWidgetItem* Gui::selectedRow(const QTreeWidget* list)
{
    if (!list)
        return nullptr;
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

qint64 Gui::selectedId(const QTreeWidget* list)
{
    return rowId(selectedRow(list));
}

QTreeWidgetItem* Gui::rowWithId(const QTreeWidget* list, qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (rowId(list->topLevelItem(i)) == id)
            return list->topLevelItem(i);
    }
    return nullptr;
}

void Gui::dropRow(QTreeWidget* list, QTreeWidgetItem* row)
{
    const QSignalBlocker quiet(list);
    delete row;
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

void Gui::selectFirst(QTreeWidget* list)
{
    if (QTreeWidgetItem* first = list->topLevelItem(0)) {
        list->setCurrentItem(first);
        first->setSelected(true);
    }
}
