#include "views/goals/goalforms.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/goals.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

QIcon GoalForms::stateIcon(int state)
{
    // Lists show one of three icons on many rows: each is read once.
    static QIcon icons[3];
    const int i = std::clamp(state, 0, 2);
    if (icons[i].isNull())
        icons[i] = QIcon(QStringLiteral(":/icons/goals_state%1.svg").arg(i));
    return icons[i];
}

QPlainTextEdit* GoalForms::textBox(QWidget* parent, const QString& name)
{
    return Gui::textBox(parent, name);
}

QDateEdit* GoalForms::datePicker(QWidget* parent, const QString& name)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    return picker;
}

void GoalForms::clearRows(QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> rows = list->invisibleRootItem()->takeChildren();
    qDeleteAll(rows);
}

bool GoalForms::reselect(QTreeWidget* list, const QList<QTreeWidgetItem*>& rows, qint64 id)
{
    if (id == 0)
        return false;
    for (QTreeWidgetItem* row : rows) {
        if (row->text(0).toLongLong() == id) {
            const bool scrolls = list->hasAutoScroll();
            list->setAutoScroll(false);
            list->setCurrentItem(row);
            list->setAutoScroll(scrolls);
            return true;
        }
    }
    return false;
}

QString GoalForms::day(const QDate& d)
{
    return QString::number(d.year()) + QLatin1Char('-') + QString::number(d.month()) + QLatin1Char('-')
           + QString::number(d.day());
}

void GoalForms::tipIfLong(QTreeWidgetItem* row, int column)
{
    if (row->text(column).size() > 12)
        row->setToolTip(column, row->text(column));
}

bool GoalForms::removeGoal(qint64 id)
{
    const auto with = Db::get([id] { return Dependants::ofGoal(id); });
    if (!with)
        return false;
    if (with->tasks > 0
        && !Deletion::confirm(QStringLiteral("删除目标“%1”及其 %2 个任务？").arg(with->title).arg(with->tasks)))
        return false;
    return Db::run([id] { Goals::removeWithTasks(id); });
}
