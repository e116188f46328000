// Times the planning grids' fills against the raw SQL of their rows, and the .xlsx export, with
// 5,000 tasks in the range and again with ten times as many.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_plan
#include "data/db.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "shell/resources.h"
#include "views/plan/frmdate.h"
#include "views/plan/frmguihua.h"
#include "views/plan/xlsxexport.h"

#include "benchsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const QDate kToday(2009, 1, 31);
constexpr int kTasksPerGoal = 10;
constexpr int kThemes = 12;

const QString kDeadlineSql =
    QStringLiteral("SELECT j.id AS theme_id, j.name AS theme, m.id AS goal_id, m.title AS goal, m.jsdate,"
                   " r.id AS task_id, r.title AS task, r.xuhao, r.today, r.zhuangtai"
                   " FROM juese j JOIN mubiao m ON m.juese = j.id JOIN renwu r ON r.mubiao = m.id"
                   " WHERE m.jsdate >= ? AND m.jsdate <= ? ORDER BY j.id, m.jsdate, m.id, r.xuhao, r.id");
const QString kDaySql = QStringLiteral(
    "SELECT r.id AS task_id, r.today, r.intime, j.name AS theme, m.title AS goal, r.title AS task, r.xuhao,"
    " r.zhuangtai FROM renwu r LEFT JOIN juese j ON j.id = r.juese LEFT JOIN mubiao m ON m.id = r.mubiao"
    " WHERE r.today > ? AND r.today < ? AND r.today IS NOT NULL ORDER BY r.today, r.intime, r.id");

using Bench::median;

using Bench::elapsedMs;

struct Pair
{
    double view;
    double raw;
};

// Medians of the view and of the raw SQL, taken in turns so that both meet the same load.
Pair timed(int rounds, const std::function<void()>& view, const std::function<void()>& raw)
{
    QList<double> views;
    QList<double> raws;
    for (int i = 0; i < rounds; ++i) {
        views << elapsedMs(view);
        raws << elapsedMs(raw);
    }
    return {median(views), median(raws)};
}

// Runs the query and reads every column of every row, as a fill must.
int rawRows(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = Db::exec(Db::main(), sql, values);
    const int columns = q.record().count();
    int n = 0;
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            q.value(c);
        ++n;
    }
    return n;
}

// Adds goals due inside the default range, each with its tasks on days inside it.
void addPlans(int goals)
{
    Db::transaction([&] {
        const qint64 firstTheme = Db::count(QStringLiteral("SELECT min(id) FROM juese"));
        for (int g = 0; g < goals; ++g) {
            const qint64 theme = firstTheme + g % kThemes;
            const QString due = kToday.addDays(-29 + g % 59).toString(Qt::ISODate);
            Db::exec(Db::main(), QStringLiteral("INSERT INTO mubiao (title, juese, jsdate) VALUES (?, ?, ?)"),
                     {QStringLiteral("目标%1：完成阶段计划").arg(g), theme, due});
            const qint64 goal = Db::count(QStringLiteral("SELECT last_insert_rowid()"));
            for (int t = 0; t < kTasksPerGoal; ++t) {
                const int n = g * kTasksPerGoal + t;
                Db::exec(Db::main(),
                         QStringLiteral("INSERT INTO renwu (title, mubiao, juese, xuhao, today, intime, zhuangtai)"
                                        " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                         {QStringLiteral("任务%1：整理资料并写出小结").arg(n), goal, theme, t + 1,
                          kToday.addDays(-29 + n % 59).toString(Qt::ISODate),
                          n % 3 == 0 ? QVariant(QStringLiteral("%1:30:00").arg(8 + n % 12, 2, 10, QLatin1Char('0')))
                                     : QVariant(),
                          n % 4 == 1   ? 1
                          : n % 4 == 2 ? 2
                                       : 0});
            }
        }
    });
    Db::exec(Db::main(), QStringLiteral("ANALYZE"));
}

struct Figures
{
    int rows;
    Pair fill;
    double paintMs;
    double exportMs;
};

