#include "data/db.h"
#include "data/diary.h"
#include "data/passwords.h"
#include "data/statements.h"
#include "data/store.h"
#include "data/tasks.h"
#include "data/users.h"
#include "shell/module1.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The data functions behind the today view, the task dialogs and the reminder popup, on a
// database of their own.
class TaskDataTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void orderNumber_data();
    void orderNumber();
    void dayListSortsUntimedFirst();
    void overdueMovesOpenTasksOnly();
    void insertAndUpdateRoundTrip();
    void taskWithoutDayKeepsNoTime();
    void reminderChoice_data();
    void reminderChoice();
    void diaryOnePerDay();
    void statementsByKind();
    void passwordChangeLeavesTheMarker();
    void passwordChangeWithoutPasswordRows();

private:
    void exec(const QString& sql, const QVariantList& values = {}) { Db::exec(Db::main(), sql, values); }
    QVariant scalar(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q = Db::exec(Db::main(), sql, values);
        return q.next() ? q.value(0) : QVariant();
    }
    qint64 addTask(const QString& title, const QVariant& day, const QVariant& time, int state = 0)
    {
        exec(u"INSERT INTO renwu (title, today, intime, zhuangtai) VALUES (?, ?, ?, ?)"_s, {title, day, time, state});
        return scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
    }

    QTemporaryDir dir_;
    QStringList reported_;
};

void TaskDataTest::init()
{
    Db::closeAll();
    Module1::ConnString = dir_.filePath(QStringLiteral("%1.dc").arg(QLatin1StringView(QTest::currentTestFunction())));
    QFile::remove(Module1::ConnString);
    Store::ensureMainDatabase(Module1::ConnString);
    exec(u"DELETE FROM renwu"_s);
    reported_.clear();
    Db::setErrorReporter([this](const QString& t) { reported_ << t; });
}

void TaskDataTest::cleanup()
{
    QVERIFY2(reported_.isEmpty(), qPrintable(reported_.join(u'\n')));
    Db::setErrorReporter({});
    Db::closeAll();
}

void TaskDataTest::orderNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariant>("stored"); // invalid: refused
    QTest::newRow("integer") << "3" << QVariant(qlonglong(3));
    QTest::newRow("zero") << "0" << QVariant(qlonglong(0));
    QTest::newRow("decimal") << "2.5" << QVariant(2.5);
    QTest::newRow("trailing point") << "4." << QVariant(qlonglong(4));
    QTest::newRow("leading point") << ".5" << QVariant(0.5);
    QTest::newRow("lone point") << "." << QVariant();
    QTest::newRow("two points") << "1.2.3" << QVariant();
    QTest::newRow("empty") << "" << QVariant();
    QTest::newRow("minus") << "-1" << QVariant();
    QTest::newRow("exponent") << "1e3" << QVariant();
}

void TaskDataTest::orderNumber()
{
    QFETCH(QString, text);
    QFETCH(QVariant, stored);
    const QVariant value = Tasks::orderNumber(text);
    QCOMPARE(value.isValid(), stored.isValid());
    if (!stored.isValid())
        return;
    QCOMPARE(value.toDouble(), stored.toDouble());
    // What is stored reads back as the number the user typed.
    Tasks::Task t;
    t.title = u"o"_s;
    t.order = value;
    const qint64 id = Tasks::insert(t);
    QVERIFY(id > 0);
    QCOMPARE(Tasks::orderText(Tasks::load(id)->order), text.endsWith(u'.')     ? text.chopped(1)
                                                       : text.startsWith(u'.') ? u"0"_s + text
                                                                               : text);
}

void TaskDataTest::dayListSortsUntimedFirst()
{
    const QString day = u"2010-03-03"_s;
    addTask(u"b late"_s, day, u"18:00:00"_s);
    addTask(u"z untimed"_s, day, QVariant());
    addTask(u"a early"_s, day, u"07:30:00"_s);
    addTask(u"a untimed"_s, day, QVariant());
    addTask(u"other day"_s, u"2010-03-04"_s, u"07:00:00"_s);
    const auto tasks = Tasks::ofDay(QDate(2010, 3, 3));
    QStringList titles;
    for (const auto& t : tasks)
        titles << t.title;
    QCOMPARE(titles, (QStringList{u"a untimed"_s, u"z untimed"_s, u"a early"_s, u"b late"_s}));
    QVERIFY(!tasks.first().time.isValid());
    QCOMPARE(tasks.at(2).time, QTime(7, 30));
}

