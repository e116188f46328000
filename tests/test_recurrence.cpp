#include "data/recurrence.h"
#include "data/schema.h"
#include "gui/forms.h"
#include "shell/mdifrm.h"
#include "testsupport.h"
#include "views/desktop/frmts.h"
#include "views/tasks/dlogaddrw.h"
#include "views/tasks/dlogmodrw.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
// A rule stored as the task dialogs store it, with its first occurrence on the start day.
qint64 addRule(const ProgramRun& run, int pinlv, const QString& start, const QString& last, int weekdays = 0,
               int every = 1, const QString& until = {}, const QString& time = {})
{
    run.exec(u"INSERT INTO chongfu (title, pinlv, xingqi, jiange, ksday, jzday, lastday, intime)"
             " VALUES ('晨跑', ?, ?, ?, ?, ?, ?, ?)"_s,
             {pinlv, weekdays, every, start, until.isEmpty() ? QVariant() : QVariant(until), last,
              time.isEmpty() ? QVariant() : QVariant(time)});
    const qint64 rule = run.scalar(u"SELECT max(id) FROM chongfu"_s).toLongLong();
    run.exec(u"INSERT INTO renwu (title, type1, today, intime, chongfu, cfday) VALUES ('晨跑', 0, ?, ?, ?, ?)"_s,
             {start, time.isEmpty() ? QVariant() : QVariant(time), rule, start});
    return rule;
}

QStringList daysOf(const ProgramRun& run, qint64 rule)
{
    QStringList days;
    QSqlQuery q = run.query(u"SELECT cfday FROM renwu WHERE chongfu = ? ORDER BY cfday"_s, {rule});
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
    const bool in = run.login(); // no question about the sample's left-over tasks

    run.messages.clear();
    return in;
}

template <class T>
T* part(QWidget* dialog, const QString& name)
{
    return dialog ? dialog->findChild<T*>(name) : nullptr;
}

// The add dialog filled with a recurring task on the day, the repeat row left to the caller.
QWidget* addRecurring(const QDate& day)
{
    QWidget* d = dlogaddrw::showShared();
    part<QLineEdit>(d, u"Text1"_s)->setText(u"晨跑"_s);
    part<QCheckBox>(d, u"Check2"_s)->setChecked(!day.isValid());
    part<QCheckBox>(d, u"Check1"_s)->setChecked(false);
    part<QLineEdit>(d, u"Text2"_s)->setText(u"06:30:00"_s);
    if (day.isValid())
        part<QDateEdit>(d, u"DTPicker1"_s)->setDate(day);
    auto* kind = part<QComboBox>(d, u"Combo3"_s);
    kind->setCurrentIndex(kind->findText(u"经常性"_s));
    return d;
}

// Selects the task in the today view, showing its day first.
[[nodiscard]] bool selectInToday(const ProgramRun& run, qint64 id)
{
    auto* calendar = control<QCalendarWidget>(u"Frmmain"_s, u"MonthView1"_s);
    auto* list = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    if (!calendar || !list)
        return false;
    const QDate day =
        QDate::fromString(run.scalar(u"SELECT today FROM renwu WHERE id = ?"_s, {id}).toString(), Qt::ISODate);
    calendar->setSelectedDate(day);
    emit calendar->clicked(day);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).toLongLong() == id)
            return clickRow(list, i);
    }
    return false;
}

// A rule made in the add dialog on 2009-01-28 with its occurrences up to 2009-01-31.
qint64 dailyRuleFromDialog(ProgramRun& run)
{
    QWidget* d = addRecurring(QDate(2009, 1, 28));
    if (!click(part<QPushButton>(d, u"OKButton"_s)))
        return 0;
    settle();
    Recurrence::generate(QDate(2009, 1, 31));
    return run.scalar(u"SELECT max(id) FROM chongfu"_s).toLongLong();
}

