// The task list view's fills against the raw SQL for the same rows, with 100,000 tasks.
// Prints medians (milliseconds) and their ratios, all measured in this run.
#include "data/db.h"
#include "data/store.h"
#include "data/tasklist.h"
#include "gui/forms.h"
#include "shell/resources.h"
#include "views/tasks/frmrw.h"

#include "benchsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kTasks = 100000;
constexpr int kGoals = 300;
constexpr int kRuns = 31;

double medianMs(const std::function<void()>& work)
{
    return Bench::medianMs({.runs = kRuns, .warm = true}, work);
}

void generate()
{
    QRandomGenerator random(20090131);
    Db::transaction([&] {
        for (int g = 0; g < kGoals; ++g)
            Db::execute(QStringLiteral("INSERT INTO mubiao (title, juese, zhuangtai) VALUES (?, ?, ?)"),
                        {QStringLiteral("目标%1").arg(g), 1 + g % 5, g % 3});
        const qint64 firstGoal = Db::count(QStringLiteral("SELECT min(id) FROM mubiao WHERE title = '目标0'"));
        QSqlQuery insert(Db::main());
        insert.prepare(QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today,"
                                      " intime, zhuangtai) VALUES (?, '', ?, ?, ?, ?, ?, ?, ?, ?)"));
        const QDate base(2009, 1, 31);
        for (int i = 0; i < kTasks; ++i) {
            const int goal = int(random.bounded(kGoals));
            const int roll = int(random.bounded(100));
            // Most tasks are open and not yet planned; the rest are planned around the day.
            const bool planned = roll >= 70;
            const int state = roll < 70 ? 0 : int(random.bounded(4));
            insert.addBindValue(QStringLiteral("生成的任务 %1 第%2步").arg(i).arg(roll));
            insert.addBindValue(firstGoal + goal);
            insert.addBindValue(1 + goal % 5);
            insert.addBindValue(int(random.bounded(2)));
            insert.addBindValue(int(random.bounded(2)));
            insert.addBindValue(i / kGoals);
            insert.addBindValue(planned ? Db::dayValue(base.addDays(int(random.bounded(120)) - 60)) : QVariant());
            insert.addBindValue(planned && roll % 2 ? QVariant(QStringLiteral("09:30:00")) : QVariant());
            insert.addBindValue(state);
            if (!insert.exec())
                throw Db::Error(QStringLiteral("insert failed"));
        }
    });
    Db::execute(QStringLiteral("ANALYZE"));
}

// The page's statements straight through QSqlQuery: the count and the rows, every column read.
void rawPage(const QString& where, int offset, bool withCount)
{
    QSqlDatabase db = Db::main();
    if (withCount) {
        QSqlQuery count(db);
        count.setForwardOnly(true);
        count.exec(QStringLiteral("SELECT count(*) FROM renwu") + where);
        count.next();
    }
    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    rows.prepare(QStringLiteral("SELECT id, title, zhuangtai, zhongyao, jinpo, xuhao, today FROM renwu%1"
                                " ORDER BY mubiao, xuhao, id LIMIT 25 OFFSET ?")
                     .arg(where));
    rows.addBindValue(offset);
    rows.exec();
    int n = 0;
    while (rows.next()) {
        for (int c = 0; c < 7; ++c)
            (void)rows.value(c);
        ++n;
    }
    if (n != 25)
        std::printf("unexpected row count %d\n", n);
}

void plan(const QString& sql)
{
    QSqlQuery q(Db::main());
    q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    while (q.next())
        std::printf("    %s\n", qPrintable(q.value(3).toString()));
}

// The median time of `work`, each run prepared by `setup` (not timed).
double medianMs(const std::function<void()>& setup, const std::function<void()>& work)
{
    // The first run warms the caches.
    return Bench::medianMs({.runs = kRuns, .warm = true, .before = setup}, work);
}

// The medians of several pieces of work run in turns, one run of each per round.
QList<double> interleavedMedians(const QList<std::function<void()>>& works)
{
    QList<QList<double>> times(works.size());
    for (int round = 0; round <= kRuns; ++round) {
        for (qsizetype w = 0; w < works.size(); ++w) {
            QElapsedTimer t;
            t.start();
            works[w]();
            if (round > 0) // the first round warms the caches
                times[w] << double(t.nsecsElapsed()) / 1e6;
        }
    }
    QList<double> medians;
    for (QList<double>& list : times) {
        std::sort(list.begin(), list.end());
        medians << list[list.size() / 2];
    }
    return medians;
}

