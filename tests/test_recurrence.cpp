#include "testsupport.h"
#include "app/mdifrm.h"
#include "data/recurrence.h"
#include "data/schema.h"
#include "views/desktop/frmts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;

namespace {
// A rule stored as the task dialogs store it, with its first occurrence on the start day.
qint64 addRule(const ProgramRun& run, int pinlv, const QString& start, const QString& last, int weekdays = 0,
               int every = 1, const QString& until = {}, const QString& time = {})
{
    run.exec("INSERT INTO chongfu (title, pinlv, xingqi, jiange, ksday, jzday, lastday, intime)"
             " VALUES ('晨跑', ?, ?, ?, ?, ?, ?, ?)",
             {pinlv, weekdays, every, start, until.isEmpty() ? QVariant() : QVariant(until), last,
              time.isEmpty() ? QVariant() : QVariant(time)});
    const qint64 rule = run.scalar("SELECT max(id) FROM chongfu").toLongLong();
    run.exec("INSERT INTO renwu (title, type1, today, intime, chongfu, cfday) VALUES ('晨跑', 0, ?, ?, ?, ?)",
             {start, time.isEmpty() ? QVariant() : QVariant(time), rule, start});
    return rule;
}

QStringList daysOf(const ProgramRun& run, qint64 rule)
{
    QStringList days;
    QSqlQuery q = run.query("SELECT cfday FROM renwu WHERE chongfu = ? ORDER BY cfday", {rule});
    while (q.next())
        days << q.value(0).toString();
    return days;
}

QStringList dayRange(const QDate& from, const QDate& to)
{
    QStringList days;
    for (QDate d = from; d <= to; d = d.addDays(1))
        days << d.toString(Qt::ISODate);
    return days;
}

[[nodiscard]] bool loginOn(ProgramRun& run)
{
    run.answerNext(QMessageBox::No); // leave the overdue tasks on their days
    return run.login();
}
} // namespace

class RecurrenceTest : public QObject
{
    Q_OBJECT

private slots:
    void loginMakesEachDayOnce_data();
    void loginMakesEachDayOnce();
    void generationNeverDoublesADay();
    void midnightMakesTheNewDayAndItsReminderFires();
    void olderDatabaseKeepsItsKinds();
};

void RecurrenceTest::loginMakesEachDayOnce_data()
{
    QTest::addColumn<int>("pinlv");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("weekdays");
    QTest::addColumn<int>("every");
    QTest::addColumn<QString>("until");
    QTest::addColumn<QString>("today");
    QTest::addColumn<QStringList>("days"); // every occurrence after login, the first included

    using R = Recurrence::Frequency;
    QTest::newRow("daily, a week closed") << int(R::Daily) << "2009-01-24" << "2009-01-24" << 0 << 1 << ""
                                          << "2009-01-31" << dayRange(QDate(2009, 1, 24), QDate(2009, 1, 31));
    QTest::newRow("workdays skip the weekend")
        << int(R::Workdays) << "2009-01-23" << "2009-01-23" << 0 << 1 << "" << "2009-01-31"
        << QStringList{"2009-01-23", "2009-01-26", "2009-01-27", "2009-01-28", "2009-01-29", "2009-01-30"};
    QTest::newRow("weekly on Monday and Thursday")
        << int(R::Weekly) << "2009-01-12" << "2009-01-12" << (1 | 8) << 1 << "" << "2009-01-31"
        << QStringList{"2009-01-12", "2009-01-15", "2009-01-19", "2009-01-22", "2009-01-26", "2009-01-29"};
    QTest::newRow("monthly on the 31st, February's last day")
        << int(R::Monthly) << "2008-12-31" << "2009-01-31" << 0 << 1 << "" << "2009-03-02"
        << QStringList{"2008-12-31", "2009-02-28"};
    QTest::newRow("monthly on the 31st, 30-day month")
        << int(R::Monthly) << "2009-03-31" << "2009-03-31" << 0 << 1 << "" << "2009-04-30"
        << QStringList{"2009-03-31", "2009-04-30"};
    QTest::newRow("every 3 days") << int(R::EveryNDays) << "2009-01-20" << "2009-01-20" << 0 << 3 << ""
                                  << "2009-01-31"
                                  << QStringList{"2009-01-20", "2009-01-23", "2009-01-26", "2009-01-29"};
    QTest::newRow("until stops") << int(R::Daily) << "2009-01-24" << "2009-01-24" << 0 << 1 << "2009-01-27"
                                 << "2009-01-31" << dayRange(QDate(2009, 1, 24), QDate(2009, 1, 27));
    QTest::newRow("at most the last 31 days")
        << int(R::Daily) << "2008-11-01" << "2008-11-01" << 0 << 1 << "" << "2009-01-31"
        << (QStringList{"2008-11-01"} + dayRange(QDate(2009, 1, 1), QDate(2009, 1, 31)));
    QTest::newRow("start in the future makes nothing yet")
        << int(R::Daily) << "2009-02-05" << "2009-02-05" << 0 << 1 << "" << "2009-01-31"
        << QStringList{"2009-02-05"};
}

