#include "data/reminders.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/reminderservice.h"
#include "testsupport.h"
#include "views/desktop/frmmissed.h"
#include "views/desktop/frmts.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, u"H:mm:ss"_s));
}

// Clears the sample tasks: each case brings its own.
void noTasks(ProgramRun& run)
{
    run.exec(u"DELETE FROM renwu"_s);
}

qint64 addTask(ProgramRun& run, const QString& title, const QString& time, int state = 0, const QDate& day = kDay)
{
    run.exec(u"INSERT INTO renwu (title, today, intime, zhuangtai) VALUES (?, ?, ?, ?)"_s,
             {title, day.toString(Qt::ISODate), time, state});
    return run.scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
}

QList<Frmts*> popups()
{
    QList<Frmts*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* p = qobject_cast<Frmts*>(w); p && p->isVisible())
            found << p;
    }
    return found;
}

void closePopups()
{
    for (Frmts* p : popups())
        p->close();
    settle();
}

MDIfrm* frame()
{
    return find<MDIfrm>(u"MDIfrm"_s);
}

// One tick of whichever reminder clock runs (the frame's, else the tray's); true when it played
// the reminder sound.
[[nodiscard]] bool tickAt(ProgramRun& run, const QDateTime& when)
{
    const qsizetype before = run.playedSounds.size();
    run.setNow(when);
    if (!tick(reminderTimer()))
        return false;
    settle();
    return run.playedSounds.size() > before;
}

// The task ids the missed window lists; empty when it is not open.
QList<qint64> missedList()
{
    auto* w = find<FrmMissed>(u"FrmMissed"_s);
    return w && w->isVisible() ? w->listedIds() : QList<qint64>{};
}

[[nodiscard]] bool snooze(Frmts* popup, const QString& item)
{
    auto* image = popup->findChild<QWidget*>(u"Image4"_s);
    if (!QTest::qVerify(image != nullptr, "Image4", "", __FILE__, __LINE__))
        return false;
    const bool chosen = chooseMenuItem([&] { QTest::mouseClick(image, Qt::LeftButton); }, item);
    settle();
    return chosen;
}

// Closes the program and starts it again at `when`.
[[nodiscard]] bool restart(ProgramRun& run, const QDateTime& when)
{
    closeEverything();
    run.setNow(when);
    return run.start() && run.login();
}

// Puts the program where the row says: the frame shown, or closed to the tray icon.
[[nodiscard]] bool enter(bool tray)
{
    if (!tray)
        return QTest::qVerify(shown(u"MDIfrm"_s), "frame", "the frame is not shown", __FILE__, __LINE__);
    find<QWidget>(u"MDIfrm"_s)->close();
    settle();
    return QTest::qVerify(find<QWidget>(u"myicon"_s) && !find<QWidget>(u"MDIfrm"_s), "tray", "not in the tray",
                          __FILE__, __LINE__);
}

// The two places the program can be in while its clock runs, as data rows.
void situations()
{
    QTest::addColumn<bool>("tray");
}

QString day(const QDate& d)
{
    return d.toString(Qt::ISODate);
}

struct TrayPresent
{
    explicit TrayPresent(bool present)
    {
        Shell::setTrayAvailableHook([present] { return present; });
    }
    ~TrayPresent() { Shell::setTrayAvailableHook({}); }
};
} // namespace

class RemindersTest : public QObject
{
    Q_OBJECT

private slots:
    void snoozeComesBackOnTime_data();
    void snoozeComesBackOnTime();
    void snoozeSurvivesRestartAndDoneDropsIt();
    void snoozeGoesWithTheTask_data();
    void snoozeGoesWithTheTask();
    void jumpShowsLatestAndListsOthers();
    void missedWhileClosedIsListed();
    void trayClockFollowsTheSameRules();
    void midnightMakesTheNewDaysOccurrence_data();
    void midnightMakesTheNewDaysOccurrence();
    void jumpOverMidnightCarriesItsTask_data();
    void jumpOverMidnightCarriesItsTask();
    void sameSecondPopsUpEach_data();
    void sameSecondPopsUpEach();
    void foreignLockNeverFreezesTheClock_data();
    void foreignLockNeverFreezesTheClock();
    void clockOnceAheadIsNotBelieved();

private:
    void cleanup() { closeEverything(); }
};

