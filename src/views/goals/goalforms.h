#pragma once

#include <QDate>
#include <QIcon>
#include <QList>
#include <QString>
#include <functional>

class QComboBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// Pieces the theme and goal windows share.
namespace GoalForms {

// The goal state icon: not executed (0), being executed (1), completed (2).
QIcon stateIcon(int state);

// The goal menu "目标" (mubiao) of a window: 开始执行 (kaishi), 目标完成 (wancheng), 暂停执行
// (zanting) and 转未完成 (weiwancheng), each calling `setState` with the goal state it stands for.
QMenu* stateMenu(QWidget* owner, const std::function<void(int state)>& setState);

// A label on the left of a field, right aligned (top aligned for a text box).
QPlainTextEdit* textBox(QWidget* parent, const QString& name);
QDateEdit* datePicker(QWidget* parent, const QString& name);

// A day as Gui::day shows it ("2009-1-31"), made without reading a format for every row.
QString day(const QDate& d);
// A tool tip for a name cell whose text may not fit its column.
void tipIfLong(QTreeWidgetItem* row, int column);

// Empties a report list by removing its rows, which leaves the header alone (cheaper than a
// reset of the whole list).
void clearRows(QTreeWidget* list);
// Makes the row with that id current without scrolling; false when no row has it.
bool reselect(QTreeWidget* list, const QList<QTreeWidgetItem*>& rows, qint64 id);

// Deletes the goal with its tasks, asking first when it has tasks ("删除目标“…”及其 N 个任务？").
// False when the user said no or the deletion failed (said once).
bool removeGoal(qint64 id);

} // namespace GoalForms