void TaskDataTest::overdueMovesOpenTasksOnly()
{
    const qint64 open = addTask(u"open"_s, u"2010-03-01"_s, u"09:00:00"_s, Tasks::Open);
    const qint64 done = addTask(u"done"_s, u"2010-03-01"_s, QVariant(), Tasks::Done);
    const qint64 abandoned = addTask(u"abandoned"_s, u"2010-02-27"_s, QVariant(), Tasks::Abandoned);
    const qint64 unscheduled = addTask(u"unscheduled"_s, QVariant(), QVariant(), Tasks::Open);
    const qint64 future = addTask(u"future"_s, u"2010-03-09"_s, QVariant(), Tasks::Open);
    const QDate today(2010, 3, 5);

    QCOMPARE(Tasks::overdueCount(today), 1);
    Tasks::moveOverdueTo(today);
    QCOMPARE(Tasks::load(open)->day, today);
    QCOMPARE(Tasks::load(open)->time, QTime(9, 0)); // keeps its time
    QCOMPARE(Tasks::load(done)->day, QDate(2010, 3, 1));
    QCOMPARE(Tasks::load(abandoned)->day, QDate(2010, 2, 27));
    QVERIFY(!Tasks::load(unscheduled)->day.isValid());
    QCOMPARE(Tasks::load(future)->day, QDate(2010, 3, 9));
    QCOMPARE(Tasks::overdueCount(today), 0);
}

void TaskDataTest::insertAndUpdateRoundTrip()
{
    Tasks::Task t;
    t.title = QStringLiteral("Tom's 计划 '引号'");
    t.content = QStringLiteral("line 1\nit's line 2");
    t.goal = 3;
    t.theme = 2;
    t.important = 1;
    t.urgent = 0;
    t.kind = Tasks::Recurring;
    t.order = 2.5;
    t.day = QDate(2009, 2, 1);
    t.time = QTime(14, 30);
    const qint64 id = Tasks::insert(t);
    QVERIFY(id > 0);
    auto back = Tasks::load(id);
    QVERIFY(back);
    QCOMPARE(back->title, t.title);
    QCOMPARE(back->content, t.content);
    QCOMPARE(back->goal, 3);
    QCOMPARE(back->theme, 2);
    QCOMPARE(back->important, 1);
    QCOMPARE(back->kind, Tasks::Recurring);
    QCOMPARE(back->order.toDouble(), 2.5);
    QCOMPARE(back->day, t.day);
    QCOMPARE(back->time, t.time);
    QCOMPARE(back->state, Tasks::Open);
    QCOMPARE(scalar(u"SELECT intime FROM renwu WHERE id = ?"_s, {id}).toString(), QStringLiteral("14:30:00"));

    Tasks::setState(id, Tasks::Done);
    back->title = u"renamed"_s;
    back->time = QTime();
    Tasks::update(*back);
    const auto again = Tasks::load(id);
    QCOMPARE(again->title, QStringLiteral("renamed"));
    QVERIFY(!again->time.isValid());
    QCOMPARE(again->state, int(Tasks::Done)); // the editor never writes the state

    Tasks::remove(id);
    QVERIFY(!Tasks::load(id));
    QVERIFY(!Tasks::exists(id));
}

void TaskDataTest::taskWithoutDayKeepsNoTime()
{
    Tasks::Task t;
    t.title = u"no day"_s;
    t.time = QTime(9, 0); // a time without a day is never stored
    const qint64 id = Tasks::insert(t);
    QVERIFY(id > 0);
    QVERIFY(scalar(u"SELECT intime FROM renwu WHERE id = ?"_s, {id}).isNull());
    QVERIFY(scalar(u"SELECT today FROM renwu WHERE id = ?"_s, {id}).isNull());
}