void RemindersTest::snoozeComesBackOnTime_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("seconds");
    QTest::newRow("5 minutes") << "min5" << 300;
    QTest::newRow("10 minutes") << "min10" << 600;
    QTest::newRow("30 minutes") << "min30" << 1800;
    QTest::newRow("1 hour") << "hour1" << 3600;
}

void RemindersTest::snoozeComesBackOnTime()
{
    QFETCH(QString, item);
    QFETCH(int, seconds);
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 id = addTask(run, u"call"_s, u"08:00:02"_s);
    QVERIFY(run.login());

    QVERIFY(tickAt(run, at(u"8:00:02"_s)));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), id);
    QVERIFY(snooze(popups().first(), item));
    QVERIFY(popups().isEmpty());
    QCOMPARE(run.scalar(u"SELECT intime FROM renwu WHERE id = ?"_s, {id}).toString(), QStringLiteral("08:00:02"));

    const QDateTime due = at(u"8:00:02"_s).addSecs(seconds);
    QVERIFY(!tickAt(run, due.addSecs(-1)));
    QVERIFY(tickAt(run, due));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), id);
    QVERIFY(!tickAt(run, due.addSecs(1)));
    QVERIFY(missedList().isEmpty());
}

void RemindersTest::snoozeSurvivesRestartAndDoneDropsIt()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 id = addTask(run, u"call"_s, u"08:00:02"_s);
    QVERIFY(run.login());
    QVERIFY(tickAt(run, at(u"8:00:02"_s)));
    QVERIFY(snooze(popups().first(), u"min10"_s));

    // Snoozed again: the later time replaces the earlier.
    QVERIFY(restart(run, at(u"8:05:00"_s)));
    QVERIFY(missedList().isEmpty());
    QVERIFY(tickAt(run, at(u"8:10:02"_s)));
    QVERIFY(snooze(popups().first(), u"min30"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM snooze"_s).toInt(), 1);
    QVERIFY(!tickAt(run, at(u"8:20:02"_s)));

    QVERIFY(restart(run, at(u"8:30:00"_s)));
    QVERIFY(tickAt(run, at(u"8:40:02"_s)));
    QCOMPARE(popups().first()->taskId(), id);
    QVERIFY(QTest::qVerify(popups().first()->findChild<QWidget*>(u"Image2"_s) != nullptr, "Image2", "", __FILE__,
                           __LINE__));
    QTest::mouseClick(popups().first()->findChild<QWidget*>(u"Image2"_s), Qt::LeftButton);
    settle();
    QCOMPARE(run.scalar(u"SELECT count(*) FROM snooze"_s).toInt(), 0);
}

void RemindersTest::snoozeGoesWithTheTask_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("kept");
    QTest::newRow("done") << "UPDATE renwu SET zhuangtai = 1 WHERE id = ?" << 0;
    QTest::newRow("abandoned") << "UPDATE renwu SET zhuangtai = 2 WHERE id = ?" << 0;
    QTest::newRow("deleted") << "DELETE FROM renwu WHERE id = ?" << 0;
    QTest::newRow("renamed") << "UPDATE renwu SET title = 'x' WHERE id = ?" << 1;
}

void RemindersTest::snoozeGoesWithTheTask()
{
    QFETCH(QString, change);
    QFETCH(int, kept);
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 id = addTask(run, u"call"_s, u"07:00:00"_s);
    // A snooze of tomorrow waits for its day.
    run.exec(u"INSERT INTO snooze (renwu, day, time) VALUES (?, '2009-02-01', '09:00:00')"_s, {id});
    QVERIFY(run.login());
    QVERIFY(!tickAt(run, at(u"9:00:00"_s)));
    run.exec(change, {id});
    QCOMPARE(run.scalar(u"SELECT count(*) FROM snooze"_s).toInt(), kept);
}

