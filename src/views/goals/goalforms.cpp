#include "views/goals/goalforms.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/goals.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
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

QMenu* GoalForms::stateMenu(QWidget* owner, const std::function<void(int state)>& setState)
{
    auto* menu = new QMenu(QStringLiteral("目标"), owner);
    menu->setObjectName(QStringLiteral("mubiao"));
    const struct
    {
        const char* name;
        QString text;
        Goals::State state;
    } items[] = {
        {"kaishi", QStringLiteral("开始执行"), Goals::Executing},
        {"wancheng", QStringLiteral("目标完成"), Goals::Completed},
        {"zanting", QStringLiteral("暂停执行"), Goals::NotExecuting},
        {"weiwancheng", QStringLiteral("转未完成"), Goals::NotExecuting},
    };
    for (const auto& item : items) {
        QAction* action = menu->addAction(item.text);
        action->setObjectName(QLatin1String(item.name));
        QObject::connect(action, &QAction::triggered, owner, [setState, state = item.state] { setState(state); });
    }
    return menu;
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
