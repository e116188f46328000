// The four-quadrant board and the weekly review against the raw SQL for the same rows, and a move
// between quadrants with the refill of the open views, with 100,000 tasks. Prints medians
// (milliseconds) and their ratios, all measured in this run.
#include "data/db.h"
#include "data/quadrant.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "shell/resources.h"
#include "views/quadrant/frmquadrant.h"
#include "views/tasks/frmrw.h"
#include "views/today/frmmain.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
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
constexpr int kThemes = 8;
constexpr int kRuns = 31;
const QDate kToday(2009, 1, 31);

void generate()
{
    QRandomGenerator random(20090131);
    Db::transaction([&] {
        for (int t = 0; t < kThemes; ++t)
            Db::execute(QStringLiteral("INSERT INTO juese (name) VALUES (?)"), {QStringLiteral("主题%1").arg(t)});
        QSqlQuery insert(Db::main());
        insert.prepare(QStringLiteral("INSERT INTO renwu (title, content, juese, zhongyao, jinpo, xuhao, today,"
                                      " intime, zhuangtai) VALUES (?, '', ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kTasks; ++i) {
            const int roll = int(random.bounded(100));
            // Half the tasks have no day; the rest are spread over two years around today.
            const bool planned = roll >= 50;
            const int state = roll < 60 ? 0 : int(random.bounded(4));
            insert.addBindValue(QStringLiteral("生成的任务 %1").arg(i));
            insert.addBindValue(1 + int(random.bounded(kThemes)));
            insert.addBindValue(int(random.bounded(2)));
            insert.addBindValue(int(random.bounded(2)));
            insert.addBindValue(i % 50);
            insert.addBindValue(planned ? Db::dayValue(kToday.addDays(int(random.bounded(730)) - 365)) : QVariant());
            insert.addBindValue(planned && roll % 2 ? QVariant(QStringLiteral("09:30:00")) : QVariant());
            insert.addBindValue(state);
            if (!insert.exec())
                throw Db::Error(QStringLiteral("insert failed"));
        }
    });
    Db::execute(QStringLiteral("ANALYZE"));
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

void readAll(QSqlQuery& q, int columns)
{
    while (q.next())
        for (int c = 0; c < columns; ++c)
            (void)q.value(c);
}

// The board's statements straight through QSqlQuery: the counts, then each quadrant's rows.
void rawBoard(const QString& where, const QVariantList& values)
{
    QSqlDatabase db = Db::main();
    QSqlQuery counts(db);
    counts.setForwardOnly(true);
    counts.prepare(QStringLiteral("SELECT (CASE WHEN zhongyao <> 0 THEN 0 ELSE 2 END + CASE WHEN jinpo <> 0 THEN 0"
                                  " ELSE 1 END) AS q, count(*) FROM renwu WHERE %1 GROUP BY q")
                       .arg(where));
    for (const QVariant& v : values)
        counts.addBindValue(v);
    counts.exec();
    readAll(counts, 2);
    const bool undated = !where.contains(QLatin1String("today"));
    const bool dated = !where.contains(QLatin1String("today IS NULL"));
    for (int q = 0; q < 4; ++q) {
        auto read = [&](const QString& more, int limit) {
            QSqlQuery rows(db);
            rows.setForwardOnly(true);
            rows.prepare(QStringLiteral("SELECT id, title, today, intime FROM renwu WHERE %1 AND (zhongyao <> 0) = ?"
                                        " AND (jinpo <> 0) = ? %2 LIMIT ?")
                             .arg(where, more));
            for (const QVariant& v : values)
                rows.addBindValue(v);
            rows.addBindValue(Quadrant::importance(q));
            rows.addBindValue(Quadrant::urgency(q));
            rows.addBindValue(limit);
            rows.exec();
            int n = 0;
            while (rows.next()) {
                for (int c = 0; c < 4; ++c)
                    (void)rows.value(c);
                ++n;
            }
            return n;
        };
        int n = 0;
        if (dated)
            n = read(QStringLiteral("AND today IS NOT NULL ORDER BY today, intime, mubiao, xuhao, id"),
                     FrmQuadrant::kRowCap);
        if (undated && n < FrmQuadrant::kRowCap)
            read(QStringLiteral("AND today IS NULL ORDER BY mubiao, xuhao, id"), FrmQuadrant::kRowCap - n);
    }
}

void rawReview(const QDate& monday)
{
    QSqlQuery q(Db::main());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT (CASE WHEN zhongyao <> 0 THEN 0 ELSE 2 END + CASE WHEN jinpo <> 0 THEN 0"
                             " ELSE 1 END) AS q, zhuangtai, count(*) FROM renwu WHERE today BETWEEN ? AND ?"
                             " GROUP BY q, zhuangtai"));
    q.addBindValue(Db::dayValue(monday));
    q.addBindValue(Db::dayValue(monday.addDays(6)));
    q.exec();
    readAll(q, 3);
}

void plan(const QString& sql)
{
    QSqlQuery q(Db::main());
    q.exec(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    while (q.next())
        std::printf("    %s\n", qPrintable(q.value(3).toString()));
}

bool dropOn(QTreeWidget* list)
{
    QMimeData data;
    data.setData(QStringLiteral("text/plain"), "1");
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    return drop.isAccepted();
}

void measure(FrmQuadrant* view)
{
    auto* range = view->findChild<QComboBox*>(QStringLiteral("Combo1"));
    auto board = [&](int index, const char* name, const QString& where, const QVariantList& values) {
        range->setCurrentIndex(index);
        const QList<double> m = interleavedMedians({[&] { view->QList_Fill(); }, [&] { rawBoard(where, values); }});
        std::printf("  board \"%s\": view %.3f ms, raw SQL %.3f ms, ratio %.2f\n", name, m[0], m[1], m[0] / m[1]);
    };
    board(1, "本周", QStringLiteral("zhuangtai = 0 AND today BETWEEN ? AND ?"),
          {Db::dayValue(Quadrant::weekStart(kToday)), Db::dayValue(Quadrant::weekEnd(kToday))});
    board(3, "全部未完成", QStringLiteral("zhuangtai = 0"), {});
    board(2, "未安排", QStringLiteral("zhuangtai = 0 AND today IS NULL"), {});

    const QDate monday = Quadrant::weekStart(kToday);
    const QList<double> review = interleavedMedians({[&] { view->ReviewShow(); }, [&] { rawReview(monday); }});
    std::printf("  review of a week: view %.3f ms, raw SQL %.3f ms, ratio %.2f\n", review[0], review[1],
                review[0] / review[1]);

    // A move back and forth between two quadrants: the statement, the announcement and the
    // refills of every open view (this board, the today view, the task list).
    range->setCurrentIndex(1);
    view->QList_Fill();
    auto* q3 = view->findChild<QTreeWidget*>(QStringLiteral("ListQ3"));
    auto* q2 = view->findChild<QTreeWidget*>(QStringLiteral("ListQ2"));
    QList<double> moves;
    for (int i = 0; i <= kRuns; ++i) {
        QTreeWidget* from = i % 2 ? q2 : q3;
        QTreeWidget* to = i % 2 ? q3 : q2;
        if (from->topLevelItemCount() == 0)
            break;
        from->setCurrentItem(from->topLevelItem(0));
        QElapsedTimer t;
        t.start();
        const qint64 id = from->topLevelItem(0)->text(0).toLongLong();
        dropOn(to);
        if (Db::count(QStringLiteral("SELECT jinpo FROM renwu WHERE id = ?"), {id}) != (i % 2 ? 1 : 0))
            std::printf("  (the move did not store the quadrant)\n");
        if (i > 0)
            moves << double(t.nsecsElapsed()) / 1e6;
    }
    std::sort(moves.begin(), moves.end());
    if (!moves.isEmpty())
        std::printf("  move by drop with the refill of the open views: %.3f ms (median of %lld)\n",
                    moves[moves.size() / 2], static_cast<long long>(moves.size()));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources(); // the views' icons, as the program has them
    Clock::set(QDateTime(kToday, QTime(10, 0, 0)));
    // The today view's question about earlier open tasks: leave them where they are.
    setMsgBoxResponder([](const QString& text, QMessageBox::StandardButtons) {
        std::printf("  (message: %s)\n", qPrintable(text));
        return QMessageBox::No;
    });
    QTemporaryDir dir;
    Db::path() = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(Db::path());
    } catch (const Db::Error& e) {
        std::printf("cannot create the database: %s\n", qPrintable(e.text()));
        return 1;
    }
    Db::execute(QStringLiteral("DELETE FROM renwu"));
    QElapsedTimer made;
    made.start();
    generate();
    std::printf("tasks: %lld (open: %lld, open this week: %lld), generated in %.0f ms\n",
                static_cast<long long>(Db::count(QStringLiteral("SELECT count(*) FROM renwu"))),
                static_cast<long long>(Db::count(QStringLiteral("SELECT count(*) FROM renwu WHERE zhuangtai = 0"))),
                static_cast<long long>(Db::count(
                    QStringLiteral("SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today BETWEEN ? AND ?"),
                    {Db::dayValue(Quadrant::weekStart(kToday)), Db::dayValue(Quadrant::weekEnd(kToday))})),
                double(made.elapsed()));

    // The other views that follow a move, open as they would be.
    Frmmain* today = Forms::instance<Frmmain>();
    today->resize(1024, 700);
    today->show();
    Frmrw* tasks = Forms::instance<Frmrw>();
    tasks->resize(1024, 700);
    tasks->show();
    FrmQuadrant* view = Forms::instance<FrmQuadrant>();
    view->resize(1024, 700);
    view->show();
    measure(view);

    std::printf("  query plans\n");
    plan(QStringLiteral("SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today BETWEEN '2009-01-26' AND "
                        "'2009-02-01'"));
    plan(QStringLiteral("SELECT id FROM renwu WHERE zhuangtai = 0 AND (zhongyao <> 0) = 1 AND (jinpo <> 0) = 0"
                        " AND today IS NOT NULL ORDER BY today, intime, mubiao, xuhao, id LIMIT 300"));
    plan(QStringLiteral("SELECT id FROM renwu WHERE zhuangtai = 0 AND (zhongyao <> 0) = 1 AND (jinpo <> 0) = 0"
                        " AND today IS NULL ORDER BY mubiao, xuhao, id LIMIT 300"));
    plan(QStringLiteral("SELECT zhuangtai, count(*) FROM renwu WHERE today BETWEEN '2009-01-26' AND '2009-02-01'"
                        " GROUP BY zhuangtai"));

    Forms::unload(view);
    Forms::unload(tasks);
    Forms::unload(today);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db::closeAll();
    return 0;
}