void RemindersTest::jumpShowsLatestAndListsOthers()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 a = addTask(run, u"a"_s, u"09:00:00"_s);
    const qint64 b = addTask(run, u"b"_s, u"09:10:00"_s);
    const qint64 c = addTask(run, u"c"_s, u"09:20:00"_s);
    addTask(run, u"done"_s, u"09:05:00"_s, 1);
    const qint64 d = addTask(run, u"d"_s, u"09:40:00"_s);
    QVERIFY(run.login());
    run.exec(u"INSERT INTO snooze (renwu, day, time) VALUES (?, ?, '09:35:00')"_s, {a, kDay.toString(Qt::ISODate)});
    frame()->ModRenwu();

    QVERIFY(!tickAt(run, at(u"8:59:59"_s)));
    QVERIFY(tickAt(run, at(u"9:30:00"_s))); // the machine slept over three open times and a done one
    QCOMPARE(run.playedSounds.size(), 1);
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), c);
    QCOMPARE(missedList(), (QList<qint64>{a, b}));

    // Another jump: the same window, refilled; a task missed again is listed once.
    closePopups();
    QVERIFY(tickAt(run, at(u"9:50:00"_s)));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), d);
    QCOMPARE(missedList(), (QList<qint64>{b, a}));
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        windows += qobject_cast<FrmMissed*>(w) && w->isVisible();
    QCOMPARE(windows, 1);
    auto* list = control<QTreeWidget>(u"FrmMissed"_s, u"ListView1"_s);
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("a"));
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("2009-1-31 9:35:00"));
    QCOMPARE(list->topLevelItem(1)->text(3), QStringLiteral("正在进行"));

    // A double click shows the task in a popup; 知道了 closes the window.
    closePopups();
    QVERIFY(clickRow(list, 0, 1, true));
    settle();
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), b);
    QVERIFY(click(control<QAbstractButton>(u"FrmMissed"_s, u"Command1"_s)));
    settle();
    QVERIFY(!shown(u"FrmMissed"_s));
}

void RemindersTest::missedWhileClosedIsListed()
{
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 a = addTask(run, u"a"_s, u"09:00:00"_s);
    addTask(run, u"done"_s, u"09:05:00"_s, 1);
    const qint64 b = addTask(run, u"b"_s, u"09:10:00"_s);
    addTask(run, u"later"_s, u"10:00:00"_s);
    addTask(run, u"yesterday"_s, u"09:00:00"_s, 0, kDay.addDays(-1));
    const qint64 s = addTask(run, u"snoozed"_s, u"07:00:00"_s);
    run.exec(u"INSERT INTO snooze (renwu, day, time) VALUES (?, ?, '09:20:00')"_s, {s, kDay.toString(Qt::ISODate)});
    run.answerNext(QMessageBox::No); // the overdue question
    QVERIFY(run.login());
    QVERIFY(missedList().isEmpty()); // a first start lists nothing

    run.answerNext(QMessageBox::Ok); // no notification area: the program ends with the frame
    run.answerNext(QMessageBox::No);
    QVERIFY(restart(run, at(u"9:30:00"_s)));
    QCOMPARE(missedList(), (QList<qint64>{a, b, s}));
    QVERIFY(popups().isEmpty());
    QVERIFY(run.playedSounds.isEmpty());

    // Started again at once: nothing new was missed.
    run.answerNext(QMessageBox::Ok);
    run.answerNext(QMessageBox::No);
    QVERIFY(restart(run, at(u"9:31:00"_s)));
    QVERIFY(missedList().isEmpty());
}

