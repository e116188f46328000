// Times the desktop task bar's refill against the raw SQL for the same rows, with 200 tasks on
// the day among 20,000 on other days, and the frame's load with and without the bar and the tray.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_desktop
#include "data/db.h"
#include "data/store.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/myicon.h"
#include "shell/resources.h"
#include "views/desktop/toolbar.h"

#include "benchsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kToday = 200;
constexpr int kOther = 20000;
constexpr int kRounds = 41;
constexpr int kFrameRounds = 31;
const QDate kDay(2009, 1, 31);

using Bench::median;

using Bench::elapsedMs;

// Runs the query and reads every column of every row, as a list fill must.
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

void fill()
{
    Db::transaction([&] {
        Db::exec(Db::main(), QStringLiteral("DELETE FROM renwu"));
        for (int i = 0; i < kToday + kOther; ++i) {
            const bool today = i < kToday;
            const QDate day = today ? kDay : kDay.addDays(1 + i % 400);
            const QVariant time =
                i % 5 == 0 ? QVariant() : QVariant(QTime(6 + i % 16, i % 60, 0).toString(QStringLiteral("HH:mm:ss")));
            Db::exec(
                Db::main(),
                QStringLiteral("INSERT INTO renwu (title, content, today, intime, zhuangtai) VALUES (?, ?, ?, ?, ?)"),
                {QStringLiteral("任务%1：整理本周的会议记录").arg(i), QStringLiteral("说明%1").arg(i),
                 day.toString(Qt::ISODate), time, today ? i % 4 : 0});
        }
    });
}

// Loads the frame with its today view, as the login does, and unloads it again.
double frameLoad()
{
    const double ms = elapsedMs([] {
        MDIfrm::showFrame();
        QApplication::processEvents();
    });
    MDIfrm* frame = Forms::find<MDIfrm>();
    Forms::unload(frame);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    return ms;
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
    setMsgBoxResponder([](const QString&, QMessageBox::StandardButtons) { return QMessageBox::No; });
    Shell::setTrayAvailableHook([] { return true; });
    Clock::set(QDateTime(kDay, QTime(8, 0, 0)));
    fill();
    Db::exec(Db::main(), QStringLiteral("ANALYZE"));

    std::printf("%d tasks on the day, %d on other days; medians of %d rounds\n", kToday, kOther, kRounds);

    ToolBar* bar = Forms::show<ToolBar>();
    QApplication::processEvents();
    auto* list = bar->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
    const QString sql =
        QStringLiteral("SELECT id, title, intime, zhuangtai FROM renwu WHERE today = ? ORDER BY intime, id");
    QList<double> views;
    QList<double> raws;
    for (int i = 0; i < kRounds; ++i) {
        views << elapsedMs([&] { bar->ShowRw(); });
        raws << elapsedMs([&] { rawRows(sql, {kDay.toString(Qt::ISODate)}); });
    }
    const double view = median(views);
    const double raw = median(raws);
    std::printf("bar refill (ShowRw)   rows %d   view %.3f ms   raw SQL %.3f ms   ratio %.2f\n",
                list->topLevelItemCount(), view, raw, view / raw);
    QSqlQuery plan = Db::exec(Db::main(), QStringLiteral("EXPLAIN QUERY PLAN ") + sql, {kDay.toString(Qt::ISODate)});
    while (plan.next())
        std::printf("plan of the bar's query: %s\n", qPrintable(plan.value(3).toString()));

    // The frame's load: alone, with the bar open on the desktop, and coming back from the tray
    // (whose window the frame's load unloads). Taken in turns.
    Forms::unload(bar);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frameLoad(); // warm up
    QList<double> alone;
    QList<double> withBar;
    QList<double> fromTray;
    for (int i = 0; i < kFrameRounds; ++i) {
        alone << frameLoad();
        Forms::show<ToolBar>();
        withBar << frameLoad();
        Forms::unload(Forms::find<ToolBar>());
        myicon::frameClosed();
        fromTray << frameLoad();
    }
    std::printf("frame load alone      %.2f ms\n", median(alone));
    std::printf("frame load, bar open  %.2f ms   ratio %.2f\n", median(withBar), median(withBar) / median(alone));
    std::printf("frame load from tray  %.2f ms   ratio %.2f\n", median(fromTray), median(fromTray) / median(alone));

    for (QWidget* w : QApplication::topLevelWidgets())
        w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db::closeAll();
    return 0;
}