void measure(Frmrw* view)
{
    auto* list = view->findChild<QTreeWidget*>(QStringLiteral("ListView2"));
    auto* next = view->findChild<QPushButton*>(QStringLiteral("Command8"));
    auto* previous = view->findChild<QPushButton*>(QStringLiteral("Command7"));
    auto rowsShown = [list](const char* what) {
        if (list->topLevelItemCount() != TaskList::kPageSize)
            std::printf("  (%s: the view showed %d rows)\n", what, list->topLevelItemCount());
    };
    TaskList::Filter all;
    all.openUnplanned = false; // "筛选" with nothing chosen: every task
    constexpr int deepRow = 90000;
    const int deepPage = deepRow / TaskList::kPageSize + 1; // rows 90,001 to 90,025
    const QString defaultWhere = QStringLiteral(" WHERE zhuangtai = 0 AND today IS NULL");
    const int deepDefault = 60000 / TaskList::kPageSize + 1; // the default list has about 70,000 rows

    struct Figures
    {
        double first, secondNext, forwardNext, deepNext, deepJump, raw, rawRows, rawDeep;
    };
    auto figures = [&](const TaskList::Filter& filter, const QString& where, int deep) {
        Figures f{};
        // Page 1 by the view and by the raw SQL, taken in turns so that a busy machine slows both.
        const QList<double> firsts =
            interleavedMedians({[&] {
                                    view->setPageNumber(1);
                                    view->renwuliebiao(filter);
                                },
                                [&] { rawPage(where, 0, true); }, [&] { rawPage(where, 0, false); }});
        f.first = firsts[0];
        f.raw = firsts[1];
        f.rawRows = firsts[2];
        rowsShown("first page");
        // Page 2 by "下一页", to tell the cost of the button from the cost of the depth.
        f.secondNext = medianMs(
            [&] {
                view->setPageNumber(1);
                view->renwuliebiao(filter);
            },
            [&] { next->click(); });
        // Paging with "下一页" up to the deep page, each press reading a page not read before.
        view->setPageNumber(deep - kRuns - 1);
        view->renwuliebiao(filter);
        f.forwardNext = medianMs([] {}, [&] { next->click(); });
        if (view->pageNumber() != deep)
            std::printf("  (paging ended on page %d, not %d)\n", view->pageNumber(), deep);
        // The deep page by "下一页" from the page before it, read before as page 1 was ("上一页" to
        // go back, not timed).
        f.deepNext = medianMs([&] { previous->click(); }, [&] { next->click(); });
        f.deepJump = medianMs([&] {
            view->setPageNumber(deep);
            view->renwuliebiao(filter);
        });
        f.rawDeep = medianMs([&] { rawPage(where, (deep - 1) * TaskList::kPageSize, true); });
        return f;
    };
    auto print = [](const char* name, int deepFrom, const Figures& f) {
        std::printf("  %s\n", name);
        std::printf("    page 1: view %.3f ms; raw SQL count+rows %.3f ms, rows alone %.3f ms\n", f.first, f.raw,
                    f.rawRows);
        std::printf("    row 26 by \"下一页\": view %.3f ms; paging on through pages not read before: %.3f ms a page\n",
                    f.secondNext, f.forwardNext);
        std::printf("    row %d by \"下一页\": view %.3f ms; straight to it (offset): view %.3f ms, raw %.3f ms\n",
                    deepFrom + 1, f.deepNext, f.deepJump, f.rawDeep);
        std::printf(
            "    ratios: page 1 view/raw %.2f; deep by 下一页 / page 1 %.2f; deep / row 26, both by 下一页 %.2f;"
            " deep by offset / page 1 %.2f\n",
            f.first / f.raw, f.deepNext / f.first, f.deepNext / f.secondNext, f.deepJump / f.first);
    };
    print("every task (100,000 rows)", deepRow, figures(all, QString(), deepPage));
    print("default list: open, no day", (deepDefault - 1) * TaskList::kPageSize,
          figures(TaskList::Filter(), defaultWhere, deepDefault));

    std::printf("  query plans\n");
    plan(QStringLiteral("SELECT count(*) FROM renwu") + defaultWhere);
    plan(QStringLiteral("SELECT id, title FROM renwu") + defaultWhere
         + QStringLiteral(" AND (mubiao, xuhao, id) > (1, 1, 1) ORDER BY mubiao, xuhao, id LIMIT 25"));
    plan(QStringLiteral("SELECT id, title FROM renwu WHERE (mubiao, xuhao, id) > (1, 1, 1)"
                        " ORDER BY mubiao, xuhao, id LIMIT 25"));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    QTemporaryDir dir;
    Db::path() = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(Db::path());
    } catch (const Db::Error& e) {
        std::printf("cannot create the database: %s\n", qPrintable(e.text()));
        return 1;
    }
    QElapsedTimer made;
    made.start();
    generate();
    const int total = int(Db::count(QStringLiteral("SELECT count(*) FROM renwu")));
    const int openUnplanned =
        int(Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today IS NULL")));
    std::printf("tasks: %d (open without a day: %d), generated in %.0f ms\n", total, openUnplanned,
                double(made.elapsed()));

    Frmrw* view = Forms::instance<Frmrw>();
    view->resize(1024, 700);
    view->show();
    std::printf("\n-- with the indexes of the schema\n");
    measure(view);
    // The index this view asks for: the default list (open, no day) found and ordered by it. The
    // schema has it by now; the second measure then shows the figures again after ANALYZE.
    Db::execute(
        QStringLiteral("CREATE INDEX IF NOT EXISTS renwu_state_day_goal ON renwu (zhuangtai, today, mubiao, xuhao)"));
    Db::execute(QStringLiteral("ANALYZE"));
    std::printf("\n-- with renwu_state_day_goal (zhuangtai, today, mubiao, xuhao), after ANALYZE\n");
    measure(view);

    Forms::unload(view);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db::closeAll();
    return 0;
}