void TaskDataTest::reminderChoice_data()
{
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("expected"); // title, or "" for none
    QTest::newRow("between two times") << "15:00:10"
                                       << "three pm";
    QTest::newRow("exactly at a time") << "14:30:00"
                                       << "half past two";
    QTest::newRow("before every time") << "08:00:00"
                                       << "";
    QTest::newRow("end of the day") << "23:59:59"
                                    << "three pm";
}

void TaskDataTest::reminderChoice()
{
    QFETCH(QString, now);
    QFETCH(QString, expected);
    const QDate day(2010, 4, 1);
    addTask(u"half past two"_s, u"2010-04-01"_s, u"14:30:00"_s, Tasks::Done); // whatever its state
    addTask(u"three pm"_s, u"2010-04-01"_s, u"15:00:00"_s);
    addTask(u"untimed"_s, u"2010-04-01"_s, QVariant());
    addTask(u"tomorrow"_s, u"2010-04-02"_s, u"09:00:00"_s);
    const auto task = Tasks::latestDue(day, QTime::fromString(now, u"HH:mm:ss"_s));
    QCOMPARE(task ? task->title : QString(), expected);
}

void TaskDataTest::diaryOnePerDay()
{
    const QDate first(2010, 5, 1), second(2010, 5, 2);
    QVERIFY(!Diary::of(first).exists);
    QCOMPARE(Diary::save(first, QStringLiteral("it's day one")), Diary::Saved::Added);
    QCOMPARE(Diary::save(second, QStringLiteral("day two")), Diary::Saved::Added);
    QCOMPARE(Diary::save(first, QStringLiteral("day one, again")), Diary::Saved::Changed);
    QCOMPARE(Diary::of(first).text, QStringLiteral("day one, again"));
    QCOMPARE(Diary::of(second).text, QStringLiteral("day two"));
    QCOMPARE(scalar(u"SELECT count(*) FROM fangfa WHERE ltype = '日志' AND addtime = '2010-05-01'"_s).toInt(), 1);
    QCOMPARE(scalar(u"SELECT title FROM fangfa WHERE ltype = '日志' AND addtime = '2010-05-02'"_s).toString(),
             QStringLiteral("2010-5-2日志"));
}

void TaskDataTest::statementsByKind()
{
    const int mottos = int(Statements::of(Statements::Motto).size());
    const int missions = int(Statements::of(Statements::Mission).size());
    Statements::add(QStringLiteral("don't wait"), Statements::Motto);
    Statements::add(QStringLiteral("使命"), Statements::Mission);
    const auto m = Statements::of(Statements::Motto);
    QCOMPARE(int(m.size()), mottos + 1);
    QCOMPARE(m.last().title, QStringLiteral("don't wait"));
    QCOMPARE(int(Statements::of(Statements::Mission).size()), missions + 1);
    Statements::remove(m.last().id);
    QCOMPARE(int(Statements::of(Statements::Motto).size()), mottos);
}

void TaskDataTest::passwordChangeLeavesTheMarker()
{
    for (const QString& password : {QStringLiteral("1"), QStringLiteral("it's new")}) {
        Users::changePassword(Passwords::hash(password));
        QCOMPARE(scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("1"));
        QVERIFY(scalar(uR"(SELECT password FROM "user" WHERE id = 1)"_s).toString().startsWith(u"$argon2id$"_s));
        QCOMPARE(Users::passwordMatches(password), true);
        QCOMPARE(Users::passwordMatches(u"123456"_s), false);
    }
}

void TaskDataTest::passwordChangeWithoutPasswordRows()
{
    exec(uR"(DELETE FROM "user" WHERE id <> 2)"_s);
    // A typed password is never stored; its hash is.
    QVERIFY_THROWS_EXCEPTION(Db::Error, Users::changePassword(u"fresh"_s));
    Users::changePassword(Passwords::hash(u"fresh"_s));
    QCOMPARE(Users::passwordMatches(u"fresh"_s), true);
    QCOMPARE(scalar(uR"(SELECT count(*) FROM "user")"_s).toInt(), 2);
}

QTEST_GUILESS_MAIN(TaskDataTest)
#include "test_taskdata.moc"
