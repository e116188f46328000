// The goals area's lists against the raw SQL of the rows they show, on 2,000 goals under 50
// themes with 100,000 tasks, and again on ten times that. Prints medians and ratios measured in
// this run. Run offscreen: QT_QPA_PLATFORM=offscreen bench_goals [--no-growth]
#include "app/clock.h"
#include "app/forms.h"
#include "data/db.h"
#include "data/goals.h"
#include "data/store.h"
#include "views/goals/frmjs.h"
#include "views/goals/frmmb.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRuns = 15;

double medianMs(const std::function<void()>& work, int runs = kRuns)
{
    work(); // warm the caches once
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Runs the statement and reads every value of every row, as a list fill needs them.
int rawRows(const QString& sql, const QVariantList& values = {})
{
    QSqlQuery q = Db::exec(Db::main(), sql, values);
    int n = 0;
    while (q.next()) {
        const int columns = q.record().count();
        for (int c = 0; c < columns; ++c)
            (void)q.value(c).toString();
        ++n;
    }
    return n;
}

const QString kGoalJoin = QStringLiteral(
    "SELECT m.id, m.title, m.ksdate, m.jsdate, m.juese, m.zhuangtai, j.id, j.name "
    "FROM mubiao AS m %1 juese AS j ON j.id = m.juese ");

// A database of `themes` themes, 40 goals each, 50 tasks per goal, and one extra goal of 200
// tasks (the last goal).
void build(const QString& path, int themes)
{
    Db::closeAll();
    Db::path() = path;
    const QString failed = Store::ensureMainDatabase(path);
    if (!failed.isEmpty())
        qFatal("%s", qPrintable(failed));
    const int goals = themes * 40;
    const int tasks = goals * 50;
    Db::transaction([&] {
        for (const char* table : {"renwu", "mubiao", "juese"})
            Db::execute(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        QSqlQuery theme(Db::main());
        theme.prepare(QStringLiteral("INSERT INTO juese (id, name, content) VALUES (?, ?, '')"));
        for (int i = 1; i <= themes; ++i) {
            theme.addBindValue(i);
            theme.addBindValue(QStringLiteral("主题%1").arg(i, 4, 10, QLatin1Char('0')));
            theme.exec();
        }
        QSqlQuery goal(Db::main());
        goal.prepare(QStringLiteral("INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai) "
                                    "VALUES (?, ?, '目标说明', ?, ?, ?, ?)"));
        const QDate base(2008, 12, 1);
        for (int g = 1; g <= goals + 1; ++g) {
            goal.addBindValue(g);
            goal.addBindValue(QStringLiteral("目标 %1").arg(g));
            goal.addBindValue(Db::dayValue(base.addDays(g % 90)));
            goal.addBindValue(g % 17 == 0 ? QVariant() : Db::dayValue(base.addDays(30 + g * 7 % 400)));
            goal.addBindValue((g - 1) % themes + 1);
            goal.addBindValue(g % 3);
            goal.exec();
        }
        QSqlQuery task(Db::main());
        task.prepare(QStringLiteral("INSERT INTO renwu (title, mubiao, juese, zhongyao, jinpo, xuhao, today, zhuangtai) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        auto addTask = [&](int t, int g) {
            task.addBindValue(QStringLiteral("任务 %1").arg(t));
            task.addBindValue(g);
            task.addBindValue((g - 1) % themes + 1);
            task.addBindValue(t % 2);
            task.addBindValue(t / 2 % 2);
            task.addBindValue(t / goals);
            task.addBindValue(t % 5 == 0 ? QVariant() : Db::dayValue(base.addDays(t % 120)));
            task.addBindValue(t % 3);
            task.exec();
        };
        for (int t = 0; t < tasks; ++t)
            addTask(t, t % goals + 1);
        for (int t = 0; t < 200; ++t)
            addTask(tasks + t, goals + 1);
    });
    Db::exec(Db::main(), QStringLiteral("ANALYZE"));
}

template <class T>
T* child(QWidget* w, const char* name)
{
    return w->findChild<T*>(QLatin1String(name));
}

void selectRow(QTreeWidget* list, qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).toLongLong() == id) {
            list->setCurrentItem(list->topLevelItem(i));
            return;
        }
    }
    qFatal("row %lld not listed", id);
}

void line(const char* what, double view, double raw, int rows)
{
    std::printf("%-36s rows %6d  view %8.2f ms  raw SQL %8.2f ms  ratio %5.2f\n", what, rows, view, raw, view / raw);
}

struct OneSize
{
    double themeGoals = 0; // Frmjs goal list of one theme
    double goalTasks = 0;  // Frmmb task list of one goal
};

