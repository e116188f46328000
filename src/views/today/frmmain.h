#pragma once

#include <QDate>
#include <QWidget>

// The today view: the calendar, the tasks of one day with their states, the task description,
// the password change, the diary of the calendar date, and the motto and mission lists.
class Frmmain : public QWidget
{
    Q_OBJECT

public:
    explicit Frmmain(QWidget* parent = nullptr);

    // Refills the task list: the tasks of today when `frist` is true, else of the calendar date.
    void RwList(bool frist = false);
    // Refill the motto list and the mission list.
    void Lsv2Show();
    void Lsv3Show();

    // The id of the task selected in ListView1; 0 when none is selected.
    qint64 selectedTaskId() const;
    // The day selected in MonthView1.
    QDate calendarDate() const;
    // The caption of the current tab of SSTab2: "警句" or "使命".
    QString statementTab() const;
};
