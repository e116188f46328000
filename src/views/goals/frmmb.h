#pragma once

#include "data/goals.h"
#include "gui/views.h"

#include <QDate>
#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The goals view: the goal search, the goal list, the tasks of the selected goal (reordered by
// dragging a row onto another) and the goals of a week, with the goal and task commands.
class Frmmb : public QWidget, public GoalSelection, public TaskSelection
{
    Q_OBJECT

public:
    explicit Frmmb(QWidget* parent = nullptr);

    void Form_Load();

    // Refill the goal list (all goals or those being executed), the task list with every task of
    // the selected goal, and the week list for the week shown.
    void MBList();
    void RwList();
    void WeekMB();

    // The goal selected in the goal list, or the first one while none is selected; 0 for an
    // empty list.
    qint64 selectedGoalId() const override;
    // The task selected in the task list; 0 when none.
    qint64 selectedTaskId() const override;
    // The Monday of the week the week list shows.
    QDate weekStart() const { return monday_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillGoals(const QList<Goals::Goal>& goals);
    void fillTasks(bool openOnly);
    void showWeek(const QDate& monday);

    void Command1_Click();
    void ListView1_ItemClick();
    void ListView1_DblClick();
    void ListView1_MouseUp(const QPoint& pos);
    void ListView2_DblClick();
    void ListView2_MouseUp(const QPoint& pos);
    void Check1_Click();
    void Check2_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void setGoalState(int state);
    // Moves the selected task row to the place of the row at `pos` and renumbers the rows shown.
    void dropTask(const QPoint& pos);
    void markDropTarget(QTreeWidgetItem* row);

    QGroupBox* Frame1;
    QLineEdit* Text1;
    QDateEdit* DTP1;
    QDateEdit* DTP2;
    QComboBox* Combo1;
    QPushButton* Command1;

    QGroupBox* Frame2;
    QTreeWidget* ListView1;
    QCheckBox* Check2;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;

    QGroupBox* Frame3;
    QTreeWidget* ListView2;
    QCheckBox* Check1;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command7;

    QGroupBox* Frame4;
    QTreeWidget* ListView3;
    QPushButton* Command8;
    QPushButton* Command9;
    QPushButton* Command10;

    QMenu* mubiao;
    QMenu* renwu;

    QDate monday_;
    QDate sunday_;
    // The goal whose tasks the task list shows (0: none), and the row marked as drop target.
    qint64 shownGoalId_ = 0;
    QTreeWidgetItem* dropTarget_ = nullptr;
    bool filled_ = false; // the first fill picks the first row
};
