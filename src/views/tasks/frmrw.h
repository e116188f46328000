#pragma once

#include "data/tasklist.h"
#include "gui/views.h"
#include "views/tasks/daytaskselection.h"

#include <QWidget>
#include <optional>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The task list view: all tasks filtered and paged 25 at a time, and on the right a calendar with
// the tasks planned for its day. Tasks are planned by dragging them between the two lists.
class Frmrw : public QWidget, public TaskSelection, public DayTaskSelection
{
    Q_OBJECT

public:
    explicit Frmrw(QWidget* parent = nullptr);

    void Form_Load();

    // Refills the task list with the page of the filter, which stays in force for paging and
    // for the "goals in progress" box. Without a filter: open tasks that have no day.
    void renwuliebiao(const TaskList::Filter& filter);
    void renwuliebiao();

    // The current page (from 1) and the filter in force. A page set here is shown by the next
    // fill (the last page when the list is shorter).
    int pageNumber() const;
    void setPageNumber(int page);
    const TaskList::Filter& filter() const;

    qint64 selectedTaskId() const override;
    qint64 selectedDayTaskId() const override;
    QString selectedDayTaskTime() const override;
    void showDayTaskTime(qint64 id, const QTime& time) override;

private:
    void buildControls();

    void Combo1_Click();
    void Command6_Click();
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    void Command8_Click();
    void Label5_Click();
    void MonthView1_Click();
    void Command4_Click();
    void Command5_Click();
    void ListView1_OLEDragDrop();
    void ListView2_OLEDragDrop();

    // The page after or before the one shown, from the row at its edge.
    void showBeside(bool after);
    // Shows the rows, the paging buttons and the counter of the page.
    void showPage(const Db::Page<TaskList::Row>& page);
    // The tasks of the calendar's day, and the day frame's caption.
    void dayList();
    void fillThemes();
    void fillGoals(qint64 themeId);
    // The filter the frame's fields describe.
    TaskList::Filter filterFromFields() const;
    // A row of the task list for the task, after the rows there are.
    QTreeWidgetItem* addTaskRow(const TaskList::Row& task);
    static QTreeWidgetItem* taskItem(const TaskList::Row& task);
    QTreeWidgetItem* taskRow(qint64 id) const;

    QGroupBox* Frame1;
    QLineEdit* Text1;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QPushButton* Command6;

    QGroupBox* Frame2;
    QTreeWidget* ListView2;
    QCheckBox* Check1;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command7;
    QPushButton* Command8;
    QLabel* Label7;
    QLabel* Label5;
    QCalendarWidget* MonthView1;

    QGroupBox* Frame3;
    QTreeWidget* ListView1;
    QPushButton* Command4;
    QPushButton* Command5;

    int page_ = 1;
    TaskList::Filter filter_;
    // The first and last rows of the page shown, where the pages beside it start from.
    std::optional<TaskList::Row> firstShown_;
    std::optional<TaskList::Row> lastShown_;
};