qint64 occurrence(const ProgramRun& run, qint64 rule, const QString& day)
{
    return run.scalar(u"SELECT id FROM renwu WHERE chongfu = ? AND cfday = ?"_s, {rule, day}).toLongLong();
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
    void repeatRowStoresTheRule_data();
    void repeatRowStoresTheRule();
    void recurringTaskNeedsADay();
    void editingAnOccurrence_data();
    void editingAnOccurrence();
    void stoppingTheRule_data();
    void stoppingTheRule();
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
    QTest::newRow("daily, a week closed") << int(R::Daily) << "2009-01-24"
                                          << "2009-01-24" << 0 << 1 << ""
                                          << "2009-01-31" << dayRange(QDate(2009, 1, 24), QDate(2009, 1, 31));
    QTest::newRow("workdays skip the weekend")
        << int(R::Workdays) << "2009-01-23"
        << "2009-01-23" << 0 << 1 << ""
        << "2009-01-31" << QStringList{u"2009-01-23"_s, u"2009-01-26"_s, u"2009-01-27"_s,
                                       u"2009-01-28"_s, u"2009-01-29"_s, u"2009-01-30"_s};
    QTest::newRow("weekly on Monday and Thursday")
        << int(R::Weekly) << "2009-01-12"
        << "2009-01-12" << (1 | 8) << 1 << ""
        << "2009-01-31" << QStringList{u"2009-01-12"_s, u"2009-01-15"_s, u"2009-01-19"_s,
                                       u"2009-01-22"_s, u"2009-01-26"_s, u"2009-01-29"_s};
    QTest::newRow("monthly on the 31st, February's last day")
        << int(R::Monthly) << "2008-12-31"
        << "2009-01-31" << 0 << 1 << ""
        << "2009-03-02" << QStringList{u"2008-12-31"_s, u"2009-02-28"_s};
    QTest::newRow("monthly on the 31st, 30-day month") << int(R::Monthly) << "2009-03-31"
                                                       << "2009-03-31" << 0 << 1 << ""
                                                       << "2009-04-30" << QStringList{u"2009-03-31"_s, u"2009-04-30"_s};
    QTest::newRow("every 3 days") << int(R::EveryNDays) << "2009-01-20"
                                  << "2009-01-20" << 0 << 3 << ""
                                  << "2009-01-31"
                                  << QStringList{u"2009-01-20"_s, u"2009-01-23"_s, u"2009-01-26"_s, u"2009-01-29"_s};
    QTest::newRow("until stops") << int(R::Daily) << "2009-01-24"
                                 << "2009-01-24" << 0 << 1 << "2009-01-27"
                                 << "2009-01-31" << dayRange(QDate(2009, 1, 24), QDate(2009, 1, 27));
    QTest::newRow("at most the last 31 days")
        << int(R::Daily) << "2008-11-01"
        << "2008-11-01" << 0 << 1 << ""
        << "2009-01-31" << (QStringList{u"2008-11-01"_s} + dayRange(QDate(2009, 1, 1), QDate(2009, 1, 31)));
    QTest::newRow("start in the future makes nothing yet") << int(R::Daily) << "2009-02-05"
                                                           << "2009-02-05" << 0 << 1 << ""
                                                           << "2009-01-31" << QStringList{u"2009-02-05"_s};
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
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE chongfu = ? AND (today <> cfday OR type1 <> 0"
                        " OR zhuangtai <> 0 OR title <> '晨跑')"_s,
                        {rule})
                 .toInt(),
             0);
}

void RecurrenceTest::generationNeverDoublesADay()
{
    ProgramRun run;
    QVERIFY(run.start());
    const qint64 rule = addRule(run, Recurrence::Daily, u"2009-01-24"_s, u"2009-01-24"_s);
    QVERIFY(loginOn(run));
    QCOMPARE(daysOf(run, rule).size(), 8);
    // Once more, and as a second program would that read the rule before the first finished.
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    run.exec(u"UPDATE chongfu SET lastday = ksday"_s);
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    // A moved or deleted occurrence does not bring its day back.
    run.exec(u"UPDATE renwu SET today = '2009-01-31' WHERE chongfu = ? AND cfday = '2009-01-25'"_s, {rule});
    run.exec(u"DELETE FROM renwu WHERE chongfu = ? AND cfday = '2009-01-26'"_s, {rule});
    QCOMPARE(Recurrence::generate(QDate(2009, 1, 31)), 0);
    QCOMPARE(daysOf(run, rule).size(), 7);
}

