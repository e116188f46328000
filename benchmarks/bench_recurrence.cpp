// The generation of recurring tasks at login after 31 days closed (200 rules, about 6,000 new
// rows in one transaction) against the raw SQL insert of the same rows, and the today view's
// reads before and after. Prints medians (milliseconds) and their ratios, all measured in this run.
#include "data/db.h"
#include "data/recurrence.h"
#include "data/store.h"
#include "data/tasks.h"

#include "benchsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRules = 200;
constexpr int kRuns = 11;
const QDate kToday(2009, 3, 31);

double medianMs(const std::function<void()>& prepare, const std::function<void()>& work)
{
    return Bench::medianMs({.runs = kRuns, .before = prepare}, work);
}

void makeRules()
{
    Db::transaction([] {
        for (int r = 0; r < kRules; ++r) {
            // Mostly daily rules, some weekly on three days, all last made 31 days ago.
            const bool weekly = r % 20 == 0;
            Db::execute(QStringLiteral("INSERT INTO chongfu (title, content, juese, zhongyao, xuhao, intime, pinlv,"
                                       " xingqi, ksday, lastday) VALUES (?, '坚持', ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {QStringLiteral("每日任务 %1").arg(r), 1 + r % 5, r % 2, r,
                         QStringLiteral("%1:30:00").arg(6 + r % 14, 2, 10, QLatin1Char('0')),
                         weekly ? Recurrence::Weekly : Recurrence::Daily, weekly ? (1 | 4 | 16) : 0,
                         Db::dayValue(kToday.addDays(-60)), Db::dayValue(kToday.addDays(-31))});
        }
    });
}

void undo()
{
    Db::transaction([] {
        Db::execute(QStringLiteral("DELETE FROM renwu WHERE chongfu > 0"));
        Db::execute(QStringLiteral("UPDATE chongfu SET lastday = ?"), {Db::dayValue(kToday.addDays(-31))});
    });
}

// The same rows written straight: one prepared insert per row in one transaction.
void rawInsert(const QList<Recurrence::Rule>& rules)
{
    Db::transaction([&] {
        QSqlQuery insert(Db::main());
        insert.prepare(QStringLiteral(
            "INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime,"
            " zhuangtai, chongfu, cfday) VALUES (?, ?, ?, ?, ?, ?, 0, ?, ?, ?, 0, ?, ?)"));
        for (const Recurrence::Rule& rule : rules) {
            for (QDate day = kToday.addDays(-30); day <= kToday; day = day.addDays(1)) {
                if (!Recurrence::fallsOn(rule, day))
                    continue;
                const QString d = day.toString(Qt::ISODate);
                const Tasks::Task& t = rule.pattern;
                insert.addBindValue(t.title);
                insert.addBindValue(t.content);
                insert.addBindValue(t.goal);
                insert.addBindValue(t.theme);
                insert.addBindValue(t.important);
                insert.addBindValue(t.urgent);
                insert.addBindValue(t.order);
                insert.addBindValue(d);
                insert.addBindValue(Db::timeValue(t.time));
                insert.addBindValue(rule.id);
                insert.addBindValue(d);
                if (!insert.exec())
                    throw Db::Error(QStringLiteral("insert failed"));
            }
        }
    });
}

double medianOfOne(const std::function<void()>& prepare, const std::function<void()>& work)
{
    return Bench::medianMs({.runs = 1, .before = prepare}, work);
}

// The today view's three reads straight through QSqlQuery, every column read.
void rawTodayReads()
{
    const QString day = kToday.toString(Qt::ISODate);
    QSqlQuery q(Db::main());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today < ?"));
    q.addBindValue(day);
    q.exec();
    q.next();
    q.prepare(QStringLiteral("SELECT id, title, content, mubiao, juese, zhongyao, jinpo, type1, xuhao, today, intime,"
                             " zhuangtai FROM renwu WHERE today = ? ORDER BY intime, title"));
    q.addBindValue(day);
    q.exec();
    while (q.next())
        for (int c = 0; c < 12; ++c)
            (void)q.value(c);
    q.prepare(QStringLiteral("SELECT intime FROM renwu WHERE today = ? AND intime IS NOT NULL ORDER BY id"));
    q.addBindValue(day);
    q.exec();
    while (q.next())
        (void)q.value(0);
}

double todayReadsMs()
{
    return medianMs([] {},
                    [] {
                        (void)Tasks::overdueCount(kToday);
                        (void)Tasks::ofDay(kToday);
                        (void)Tasks::reminderTimes(kToday);
                    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Db::path() = dir.filePath(QStringLiteral("mylive.dc"));
    try {
        Store::ensureMainDatabase(Db::path());
    } catch (const Db::Error& e) {
        std::printf("cannot create the database: %s\n", qPrintable(e.text()));
        return 1;
    }
    try {
        makeRules();
        QList<Recurrence::Rule> rules;
        for (qint64 id = Db::count(QStringLiteral("SELECT min(id) FROM chongfu"));
             id <= Db::count(QStringLiteral("SELECT max(id) FROM chongfu")); ++id)
            rules << *Recurrence::rule(id);

        const double todayBefore = todayReadsMs();
        int made = 0;
        // Both warmed once, then measured in alternation so that neither pays for the file's growth.
        undo();
        rawInsert(rules);
        QList<double> rawTimes, generatedTimes;
        for (int i = 0; i < kRuns; ++i) {
            rawTimes << medianOfOne(undo, [&] { rawInsert(rules); });
            generatedTimes << medianOfOne(undo, [&] { made = Recurrence::generate(kToday); });
        }
        std::sort(rawTimes.begin(), rawTimes.end());
        std::sort(generatedTimes.begin(), generatedTimes.end());
        const double raw = rawTimes[kRuns / 2];
        const double generated = generatedTimes[kRuns / 2];
        const double todayAfter = todayReadsMs();
        const double todayRaw = medianMs([] {}, rawTodayReads);

        std::printf("rules: %d, occurrences made at login: %d\n", kRules, made);
        std::printf("generation        %8.2f ms\n", generated);
        std::printf("raw insert        %8.2f ms\n", raw);
        std::printf("ratio generation / raw: %.2f\n", generated / raw);
        std::printf("today view's reads (overdue count, day's tasks, reminder times):\n"
                    "  before %.3f ms (sample data only), after %.3f ms, raw SQL after %.3f ms (ratio %.2f)\n",
                    todayBefore, todayAfter, todayRaw, todayAfter / todayRaw);
    } catch (const Db::Error& e) {
        std::printf("database error: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
