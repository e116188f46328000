#include "views/knowledge/knowledgeui.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTreeWidget>

QTreeWidget* KnowledgeUi::categoryList(QWidget* parent, const QString& objectName)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setHeaderLabels({QStringLiteral("知识类别")});
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsMovable(false);
    return list;
}

void KnowledgeUi::fillCategoryList(QTreeWidget* list, const QStringList& names, const QString& selected)
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (const QString& name : names) {
        auto* row = new QTreeWidgetItem(list);
        row->setText(0, name);
        row->setToolTip(0, name);
        if (!selected.isEmpty() && name == selected) {
            list->setCurrentItem(row);
            row->setSelected(true);
        }
    }
}

QString KnowledgeUi::selectedName(const QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> rows = list->selectedItems();
    return rows.isEmpty() ? QString() : rows.first()->text(0);
}

QComboBox* KnowledgeUi::categoryBox(QWidget* parent, const QString& objectName)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(180);
    return box;
}

void KnowledgeUi::fillCategoryBox(QComboBox* box, const QString& first, const QStringList& names)
{
    box->clear();
    if (!first.isEmpty())
        box->addItem(first);
    for (const QString& name : names) {
        if (name != first)
            box->addItem(name);
    }
    if (box->count() > 0)
        box->setCurrentIndex(0);
}