void RecurrenceTest::loginMakesEachDayOnce()
{
    QFETCH(int, pinlv);
    QFETCH(QString, start);
    QFETCH(QString, last);
    QFETCH(int, weekdays);
    QFETCH(int, every);
    QFETCH(QString, until);
    QFETCH(QString, today);
    QFETCH(QStringList, days);

    ProgramRun run(QDateTime(QDate::fromString(today, Qt::ISODate), QTime(8, 0)));
    QVERIFY(run.start());
    const qint64 rule = addRule(run, pinlv, start, last, weekdays, every, until);
    QVERIFY(loginOn(run));
    QCOMPARE(daysOf(run, rule), days);
    // Occurrences are open recurring tasks on their own day, named after the rule.
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE chongfu = ? AND (today <> cfday OR type1 <> 0"
                        " OR zhuangtai <> 0 OR title <> '晨跑')",
                        {rule})
                 .toInt(),
             0);
}

void RecurrenceTest::generationNeverDoublesADay()
{
    ProgramRun run;
    QVERIFY(run.start());
    const qint64 rule = addRule(run, Recurrence::Daily, "2009-01-24", "2009-01-24");
    QVERIFY(loginOn(run));
    QCOMPARE(daysOf(run, rule).size(), 8);
    // Once more, and as a second program would that read the rule before the first finished.
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    run.exec("UPDATE chongfu SET lastday = ksday");
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    // A moved or deleted occurrence does not bring its day back.
    run.exec("UPDATE renwu SET today = '2009-01-31' WHERE chongfu = ? AND cfday = '2009-01-25'", {rule});
    run.exec("DELETE FROM renwu WHERE chongfu = ? AND cfday = '2009-01-26'", {rule});
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    QCOMPARE(daysOf(run, rule).size(), 7);
}

void RecurrenceTest::midnightMakesTheNewDayAndItsReminderFires()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(23, 59, 58)));
    QVERIFY(run.start());
    const qint64 rule = addRule(run, Recurrence::Daily, "2009-01-31", "2009-01-31", 0, 1, {}, "00:00:30");
    QVERIFY(loginOn(run));
    auto* timer = find<MDIfrm>("MDIfrm")->findChild<QTimer*>("Timer1");
    QVERIFY(timer);
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 1)));
    QVERIFY(tick(timer));
    QCOMPARE(daysOf(run, rule), (QStringList{"2009-01-31", "2009-02-01"}));
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 30)));
    QVERIFY(tick(timer));
    settle();
    const qint64 made = run.scalar("SELECT id FROM renwu WHERE chongfu = ? AND cfday = '2009-02-01'", {rule}).toLongLong();
    bool popped = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* popup = qobject_cast<Frmts*>(w); popup && popup->taskId() == made)
            popped = true;
    }
    QVERIFY2(popped, "the new occurrence's reminder");
}

void RecurrenceTest::olderDatabaseKeepsItsKinds()
{
    ProgramRun run;
    const QString path = run.file("mylive.dc");
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(run.start());
    QCOMPARE(run.scalar("PRAGMA user_version").toInt(), Schema::mainVersion());
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE chongfu <> 0").toInt(), 0);
    const int recurring = run.scalar("SELECT count(*) FROM renwu WHERE type1 = 0").toInt();
    QVERIFY(loginOn(run));
    // Tasks of the recurring kind from before have no rule: nothing is made for them.
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE type1 = 0").toInt(), recurring);
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu").toInt(), 34);
}

QTEST_MAIN(RecurrenceTest)
#include "test_recurrence.moc"