void RemindersTest::trayClockFollowsTheSameRules()
{
    TrayPresent tray(true);
    ProgramRun run(at(u"8:00:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 a = addTask(run, u"a"_s, u"09:00:00"_s);
    const qint64 b = addTask(run, u"b"_s, u"09:10:00"_s);
    const qint64 c = addTask(run, u"c"_s, u"09:20:00"_s);
    QVERIFY(run.login());
    find<MDIfrm>(u"MDIfrm"_s)->close();
    settle();
    QVERIFY(find<QWidget>(u"myicon"_s));

    QVERIFY(tickAt(run, at(u"9:20:00"_s)));
    QCOMPARE(popups().first()->taskId(), c);
    QCOMPARE(missedList(), (QList<qint64>{a, b}));
    QVERIFY(snooze(popups().first(), u"min5"_s));
    QVERIFY(!tickAt(run, at(u"9:24:59"_s)));
    QVERIFY(tickAt(run, at(u"9:25:00"_s)));
    QCOMPARE(popups().first()->taskId(), c);
    QCOMPARE(missedList(), (QList<qint64>{a, b}));
}

void RemindersTest::midnightMakesTheNewDaysOccurrence_data()
{
    situations();
    QTest::newRow("frame shown") << false;
    QTest::newRow("closed to the tray") << true;
}

void RemindersTest::midnightMakesTheNewDaysOccurrence()
{
    QFETCH(bool, tray);
    const TrayPresent present(true);
    ProgramRun run(at(u"23:59:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    run.exec(u"INSERT INTO chongfu (title, intime, pinlv, ksday, lastday) VALUES ('daily', '09:00:00', 0, ?, ?)"_s,
             {day(kDay), day(kDay)});
    QVERIFY(run.login());
    QVERIFY(enter(tray));

    const QDate next = kDay.addDays(1);
    QVERIFY(!tickAt(run, at(u"23:59:59"_s)));
    QVERIFY(!tickAt(run, at(u"0:00:01"_s, next)));
    const qint64 made = run.scalar(u"SELECT id FROM renwu WHERE today = ? AND chongfu > 0"_s, {day(next)}).toLongLong();
    QVERIFY(made > 0);
    QVERIFY(!tickAt(run, at(u"8:59:59"_s, next)));
    QVERIFY(tickAt(run, at(u"9:00:00"_s, next)));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), made);
    QVERIFY(missedList().isEmpty());
}

void RemindersTest::jumpOverMidnightCarriesItsTask_data()
{
    situations();
    QTest::newRow("frame shown") << false;
    QTest::newRow("closed to the tray") << true;
}

void RemindersTest::jumpOverMidnightCarriesItsTask()
{
    QFETCH(bool, tray);
    const TrayPresent present(true);
    ProgramRun run(at(u"23:59:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 late = addTask(run, u"late call"_s, u"23:59:50"_s);
    addTask(run, u"tomorrow"_s, u"10:00:00"_s, 0, kDay.addDays(1));
    QVERIFY(run.login());
    QVERIFY(enter(tray));

    QVERIFY(!tickAt(run, at(u"23:59:40"_s)));
    QVERIFY(tickAt(run, at(u"0:00:10"_s, kDay.addDays(1))));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), late);
    QCOMPARE(popups().first()->findChild<QLineEdit*>(u"Text1"_s)->text(), QStringLiteral("late call"));
    QVERIFY(missedList().isEmpty());
}

void RemindersTest::sameSecondPopsUpEach_data()
{
    situations();
    QTest::addColumn<QString>("before"); // the tick before the reminders' second
    QTest::newRow("frame shown, on time") << false << "14:29:59";
    QTest::newRow("tray, on time") << true << "14:29:59";
    QTest::newRow("frame shown, after a jump") << false << "14:00:00";
    QTest::newRow("tray, after a jump") << true << "14:00:00";
}

void RemindersTest::sameSecondPopsUpEach()
{
    QFETCH(bool, tray);
    QFETCH(QString, before);
    const TrayPresent present(true);
    ProgramRun run(at(u"13:59:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const qint64 a = addTask(run, u"a"_s, u"14:30:00"_s);
    const qint64 b = addTask(run, u"b"_s, u"14:30:00"_s);
    QVERIFY(run.login());
    QVERIFY(enter(tray));

    QVERIFY(!tickAt(run, at(before)));
    QVERIFY(tickAt(run, at(u"14:30:00"_s)));
    QList<qint64> ids;
    for (Frmts* p : popups())
        ids << p->taskId();
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids, (QList<qint64>{a, b}));
    QCOMPARE(run.playedSounds.size(), 1);
    QVERIFY(missedList().isEmpty());
}

void RemindersTest::foreignLockNeverFreezesTheClock_data()
{
    situations();
    QTest::addColumn<QString>("lock");
    QTest::newRow("frame shown, writer") << false << "BEGIN IMMEDIATE";
    QTest::newRow("tray, writer") << true << "BEGIN IMMEDIATE";
    QTest::newRow("frame shown, exclusive") << false << "BEGIN EXCLUSIVE";
    QTest::newRow("tray, exclusive") << true << "BEGIN EXCLUSIVE";
}

void RemindersTest::foreignLockNeverFreezesTheClock()
{
    QFETCH(bool, tray);
    QFETCH(QString, lock);
    const TrayPresent present(true);
    ProgramRun run(at(u"23:58:00"_s));
    QVERIFY(run.start());
    noTasks(run);
    const QDate next = kDay.addDays(1);
    const qint64 early = addTask(run, u"early"_s, u"00:03:00"_s, 0, next);
    QVERIFY(run.login());
    QVERIFY(enter(tray));

    // Another program holds the file over a minute's write and over midnight.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
        other.setDatabaseName(run.file(u"mylive.dc"_s));
        QVERIFY(other.open());
        QSqlQuery hold(other);
        QVERIFY(hold.exec(lock));
        qint64 longest = 0;
        for (QDateTime t = at(u"23:58:10"_s); t <= at(u"0:01:00"_s, next); t = t.addSecs(10)) {
            QElapsedTimer timer;
            timer.start();
            QVERIFY(!tickAt(run, t));
            longest = std::max(longest, timer.elapsed());
        }
        // The busy timeout is five seconds: a tick that waited for the lock would show it.
        QVERIFY2(longest < 1000, qPrintable(QString::number(longest)));
        QVERIFY(run.messages.isEmpty());
        QVERIFY(hold.exec(u"ROLLBACK"_s));
        other.close();
    }
    QSqlDatabase::removeDatabase(u"foreign"_s);

    // Free again: the new day's list is read a minute after the last try and its reminder
    // comes; the last check is kept again.
    QVERIFY(!tickAt(run, at(u"0:02:10"_s, next)));
    QCOMPARE(reminderTimer() != nullptr, true);
    QVERIFY(tickAt(run, at(u"0:03:00"_s, next)));
    QCOMPARE(popups().size(), 1);
    QCOMPARE(popups().first()->taskId(), early);
    QVERIFY(!tickAt(run, at(u"0:04:10"_s, next)));
    QCOMPARE(run.scalar(u"SELECT day || ' ' || time FROM reminder_check"_s).toString(),
             QStringLiteral("2009-02-01 00:04:10"));
}

void RemindersTest::clockOnceAheadIsNotBelieved()
{
    const TrayPresent present(false);
    const QDate ahead = kDay.addDays(365);
    ProgramRun run(at(u"8:00:00"_s, ahead));
    QVERIFY(run.start());
    noTasks(run);
    run.exec(u"INSERT INTO chongfu (title, intime, pinlv, ksday) VALUES ('daily', '09:00:00', 0, ?)"_s, {day(kDay)});
    QVERIFY(run.login());
    QCOMPARE(run.scalar(u"SELECT lastday FROM chongfu"_s).toString(), day(ahead));

    // Back to the right day: today's occurrence is made, and nothing is called missed.
    run.answerNext(QMessageBox::Ok); // no notification area: the program ends with the frame
    QVERIFY(restart(run, at(u"8:00:00"_s)));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE chongfu > 0 AND today = ?"_s, {day(kDay)}).toInt(), 1);
    QCOMPARE(run.scalar(u"SELECT lastday FROM chongfu"_s).toString(), day(kDay));
    QVERIFY(missedList().isEmpty());
    QVERIFY(tickAt(run, at(u"9:00:00"_s)));

    // The next day is made at midnight as usual, and a later start lists what passed.
    QVERIFY(!tickAt(run, at(u"0:00:01"_s, kDay.addDays(1))));
    QCOMPARE(
        run.scalar(u"SELECT count(*) FROM renwu WHERE chongfu > 0 AND today = ?"_s, {day(kDay.addDays(1))}).toInt(), 1);
    run.answerNext(QMessageBox::Ok);
    run.answerNext(QMessageBox::No); // the overdue question
    QVERIFY(restart(run, at(u"9:30:00"_s, kDay.addDays(1))));
    QCOMPARE(missedList().size(), 1);
}

QTEST_MAIN(RemindersTest)
#include "test_reminders.moc"
