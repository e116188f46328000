#pragma once

#include "data/reminders.h"
#include "gui/formdialog.h"

#include <QDateTime>
#include <QHash>
#include <QList>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "错过的提醒": the reminders that passed unseen (a clock jump, or while the program was
// closed). One window for them all: more missed reminders join the list, a task once.
class FrmMissed : public FormDialog
{
    Q_OBJECT

public:
    explicit FrmMissed(QWidget* parent = nullptr);

    void Form_Load();

    // Adds the reminders to the list (opening the window when needed) and refills it.
    static FrmMissed* add(const QList<Reminders::Due>& missed);

    // The tasks listed, in list order.
    QList<qint64> listedIds() const;

private:
    void fillList();
    void ListView1_DblClick(QTreeWidgetItem* row);
    void Command1_Click();

    QTreeWidget* ListView1;
    QPushButton* Command1;

    // The missed time of each task listed, and the order they came in.
    QHash<qint64, QDateTime> missed_;
    QList<qint64> order_;
};