void RecurrenceTest::midnightMakesTheNewDayAndItsReminderFires()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(23, 59, 58)));
    QVERIFY(run.start());
    const qint64 rule = addRule(run, Recurrence::Daily, u"2009-01-31"_s, u"2009-01-31"_s, 0, 1, {}, u"00:00:30"_s);
    QVERIFY(loginOn(run));
    auto* timer = reminderTimer();
    QVERIFY(timer);
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 1)));
    QVERIFY(tick(timer));
    QCOMPARE(daysOf(run, rule), (QStringList{u"2009-01-31"_s, u"2009-02-01"_s}));
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 30)));
    QVERIFY(tick(timer));
    settle();
    const qint64 made =
        run.scalar(u"SELECT id FROM renwu WHERE chongfu = ? AND cfday = '2009-02-01'"_s, {rule}).toLongLong();
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
    const QString path = run.file(u"mylive.dc"_s);
    QVERIFY(QFile::copy(QFINDTESTDATA("data/mylive_v0.dc"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QVERIFY(run.start());
    QCOMPARE(run.scalar(u"PRAGMA user_version"_s).toInt(), Schema::mainVersion());
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE chongfu <> 0"_s).toInt(), 0);
    const int recurring = run.scalar(u"SELECT count(*) FROM renwu WHERE type1 = 0"_s).toInt();
    QVERIFY(loginOn(run));
    // Tasks of the recurring kind from before have no rule: nothing is made for them.
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE type1 = 0"_s).toInt(), recurring);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 34);
}

void RecurrenceTest::repeatRowStoresTheRule_data()
{
    QTest::addColumn<QString>("repeat");
    QTest::addColumn<QStringList>("ticks"); // weekday boxes to click
    QTest::addColumn<int>("every");
    QTest::addColumn<QString>("until");
    QTest::addColumn<QString>("stored"); // pinlv|xingqi|jiange|ksday|jzday|lastday|intime

    QTest::newRow("daily, no end") << "每天" << QStringList() << 0 << ""
                                   << "0|0|2|2009-01-28||2009-01-28|06:30:00";
    // 2009-01-28 is a Wednesday, ticked already; Friday added.
    QTest::newRow("weekly") << "每周" << QStringList{u"CheckW5"_s} << 0 << ""
                            << "2|20|2|2009-01-28||2009-01-28|06:30:00";
    QTest::newRow("every 5 days until") << "每隔几天" << QStringList() << 5 << "2009-03-01"
                                        << "4|0|5|2009-01-28|2009-03-01|2009-01-28|06:30:00";
}

void RecurrenceTest::repeatRowStoresTheRule()
{
    QFETCH(QString, repeat);
    QFETCH(QStringList, ticks);
    QFETCH(int, every);
    QFETCH(QString, until);
    QFETCH(QString, stored);

    ProgramRun run;
    QVERIFY(loginOn(run));
    QWidget* d = addRecurring(QDate(2009, 1, 28));
    auto* kind = part<QComboBox>(d, u"Combo3"_s);
    kind->setCurrentIndex(kind->findText(u"一次性"_s));
    QVERIFY(!part<QWidget>(d, u"ComboRepeat"_s)->isVisibleTo(d));
    kind->setCurrentIndex(kind->findText(u"经常性"_s));
    QVERIFY(part<QWidget>(d, u"ComboRepeat"_s)->isVisibleTo(d));
    auto* combo = part<QComboBox>(d, u"ComboRepeat"_s);
    combo->setCurrentIndex(combo->findText(repeat));
    QCOMPARE(part<QWidget>(d, u"CheckW1"_s)->isVisibleTo(d), repeat == u"每周"_s);
    QCOMPARE(part<QWidget>(d, u"SpinEvery"_s)->isVisibleTo(d), repeat == u"每隔几天"_s);
    if (repeat == u"每周"_s)
        QVERIFY(part<QCheckBox>(d, u"CheckW3"_s)->isChecked());
    for (const QString& tick : ticks)
        QVERIFY(click(part<QCheckBox>(d, tick)));
    if (every)
        part<QSpinBox>(d, u"SpinEvery"_s)->setValue(every);
    if (!until.isEmpty()) {
        QVERIFY(click(part<QCheckBox>(d, u"CheckUntil"_s)));
        part<QDateEdit>(d, u"DTPUntil"_s)->setDate(QDate::fromString(until, Qt::ISODate));
    }
    QVERIFY(click(part<QPushButton>(d, u"OKButton"_s)));
    settle();
    QVERIFY(run.messages.isEmpty());

    QSqlQuery q = run.query(u"SELECT pinlv, xingqi, jiange, ksday, jzday, lastday, intime, id FROM chongfu"_s);
    QVERIFY(q.next());
    QStringList values;
    for (int i = 0; i < 7; ++i)
        values << q.value(i).toString();
    QCOMPARE(values.join(u'|'), stored);
    const qint64 rule = q.value(7).toLongLong();
    QVERIFY(!q.next());
    QCOMPARE(daysOf(run, rule), QStringList{u"2009-01-28"_s});
    QCOMPARE(run.scalar(u"SELECT type1 FROM renwu WHERE chongfu = ?"_s, {rule}).toInt(), 0);
}

void RecurrenceTest::recurringTaskNeedsADay()
{
    ProgramRun run;
    QVERIFY(loginOn(run));
    const int before = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
    QWidget* d = addRecurring(QDate());
    QVERIFY(click(part<QPushButton>(d, u"OKButton"_s)));
    settle();
    QCOMPARE(run.messages, QStringList{u"请为经常性任务选择开始日期！"_s});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), before);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM chongfu"_s).toInt(), 0);
}