Figures measure(PlanWindow* view, const QString& sql, const QVariantList& values, int rounds, const QString& file)
{
    Figures f{};
    f.fill = timed(
        rounds, [&] { view->fill(); }, [&] { rawRows(sql, values); });
    f.rows = int(view->table().rows.size());
    // The one repaint that follows a fill (the visible rows only).
    QList<double> paints;
    for (int i = 0; i < rounds; ++i) {
        view->fill();
        paints << elapsedMs([&] { QApplication::processEvents(); });
    }
    f.paintMs = median(paints);
    QList<double> exports;
    for (int i = 0; i < std::max(3, rounds / 3); ++i) {
        exports << elapsedMs([&] {
            if (!XlsxExport::save(file, view->table(), {15, 15, 15, 50, 15, 15}))
                std::fprintf(stderr, "export failed\n");
        });
    }
    f.exportMs = median(exports);
    return f;
}

void report(const char* what, const Figures& f)
{
    std::printf(
        "%-26s rows %6d   fill %7.2f ms   raw SQL %7.2f ms   ratio %.2f   then repaint %5.2f ms   export %7.1f ms\n",
        what, f.rows, f.fill.view, f.fill.raw, f.fill.view / f.fill.raw, f.paintMs, f.exportMs);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 1;
    }
    Db::path() = path;
    Db::setErrorReporter([](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    Clock::set(QDateTime(kToday, QTime(10, 0)));
    Db::transaction([] {
        for (const char* table : {"renwu", "mubiao", "juese"})
            Db::exec(Db::main(), QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        for (int t = 0; t < kThemes; ++t)
            Db::exec(Db::main(), QStringLiteral("INSERT INTO juese (name) VALUES (?)"),
                     {QStringLiteral("行动主题%1").arg(t)});
    });

    const QVariantList deadlineRange = {kToday.addDays(-30).toString(Qt::ISODate),
                                        kToday.addDays(30).toString(Qt::ISODate)};
    const QString file = dir.filePath(QStringLiteral("plan.xlsx"));
    QList<Figures> overview, byDate;
    for (const int goals : {500, 5000}) {
        const int existing = int(Db::count(QStringLiteral("SELECT count(*) FROM mubiao")));
        addPlans(goals - existing);
        const int rounds = goals > 500 ? 9 : 41;

        FrmGuiHua* plan = Forms::instance<FrmGuiHua>();
        plan->show();
        QApplication::processEvents();
        overview << measure(plan, kDeadlineSql, deadlineRange, rounds, file);
        Forms::unload(plan);
        QApplication::processEvents();

        FrmDate* dates = Forms::instance<FrmDate>();
        dates->show();
        QApplication::processEvents();
        byDate << measure(dates, kDaySql, deadlineRange, rounds, file);
        Forms::unload(dates);
        QApplication::processEvents();

        std::printf("%d tasks of %d goals in the range; medians of %d rounds\n", goals * kTasksPerGoal, goals, rounds);
        report("plan overview (FrmGuiHua)", overview.last());
        report("plan by date (FrmDate)", byDate.last());
        for (const QString& sql : {kDeadlineSql, kDaySql}) {
            QSqlQuery plan = Db::exec(Db::main(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql, deadlineRange);
            QStringList steps;
            while (plan.next())
                steps << plan.value(3).toString();
            std::printf("  plan: %s\n", qPrintable(steps.join(QStringLiteral("; "))));
        }
    }
    std::printf("ten times the rows: overview fill x%.1f, export x%.1f; by date fill x%.1f, export x%.1f\n",
                overview[1].fill.view / overview[0].fill.view, overview[1].exportMs / overview[0].exportMs,
                byDate[1].fill.view / byDate[0].fill.view, byDate[1].exportMs / byDate[0].exportMs);
    // The by-date query reaches the task rows through the day index in day order, away from
    // their storage order; with SQLite's default page cache of 2 MB that costs more per row once
    // the table outgrows it. The same query with a larger cache:
    const Pair cached = timed(
        9, [&] { rawRows(kDaySql, deadlineRange); },
        [&] {
            Db::exec(Db::main(), QStringLiteral("PRAGMA cache_size = -65536"));
            rawRows(kDaySql, deadlineRange);
            Db::exec(Db::main(), QStringLiteral("PRAGMA cache_size = -2000"));
        });
    std::printf("by-date raw SQL at 50,000 rows: %.1f ms with the default cache, %.1f ms with a 64 MB cache\n",
                cached.view, cached.raw);
    Db::closeAll();
    return 0;
}
