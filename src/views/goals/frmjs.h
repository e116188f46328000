#pragma once

#include "gui/views.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The execution view: action themes on the left, the goals of the selected theme on the right,
// with the theme commands, the goal commands of the toolbar and the goal state menu.
class Frmjs : public QWidget, public ThemeSelection, public GoalSelection
{
    Q_OBJECT

public:
    explicit Frmjs(QWidget* parent = nullptr);

    void Form_Load();

    // Refill the theme list (keeping the selected theme) and the goal list of the selected theme.
    void JsList();
    void MBList();

    // The selected theme, or the first one while none is selected; 0 for an empty list.
    qint64 selectedThemeId() const override;
    // The goal selected in the goal list; 0 when none.
    qint64 selectedGoalId() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ListView1_ItemClick();
    void ListView1_DblClick();
    void ListView2_DblClick();
    void ListView2_MouseUp(const QPoint& pos);
    void Command1_Click();
    void Command2_Click();
    void Check1_Click();
    void newGoal();
    void editGoal();
    void deleteGoal();
    void setGoalState(int state);

    QGroupBox* Frame1;
    QTreeWidget* ListView1;
    QPushButton* Command1;
    QPushButton* Command2;
    QGroupBox* Frame2;
    QToolBar* Toolbar1;
    QTreeWidget* ListView2;
    QCheckBox* Check1;

    QMenu* mubiao;
    bool filled_ = false; // the first fill picks the first row
};
