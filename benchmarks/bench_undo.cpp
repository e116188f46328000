// Undo of a large deletion: a theme with 200 goals and 20,000 tasks, in a file of 10 such themes,
// is deleted and brought back. Prints medians of the recorded delete, its undo and a delete that
// records nothing (the same three statements), the ratios between them, and checks each time that
// the undo brought back every row exactly. Run: bench_undo [rounds]
#include "data/db.h"
#include "data/store.h"
#include "data/themes.h"
#include "data/undo.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kThemes = 10;
constexpr int kGoals = 200;        // per theme
constexpr int kTasksPerGoal = 100; // 20,000 tasks per theme

void build(const QString& path)
{
    Db::closeAll();
    Db::path() = path;
    try {
        Store::ensureMainDatabase(path);
    } catch (const Db::Error& e) {
        qFatal("%s", qPrintable(e.text()));
    }
    Db::transaction([] {
        for (const char* table : {"renwu", "mubiao", "juese"})
            Db::execute(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        QSqlQuery theme(Db::main());
        theme.prepare(QStringLiteral("INSERT INTO juese (id, name, content) VALUES (?, ?, '说明')"));
        QSqlQuery goal(Db::main());
        goal.prepare(QStringLiteral("INSERT INTO mubiao (id, title, content, ksdate, jsdate, juese, zhuangtai)"
                                    " VALUES (?, ?, '目标说明', '2009-01-01', ?, ?, ?)"));
        QSqlQuery task(Db::main());
        task.prepare(QStringLiteral("INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today,"
                                    " intime, zhuangtai) VALUES (?, '任务说明', ?, ?, ?, ?, ?, ?, ?, ?)"));
        int goalId = 0;
        int t = 0;
        for (int th = 1; th <= kThemes; ++th) {
            theme.addBindValue(th);
            theme.addBindValue(QStringLiteral("主题 %1").arg(th));
            theme.exec();
            for (int g = 0; g < kGoals; ++g) {
                ++goalId;
                goal.addBindValue(goalId);
                goal.addBindValue(QStringLiteral("目标 %1").arg(goalId));
                goal.addBindValue(g % 7 == 0 ? QVariant() : QVariant(QStringLiteral("2009-03-01")));
                goal.addBindValue(th);
                goal.addBindValue(g % 3);
                goal.exec();
                for (int k = 0; k < kTasksPerGoal; ++k, ++t) {
                    task.addBindValue(QStringLiteral("任务 %1").arg(t));
                    task.addBindValue(goalId);
                    task.addBindValue(th);
                    task.addBindValue(t % 2);
                    task.addBindValue(t / 2 % 2);
                    task.addBindValue(k);
                    task.addBindValue(t % 5 == 0 ? QVariant() : QVariant(QStringLiteral("2009-01-31")));
                    task.addBindValue(t % 4 == 0 ? QVariant() : QVariant(QStringLiteral("08:30:00")));
                    task.addBindValue(t % 3);
                    task.exec();
                }
            }
        }
    });
}

// Everything the three tables hold, folded into one text to compare.
QString contents()
{
    QString all;
    for (const char* sql : {"SELECT group_concat(quote(id) || quote(name) || quote(content), ',') FROM"
                            " (SELECT * FROM juese ORDER BY id)",
                            "SELECT group_concat(quote(id) || quote(title) || quote(jsdate) || quote(juese) ||"
                            " quote(zhuangtai), ',') FROM (SELECT * FROM mubiao ORDER BY id)",
                            "SELECT count(*) || ':' || total(length(title) + mubiao * 3 + juese * 5 + zhongyao * 7"
                            " + jinpo * 11 + xuhao * 13 + ifnull(length(today), 17) + ifnull(length(intime), 19)"
                            " + zhuangtai * 23 + id * 29) FROM renwu"}) {
        QSqlQuery q = Db::exec(Db::main(), QString::fromLatin1(sql));
        q.next();
        all += q.value(0).toString() + QLatin1Char('|');
    }
    return all;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    QTemporaryDir dir;
    build(dir.filePath(QStringLiteral("mylive.dc")));
    const QString before = contents();
    const qint64 theme = 3;
    std::printf("theme %lld: %lld goals, %lld tasks\n", theme,
                Db::count(QStringLiteral("SELECT count(*) FROM mubiao WHERE juese = ?"), {theme}),
                Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE juese = ?"), {theme}));

    QList<double> recorded, undone, plain;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        // The same deletion recording nothing, undone by a rollback (not timed).
        try {
            Db::transaction([&] {
                t.start();
                Db::execute(QStringLiteral("DELETE FROM renwu WHERE juese = ? OR mubiao IN"
                                           " (SELECT id FROM mubiao WHERE juese = ?)"),
                            {theme, theme});
                Db::execute(QStringLiteral("DELETE FROM mubiao WHERE juese = ?"), {theme});
                Db::execute(QStringLiteral("DELETE FROM juese WHERE id = ?"), {theme});
                plain << t.nsecsElapsed() / 1e6;
                throw Db::Error(QStringLiteral("roll back"));
            });
        } catch (const Db::Error&) {}

        t.start();
        Themes::removeWithGoals(theme);
        recorded << t.nsecsElapsed() / 1e6;
        if (Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE juese = ?"), {theme}) != 0)
            qFatal("the theme's tasks were not deleted");

        t.start();
        const Undo::Outcome outcome = Undo::undo();
        undone << t.nsecsElapsed() / 1e6;
        if (outcome.result != Undo::Result::Done)
            qFatal("the undo was refused");
        if (contents() != before)
            qFatal("the undo did not bring back exactly what was deleted");
    }
    const double r = median(recorded), u = median(undone), p = median(plain);
    std::printf("delete without recording (baseline): %8.1f ms\n", p);
    std::printf("delete, recorded for undo:           %8.1f ms  (%.2f x baseline)\n", r, r / p);
    std::printf("undo of that deletion:               %8.1f ms  (%.2f x the recorded delete, %.2f x baseline)\n", u,
                u / r, u / p);
    std::printf("undo under 500 ms: %s; every undo restored the rows exactly (%d rounds)\n", u < 500 ? "yes" : "NO",
                rounds);
    Db::closeAll();
    return u < 500 ? 0 : 1;
}
