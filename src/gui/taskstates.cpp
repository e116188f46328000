#include "gui/taskstates.h"

#include "data/db.h"
#include "gui/changes.h"
#include "gui/gui.h"

#include <QAction>
#include <QBrush>
#include <QMenu>
#include <QTreeWidget>

namespace TaskStates {

const QList<Look>& all()
{
    // Abandoned tasks are blue in the lists, but red where the user has just given one up and in
    // plans and charts.
    static const QList<Look> looks{
        {Tasks::Open, QStringLiteral("正在进行"), QStringLiteral("未完成"), QColor(), QColor(0, 0, 0),
         QStringLiteral("weiwancheng"), QStringLiteral("转未完成")},
        {Tasks::Done, QStringLiteral("已经完成"), QStringLiteral("已完成"), StateColour::kDone, StateColour::kDone,
         QStringLiteral("wancheng"), QStringLiteral("任务完成")},
        {Tasks::Abandoned, QStringLiteral("已经放弃"), QStringLiteral("已放弃"), StateColour::kBlue, StateColour::kRed,
         QStringLiteral("fangqi"), QStringLiteral("任务放弃")},
        {Tasks::Delayed, QStringLiteral("时间拖延"), QStringLiteral("已推迟"), StateColour::kRed, QColor(), QString(),
         QString()},
    };
    return looks;
}

const Look* find(int state)
{
    const QList<Look>& looks = all();
    return state >= 0 && state < looks.size() ? &looks[state] : nullptr;
}

const Look& of(int state)
{
    const Look* look = find(state);
    return look ? *look : all()[Tasks::Open];
}

bool setRowState(QTreeWidgetItem* row, int stateColumn, int state, QObject* origin)
{
    if (!row || !Db::run([id = Gui::rowId(row), state] { Tasks::setState(id, state); }))
        return false;
    Changes::announce(Changes::Tasks, origin);
    const Look& look = of(state);
    row->setText(stateColumn, look.word);
    const int columns = row->treeWidget() ? row->treeWidget()->columnCount() : 0;
    for (int c = 1; c < columns; ++c)
        row->setForeground(c, QBrush(look.colour));
    return true;
}

QMenu* newMenu(QWidget* owner, const QString& title, const std::function<void()>& showOnDesktop)
{
    auto* menu = new QMenu(title, owner);
    menu->setObjectName(QStringLiteral("zhuangtai"));
    QAction* zuomian = menu->addAction(QStringLiteral("桌面显示"));
    zuomian->setObjectName(QStringLiteral("zuomian"));
    QObject::connect(zuomian, &QAction::triggered, owner, showOnDesktop);
    return menu;
}

void addItems(QMenu* menu, QTreeWidget* list, int stateColumn, const QList<Item>& items, QObject* origin,
              const std::function<void(QTreeWidgetItem*)>& changed)
{
    for (const Item& item : items) {
        const Look& look = of(item.state);
        QAction* action = menu->addAction(item.text.isEmpty() ? look.menuText : item.text);
        action->setObjectName(item.name.isEmpty() ? look.menuName : item.name);
        QObject::connect(action, &QAction::triggered, origin, [=, state = item.state] {
            QTreeWidgetItem* row = Gui::selectedRow(list);
            if (setRowState(row, stateColumn, state, origin) && changed)
                changed(row);
        });
    }
}

void popupOverRow(QMenu* menu, QTreeWidget* list, const QPoint& pos)
{
    QTreeWidgetItem* row = list->itemAt(pos);
    if (!row)
        return;
    list->setCurrentItem(row);
    menu->popup(list->viewport()->mapToGlobal(pos));
}

} // namespace TaskStates
