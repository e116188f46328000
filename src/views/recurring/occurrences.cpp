#include "views/recurring/occurrences.h"

#include "data/db.h"
#include "data/recurrence.h"
#include "gui/changes.h"

#include <QAction>
#include <QMenu>

void Occurrences::addStopItem(QMenu* menu, std::function<qint64()> selectedTask, QObject* origin)
{
    QAction* stop = menu->addAction(QStringLiteral("停止重复"));
    stop->setObjectName(QStringLiteral("tingzhi"));
    stop->setEnabled(false);
    auto ruleOfSelected = [selectedTask] {
        const qint64 task = selectedTask();
        if (task == 0)
            return qint64(0);
        const auto rule = Db::get([task] { return Recurrence::activeRuleOf(task); }).value_or(std::nullopt);
        return rule ? rule->id : qint64(0);
    };
    QObject::connect(menu, &QMenu::aboutToShow, stop,
                     [stop, ruleOfSelected] { stop->setEnabled(ruleOfSelected() != 0); });
    QObject::connect(stop, &QAction::triggered, stop, [ruleOfSelected, origin] {
        const qint64 rule = ruleOfSelected();
        if (rule != 0 && Db::run([rule] { Recurrence::stop(rule); }))
            Changes::announce(Changes::Tasks, origin);
    });
}
