#pragma once

#include "gui/windowdrag.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

class ClickableImage;
class Frmts;
class QAction;
class QLabel;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

// The desktop task bar "今日任务": a narrow window kept above the others that lists today's tasks
// with their times and states, changes their states, marks one as the current task and opens the
// reminder popup for today's first open task.
class ToolBar : public QWidget
{
    Q_OBJECT

public:
    explicit ToolBar(QWidget* parent = nullptr);
    void Form_Load();

    // Refills the list with today's tasks.
    void ShowRw();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ListView1_MouseUp(const QPoint& pos);
    void zuomian_Click();
    void dangqian_Click();
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();

    // After a state item changed the row's task: the row is no longer the current task.
    void leftState(QTreeWidgetItem* row);
    void markCurrent(QTreeWidgetItem* row, bool current);
    void setCaption(const QString& text);

    QLabel* Caption;
    QTreeWidget* ListView1;
    ClickableImage* Image1;
    ClickableImage* Image2;
    ClickableImage* Image3;
    QMenu* zhuangtai;
    QAction* dangqian;

    // The one popup the bar opens, shown afresh each time.
    QPointer<Frmts> popup_;
    // The task marked current, kept over refills while it stays open on today's list.
    qint64 currentId_ = 0;
    // Dragged by its body.
    WindowDrag drag_{this};
};
