#include "data/db.h"
#include "data/icaltask.h"
#include "data/schema.h"
#include "data/tasks.h"
#include "testsupport.h"

#include <QProcess>
#include <QUuid>

using namespace TestSupport;

namespace {

// Themes, goals, a rule and tasks covering every field that travels.
void fillTasks(const ProgramRun& run)
{
    run.exec("DELETE FROM renwu");
    run.exec("INSERT INTO juese (name) VALUES ('事业, 发展;'), ('健康')");
    const qint64 career = run.scalar("SELECT id FROM juese WHERE name = '事业, 发展;'").toLongLong();
    const qint64 health = run.scalar("SELECT id FROM juese WHERE name = '健康'").toLongLong();
    run.exec("INSERT INTO mubiao (title, juese) VALUES ('学会游泳', ?), ('读书\\n计划', ?)", {health, career});
    const qint64 swim = run.scalar("SELECT id FROM mubiao WHERE title = '学会游泳'").toLongLong();
    run.exec(
        "INSERT INTO renwu (title, content, mubiao, juese, zhongyao, jinpo, xuhao, today, intime, zhuangtai)"
        " VALUES ('买泳镜', '第一行\n第二行，含逗号; 分号 \\ 反斜杠', ?, ?, 1, 1, 2.5, '2009-02-03', '08:30:00', 0)",
        {swim, health});
    run.exec(
        "INSERT INTO renwu (title, juese, zhongyao, jinpo, today, zhuangtai) VALUES"
        " ('整理书架', ?, 1, 0, '2009-02-04', 1), ('打电话', 0, 0, 1, NULL, 2), ('闲逛', 0, 0, 0, '2009-01-01', 3)",
        {career});
    run.exec("INSERT INTO chongfu (title, pinlv, xingqi, jiange, ksday, jzday, lastday, intime)"
             " VALUES ('晨跑', 2, 5, 1, '2009-02-02', '2009-03-31', '2009-02-04', '06:00:00'),"
             " ('复盘', 4, 0, 3, '2009-02-01', NULL, '2009-02-01', NULL)");
    run.exec("INSERT INTO renwu (title, type1, today, intime, chongfu, cfday) VALUES"
             " ('晨跑', 0, '2009-02-02', '06:00:00', (SELECT id FROM chongfu WHERE title = '晨跑'), '2009-02-02'),"
             " ('晨跑', 0, '2009-02-05', '06:00:00', (SELECT id FROM chongfu WHERE title = '晨跑'), '2009-02-04'),"
             " ('复盘', 0, '2009-02-01', NULL, (SELECT id FROM chongfu WHERE title = '复盘'), '2009-02-01')");
    run.exec("UPDATE chongfu SET zhuangtai = 1 WHERE title = '复盘'");
}

QList<IcalTask> sorted(QList<IcalTask> list)
{
    std::sort(list.begin(), list.end(), [](const IcalTask& a, const IcalTask& b) { return a.uid < b.uid; });
    return list;
}

QString describe(const IcalTask& t)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9|")
               .arg(t.uid, t.name, t.description, t.day.toString(Qt::ISODate), t.time.toString(Qt::ISODate))
               .arg(t.state)
               .arg(t.quadrant)
               .arg(t.reminder.toString(Qt::ISODate), t.theme)
           + QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                 .arg(t.goal, Tasks::orderText(t.order))
                 .arg(t.rule.freq)
                 .arg(t.rule.interval)
                 .arg(t.rule.weekdays)
                 .arg(t.rule.start.toString(Qt::ISODate), t.rule.until.toString(Qt::ISODate))
                 .arg(t.rule.active)
                 .arg(t.rule.occurrence.toString(Qt::ISODate));
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeEverything(); }

    void everyTaskHasItsOwnUid()
    {
        ProgramRun run;
        QVERIFY(run.start());
        QVERIFY(run.scalar("SELECT count(*) FROM renwu").toInt() > 0);
        QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE uid IS NULL OR modified IS NULL").toInt(), 0);
        run.exec("INSERT INTO renwu (title) VALUES ('新任务')");
        QCOMPARE(run.scalar("SELECT count(DISTINCT uid) FROM renwu").toInt(),
                 run.scalar("SELECT count(*) FROM renwu").toInt());
        QVERIFY(QUuid::fromString(run.scalar("SELECT uid FROM renwu WHERE title = '新任务'").toString()).version()
                == QUuid::Random);
    }

    void tasksRoundTripThroughICalendar()
    {
        QByteArray ics;
        QList<IcalTask> before;
        {
            ProgramRun run;
            QVERIFY(run.start());
            fillTasks(run);
            before = sorted(IcalTasks::readAll());
            QCOMPARE(before.size(), 7);
            ics = IcalTasks::toCalendar(before);
        }
        closeEverything();
        ProgramRun fresh;
        QVERIFY(fresh.start());
        fresh.exec("DELETE FROM renwu");
        fresh.exec("DELETE FROM chongfu");
        fresh.exec("INSERT INTO juese (name) VALUES ('事业, 发展;'), ('健康')");
        fresh.exec("INSERT INTO mubiao (title, juese) VALUES ('学会游泳', (SELECT id FROM juese WHERE name = '健康')),"
                   " ('读书\\n计划', (SELECT id FROM juese WHERE name = '事业, 发展;'))");
        const IcalParseResult parsed = IcalTasks::parse(ics);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error));
        QCOMPARE(parsed.tasks.size(), 7);
        for (int pass = 0; pass < 2; ++pass) {
            int inserted = 0, unchanged = 0;
            Db::transaction([&] {
                IcalTasks::Writer writer;
                for (const IcalTask& t : parsed.tasks) {
                    const auto r = writer.write(t);
                    inserted += r.outcome == IcalTasks::Outcome::Inserted;
                    unchanged += r.outcome == IcalTasks::Outcome::Unchanged;
                }
            });
            QCOMPARE(inserted, pass == 0 ? 7 : 0);
            QCOMPARE(unchanged, pass == 0 ? 0 : 7);
        }
        const QList<IcalTask> after = sorted(IcalTasks::readAll());
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i)
            QCOMPARE(describe(after[i]), describe(before[i]));
        QCOMPARE(fresh.scalar("SELECT count(*) FROM chongfu").toInt(), 2);
    }
};

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