void RecurrenceTest::editingAnOccurrence_data()
{
    QTest::addColumn<int>("answer");     // Yes: 仅此一次, No: 以后所有, Cancel: the box closed
    QTest::addColumn<QString>("titles"); // the occurrences of the 28th to 30th, then the one made next

    QTest::newRow("仅此一次") << int(QMessageBox::Yes) << "晨跑|慢跑|晨跑|晨跑";
    QTest::newRow("以后所有") << int(QMessageBox::No) << "晨跑|慢跑|慢跑|慢跑";
    QTest::newRow("closed saves nothing") << int(QMessageBox::Cancel) << "晨跑|晨跑|晨跑|晨跑";
}

void RecurrenceTest::editingAnOccurrence()
{
    QFETCH(int, answer);
    QFETCH(QString, titles);

    ProgramRun run;
    QVERIFY(loginOn(run));
    const qint64 rule = dailyRuleFromDialog(run);
    QVERIFY(rule > 0);
    QCOMPARE(daysOf(run, rule).size(), 4);
    run.exec(u"UPDATE renwu SET zhuangtai = 1 WHERE chongfu = ? AND cfday = '2009-01-31'"_s, {rule});
    const qint64 edited = occurrence(run, rule, u"2009-01-29"_s);
    QVERIFY(selectInToday(run, edited));
    QWidget* d = Dlogmodrw::showShared();
    QCOMPARE(qobject_cast<Dlogmodrw*>(d)->taskId(), edited);
    QVERIFY(part<QWidget>(d, u"ComboRepeat"_s)->isVisibleTo(d));
    part<QLineEdit>(d, u"Text1"_s)->setText(u"慢跑"_s);
    run.answerNext(QMessageBox::StandardButton(answer));
    QVERIFY(click(part<QPushButton>(d, u"Command3"_s)));
    settle();
    QCOMPARE(run.messages, QStringList{u"只修改这一次，还是修改以后的所有任务？"_s});
    QCOMPARE(shown(u"Dlogmodrw"_s), answer == QMessageBox::Cancel);

    QStringList stored;
    for (const QString& day : {u"2009-01-28"_s, u"2009-01-29"_s, u"2009-01-30"_s})
        stored << run.scalar(u"SELECT title FROM renwu WHERE id = ?"_s, {occurrence(run, rule, day)}).toString();
    // The done occurrence of the 31st is no longer open: it keeps its name either way.
    QCOMPARE(run.scalar(u"SELECT title FROM renwu WHERE id = ?"_s, {occurrence(run, rule, u"2009-01-31"_s)}).toString(),
             QStringLiteral("晨跑"));
    run.exec(u"UPDATE renwu SET zhuangtai = 0 WHERE chongfu = ? AND cfday = '2009-01-31'"_s, {rule});
    // The next day's occurrence follows the rule.
    Recurrence::generate(QDate(2009, 2, 1));
    stored
        << run.scalar(u"SELECT title FROM renwu WHERE id = ?"_s, {occurrence(run, rule, u"2009-02-01"_s)}).toString();
    QCOMPARE(stored.join(u'|'), titles);
}

