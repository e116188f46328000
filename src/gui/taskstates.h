#pragma once

#include "data/tasks.h"

#include <QColor>
#include <QList>
#include <QString>
#include <functional>

// The colours of task states in lists, each at least 4.5:1 against a white background so the
// words stay readable.
namespace StateColour {
inline const QColor kDone{0x1a, 0x7f, 0x37};    // finished: dark green
inline const QColor kRed{0xc6, 0x28, 0x28};     // abandoned in the menus, late, the current task
inline const QColor kBlue{0x00, 0x00, 0xff};    // abandoned in the lists
inline const QColor kPlanned{0x57, 0x60, 0x6a}; // an occurrence not made yet
} // namespace StateColour

class QMenu;
class QObject;
class QPoint;
class QWidget;
class QTreeWidget;
class QTreeWidgetItem;

// How the windows show the states of a task, in one table: the words, the colours and the menu
// items that move a task to a state.
namespace TaskStates {

struct Look
{
    Tasks::State state;
    QString word;      // in task lists: 正在进行, 已经完成, 已经放弃, 时间拖延
    QString shortWord; // in counts and notes: 未完成, 已完成, 已放弃, 已推迟
    QColor listColour; // of a row in a task list; invalid: the row keeps its own colour
    QColor colour;     // of a task just moved to the state, in plans and charts; invalid: none
    QString menuName;  // objectName of the menu item that moves a task to the state; empty: none
    QString menuText;
};

// The looks in the order of the states.
const QList<Look>& all();
// The look of a state; nullptr for a value that is no state.
const Look* find(int state);
// The look of a state; Open for a value that is no state.
const Look& of(int state);

// Moves the task of `row` to `state`: stores it, announces the change from `origin` and shows the
// state's word in `stateColumn` and its colour in every column but the hidden id. False when
// there is no row or the database refused (the message has been shown).
bool setRowState(QTreeWidgetItem* row, int stateColumn, int state, QObject* origin);

// The state menu "zhuangtai" of a task list, titled `title`. It opens with "桌面显示" (zuomian), which
// calls `showOnDesktop`; the state items follow with addItems.
QMenu* newMenu(QWidget* owner, const QString& title, const std::function<void()>& showOnDesktop);

// One menu item that moves the selected task of a list to a state. The name and the text are
// the table's unless given.
struct Item
{
    Item(Tasks::State state, const QString& name = {}, const QString& text = {}) : state(state), name(name), text(text)
    {}
    Tasks::State state;
    QString name;
    QString text;
};

// Adds the items to `menu`, in their order. Each moves the selected row of `list` with
// setRowState (announcing from `origin`) and then calls `changed` with the row.
void addItems(QMenu* menu, QTreeWidget* list, int stateColumn, const QList<Item>& items, QObject* origin,
              const std::function<void(QTreeWidgetItem*)>& changed = {});

// A right click at `pos` of the list's viewport: over a row, the row becomes the selected one and
// the menu opens there; below the rows, nothing happens.
void popupOverRow(QMenu* menu, QTreeWidget* list, const QPoint& pos);

} // namespace TaskStates