OneSize measure(int themes, bool full)
{
    const int goals = themes * 40;
    const qint64 bigGoal = goals + 1;
    std::printf("\n== %d themes, %d goals, %d tasks ==\n", themes, goals + 1, goals * 50 + 200);
    OneSize result;

    // Execution view: the themes, and the goals of one theme.
    auto* roles = Forms::instance<Frmjs>();
    auto* themeList = child<QTreeWidget>(roles, "ListView1");
    auto* roleGoals = child<QTreeWidget>(roles, "ListView2");
    selectRow(themeList, 7);
    child<QCheckBox>(roles, "Check1")->setChecked(true);
    const QString ofTheme = kGoalJoin.arg(QStringLiteral("LEFT JOIN")) + "WHERE m.juese = ? ORDER BY m.jsdate, m.id";
    result.themeGoals = medianMs([&] { roles->MBList(); });
    const double rawTheme = medianMs([&] { rawRows(ofTheme, {7}); });
    line("Frmjs goals of one theme (all)", result.themeGoals, rawTheme, roleGoals->topLevelItemCount());
    if (full) {
        const double fill = medianMs([&] { roles->JsList(); });
        const double raw = medianMs([&] {
            rawRows(QStringLiteral("SELECT id, name FROM juese ORDER BY id"));
            rawRows(ofTheme, {7});
        });
        line("Frmjs themes + goals of the theme", fill, raw, themeList->topLevelItemCount());
    }
    Forms::unload(roles);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Goals view.
    auto* view = Forms::instance<Frmmb>();
    view->resize(1280, 720);
    view->show();
    QCoreApplication::processEvents();
    auto* goalList = child<QTreeWidget>(view, "ListView1");
    auto* taskList = child<QTreeWidget>(view, "ListView2");
    selectRow(goalList, 4); // an executing goal
    result.goalTasks = medianMs([&] { view->RwList(); });
    const QString tasksOf = QStringLiteral("SELECT id, title, zhongyao, jinpo, today, xuhao, zhuangtai FROM renwu "
                                           "WHERE mubiao = ? ORDER BY xuhao, id");
    const double rawTasks = medianMs([&] { rawRows(tasksOf, {4}); });
    line("Frmmb tasks of one goal", result.goalTasks, rawTasks, taskList->topLevelItemCount());
    if (!full)
        return result;

    const double executing = medianMs([&] { view->MBList(); });
    const double rawExecuting = medianMs([&] {
        rawRows(kGoalJoin.arg(QStringLiteral("JOIN")) + "WHERE m.zhuangtai = 1 ORDER BY j.name, m.jsdate, m.id");
    });
    line("Frmmb goals being executed", executing, rawExecuting, goalList->topLevelItemCount());
    child<QCheckBox>(view, "Check2")->setChecked(true);
    const double all = medianMs([&] { view->MBList(); });
    const double rawAll =
        medianMs([&] { rawRows(kGoalJoin.arg(QStringLiteral("JOIN")) + "ORDER BY j.name, m.jsdate, m.id"); });
    line("Frmmb all goals", all, rawAll, goalList->topLevelItemCount());
    const double data = medianMs([&] { (void)Goals::listed(true); });
    line("  of which the data function", data, rawAll, goalList->topLevelItemCount());

    auto* search = child<QPushButton>(view, "Command1");
    const double found = medianMs([&] { search->click(); });
    const double rawFound = medianMs([&] {
        rawRows(kGoalJoin.arg(QStringLiteral("JOIN")) + "WHERE m.jsdate > ? AND m.jsdate < ? ORDER BY m.jsdate, m.id",
                {Db::dayValue(Clock::today().addDays(-30)), Db::dayValue(Clock::today().addDays(30))});
    });
    line("Frmmb search (61 days, any theme)", found, rawFound, goalList->topLevelItemCount());

    const QDate monday = view->weekStart();
    const double week = medianMs([&] { view->WeekMB(); });
    const double rawWeek = medianMs([&] {
        rawRows(kGoalJoin.arg(QStringLiteral("JOIN")) + "WHERE m.ksdate >= ? AND m.jsdate <= ? ORDER BY m.id",
                {Db::dayValue(monday), Db::dayValue(monday.addDays(7))});
    });
    line("Frmmb week list", week, rawWeek, child<QTreeWidget>(view, "ListView3")->topLevelItemCount());

    // Reordering the goal of 200 tasks: the last row dropped onto the first.
    child<QCheckBox>(view, "Check2")->setChecked(true);
    selectRow(goalList, bigGoal);
    QCoreApplication::processEvents();
    const double drag = medianMs([&] {
        taskList->setCurrentItem(taskList->topLevelItem(taskList->topLevelItemCount() - 1));
        const QPoint at = taskList->visualItemRect(taskList->topLevelItem(0)).center();
        QMimeData data;
        QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(taskList->viewport(), &enter);
        QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(taskList->viewport(), &drop);
    });
    QList<qint64> ids;
    for (int i = 0; i < taskList->topLevelItemCount(); ++i)
        ids << taskList->topLevelItem(i)->text(0).toLongLong();
    const double renumber = medianMs([&] { Goals::renumber(ids); });
    std::printf("%-36s rows %6d  drop %8.2f ms  (renumber transaction alone %.2f ms)\n", "Frmmb drag in a goal of 200",
                int(ids.size()), drag, renumber);
    Forms::unload(view);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool growth = !app.arguments().contains(QStringLiteral("--no-growth"));
    Clock::set(QDateTime(QDate(2009, 1, 31), QTime(10, 0)));
    Db::setErrorReporter([](const QString& text) { qFatal("database: %s", qPrintable(text)); });
    QTemporaryDir dir;

    build(dir.filePath(QStringLiteral("base.dc")), 50);
    const OneSize base = measure(50, true);
    if (growth) {
        build(dir.filePath(QStringLiteral("grown.dc")), 500);
        const OneSize grown = measure(500, false);
        std::printf("\nten times the data: goals of one theme x%.2f, tasks of one goal x%.2f\n",
                    grown.themeGoals / base.themeGoals, grown.goalTasks / base.goalTasks);
    }
    Db::closeAll();
    return 0;
}
