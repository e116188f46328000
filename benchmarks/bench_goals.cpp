// The goals area's lists against the raw SQL of the rows they show, on 2,000 goals under 50
// themes with 100,000 tasks, and again on ten times that. Prints medians and ratios measured in
// this run. Run offscreen: QT_QPA_PLATFORM=offscreen bench_goals [--no-growth]
#include "data/db.h"
#include "data/goals.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "shell/resources.h"
#include "views/goals/frmjs.h"
#include "views/goals/frmmb.h"

#include "benchsupport.h"

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

constexpr int kRuns = 41;

double medianMs(const std::function<void()>& work, int runs = kRuns)
{
    return Bench::medianMs({.runs = runs, .warm = true}, work);
}

struct Pair
{
    double view = 0;
    double raw = 0;
};

// Medians of the two, run in turns so that the machine's load weighs on both alike.
Pair medianPair(const std::function<void()>& view, const std::function<void()>& raw, int runs = kRuns)
{
    view();
    raw();
    QList<double> a, b;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        view();
        a << t.nsecsElapsed() / 1e6;
        t.start();
        raw();
        b << t.nsecsElapsed() / 1e6;
    }
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return {a[a.size() / 2], b[b.size() / 2]};
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

const QString kGoalJoin = QStringLiteral("SELECT m.id, m.title, m.ksdate, m.jsdate, m.juese, m.zhuangtai, j.id, j.name "
                                         "FROM mubiao AS m %1 juese AS j ON j.id = m.juese ");

// A database of `themes` themes, 40 goals each, 50 tasks per goal, and one extra goal of 200
// tasks (the last goal).
void build(const QString& path, int themes)
{
    Db::closeAll();
    Db::path() = path;
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        qFatal("%s", qPrintable(e.text()));
    }
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
        task.prepare(
            QStringLiteral("INSERT INTO renwu (title, mubiao, juese, zhongyao, jinpo, xuhao, today, zhuangtai) "
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
    // The rows are counted once the pair has run.
    auto report = [](const char* what, const Pair& p, const QTreeWidget* list) {
        line(what, p.view, p.raw, list->topLevelItemCount());
    };

    // Execution view: the themes, and the goals of one theme.
    auto* roles = Forms::instance<Frmjs>();
    auto* themeList = child<QTreeWidget>(roles, "ListView1");
    auto* roleGoals = child<QTreeWidget>(roles, "ListView2");
    selectRow(themeList, 7);
    child<QCheckBox>(roles, "Check1")->setChecked(true);
    const QString ofTheme =
        kGoalJoin.arg(QStringLiteral("LEFT JOIN")) + QStringLiteral("WHERE m.juese = ? ORDER BY m.jsdate, m.id");
    const Pair theme = medianPair([&] { roles->MBList(); }, [&] { rawRows(ofTheme, {7}); });
    result.themeGoals = theme.view;
    report("Frmjs goals of one theme (all)", theme, roleGoals);
    if (full) {
        report("Frmjs themes + goals of the theme",
               medianPair([&] { roles->JsList(); },
                          [&] {
                              rawRows(QStringLiteral("SELECT id, name FROM juese ORDER BY id"));
                              rawRows(ofTheme, {7});
                          }),
               themeList);
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
    const QString tasksOf = QStringLiteral("SELECT id, title, zhongyao, jinpo, today, xuhao, zhuangtai FROM renwu "
                                           "WHERE mubiao = ? ORDER BY xuhao, id");
    const Pair tasks = medianPair([&] { view->RwList(); }, [&] { rawRows(tasksOf, {4}); });
    result.goalTasks = tasks.view;
    report("Frmmb tasks of one goal", tasks, taskList);
    if (!full)
        return result;

    const QString executing =
        kGoalJoin.arg(QStringLiteral("JOIN")) + QStringLiteral("WHERE m.zhuangtai = 1 ORDER BY j.name, m.jsdate, m.id");
    report("Frmmb goals being executed", medianPair([&] { view->MBList(); }, [&] { rawRows(executing); }), goalList);
    report("  of which the data function", medianPair([&] { (void)Goals::listed(false); }, [&] { rawRows(executing); }),
           goalList);
    child<QCheckBox>(view, "Check2")->setChecked(true);
    const QString all = kGoalJoin.arg(QStringLiteral("JOIN")) + QStringLiteral("ORDER BY j.name, m.jsdate, m.id");
    report("Frmmb all goals", medianPair([&] { view->MBList(); }, [&] { rawRows(all); }), goalList);
    report("  of which the data function", medianPair([&] { (void)Goals::listed(true); }, [&] { rawRows(all); }),
           goalList);

    auto* search = child<QPushButton>(view, "Command1");
    const QString found = kGoalJoin.arg(QStringLiteral("JOIN"))
                          + QStringLiteral("WHERE m.jsdate > ? AND m.jsdate < ? ORDER BY m.jsdate, m.id");
    report(
        "Frmmb search (61 days, any theme)",
        medianPair(
            [&] { search->click(); },
            [&] {
                rawRows(found, {Db::dayValue(Clock::today().addDays(-30)), Db::dayValue(Clock::today().addDays(30))});
            }),
        goalList);

    const QDate monday = view->weekStart();
    const QString week =
        kGoalJoin.arg(QStringLiteral("JOIN")) + QStringLiteral("WHERE m.ksdate >= ? AND m.jsdate <= ? ORDER BY m.id");
    report("Frmmb week list",
           medianPair([&] { view->WeekMB(); },
                      [&] {
                          rawRows(week, {Db::dayValue(monday), Db::dayValue(monday.addDays(7))});
                      }),
           child<QTreeWidget>(view, "ListView3"));

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
    initResources(); // the views' icons, as the program has them
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