void RecurrenceTest::stoppingTheRule_data()
{
    QTest::addColumn<bool>("fromMenu"); // 停止重复, else "一次性" in the edit dialog
    QTest::newRow("停止重复") << true;
    QTest::newRow("一次性") << false;
}

void RecurrenceTest::stoppingTheRule()
{
    QFETCH(bool, fromMenu);

    ProgramRun run;
    QVERIFY(loginOn(run));
    const qint64 rule = dailyRuleFromDialog(run);
    const qint64 task = occurrence(run, rule, u"2009-01-31"_s);
    QVERIFY(selectInToday(run, task));
    auto* list = control<QTreeWidget>(u"Frmmain"_s, u"ListView1"_s);
    if (fromMenu) {
        // Not offered on a one-off task.
        const qint64 other =
            run.scalar(u"SELECT min(id) FROM renwu WHERE today = '2009-01-31' AND type1 = 1"_s).toLongLong();
        QVERIFY(other > 0);
        QVERIFY(selectInToday(run, other));
        QVERIFY(!chooseRowMenuItem(list, list->indexOfTopLevelItem(list->currentItem()), u"tingzhi"_s)
                || run.scalar(u"SELECT zhuangtai FROM chongfu WHERE id = ?"_s, {rule}).toInt() == 0);
        QVERIFY(selectInToday(run, task));
        QVERIFY(chooseRowMenuItem(list, list->indexOfTopLevelItem(list->currentItem()), u"tingzhi"_s));
    } else {
        QWidget* d = Dlogmodrw::showShared();
        auto* kind = part<QComboBox>(d, u"Combo3"_s);
        kind->setCurrentIndex(kind->findText(u"一次性"_s));
        QVERIFY(click(part<QPushButton>(d, u"Command3"_s)));
        QVERIFY(run.messages.isEmpty());
        QCOMPARE(run.scalar(u"SELECT type1 FROM renwu WHERE id = ?"_s, {task}).toInt(), 1);
    }
    settle();
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM chongfu WHERE id = ?"_s, {rule}).toInt(), 1);
    QCOMPARE(Recurrence::generate(QDate(2009, 2, 3)), 0);
    QCOMPARE(daysOf(run, rule).size(), 4); // the occurrences made stay
    if (fromMenu) {
        QVERIFY(selectInToday(run, task));
        QVERIFY(!chooseRowMenuItem(list, list->indexOfTopLevelItem(list->currentItem()), u"tingzhi"_s));
    }
}

QTEST_MAIN(RecurrenceTest)
#include "test_recurrence.moc"
