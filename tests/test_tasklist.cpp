#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "testsupport.h"
#include "views/tasks/dlogmtime.h"
#include "views/tasks/frmrw.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QSqlQuery>
#include <QToolBar>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2009, 1, 31);

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>(u"Frmrw"_s, name);
}
QTreeWidget* taskList()
{
    return ctl(u"ListView2"_s);
}
QTreeWidget* dayList()
{
    return ctl(u"ListView1"_s);
}
[[nodiscard]] bool press(const QString& name)
{
    return click(ctl<QPushButton>(name));
}
QString counter()
{
    return ctl<QLabel>(u"Label7"_s)->text();
}

// Logs in (leaving earlier open tasks where they are), prepares the data, then opens the view
// with its button on the bar.
void openView(ProgramRun& run, const std::function<void()>& prepare = {})
{
    run.answerNext(QMessageBox::No);
    QVERIFY(run.login());
    if (prepare)
        prepare();
    control<QToolBar>(u"MDIfrm"_s, u"Toolbar1"_s)->findChild<QAction*>(u"Button4"_s)->trigger();
    settle();
    QVERIFY(shown(u"Frmrw"_s));
    run.messages.clear();
}

qint64 addTask(const ProgramRun& run, const QString& title, const QVariant& today = QVariant(), int state = 0,
               qint64 goal = 0, qint64 theme = 0, int order = 0)
{
    run.exec(u"INSERT INTO renwu (title, today, zhuangtai, mubiao, juese, xuhao) VALUES (?, ?, ?, ?, ?, ?)"_s,
             {title, today, state, goal, theme, order});
    return run.scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
}

int rowOf(QTreeWidget* list, qint64 id)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0).toLongLong() == id)
            return i;
    }
    return -1;
}

QStringList column(QTreeWidget* list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(c);
    return texts;
}

// A drag from the other list entering the list and dropped there, without a drag session; what
// it carries is never read.
bool dropOn(QTreeWidget* list, const QByteArray& format = "text/plain")
{
    QMimeData data;
    data.setData(QString::fromLatin1(format), "1");
    const QPoint at(20, 20);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    return drop.isAccepted();
}

void choose(QComboBox* combo, const QVariant& data)
{
    const int index = combo->findData(data);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QVariant stored(const ProgramRun& run, const char* columnName, qint64 id)
{
    return run.scalar(QStringLiteral("SELECT %1 FROM renwu WHERE id = ?").arg(QLatin1String(columnName)), {id});
}
} // namespace

class TaskListTest : public QObject
{
    Q_OBJECT

private slots:
    void paging_data();
    void paging();
    void pageBeyondTheEndShowsTheLastPage();
    void pagesNeitherRepeatNorSkip_data();
    void pagesNeitherRepeatNorSkip();
    void pagingAfterRowsWentElsewhere();
    void dayStates_data();
    void dayStates();
    void planningByDrop();
    void dropBack_data();
    void dropBack();
    void removeFromDay();
    void emptyListMessages_data();
    void emptyListMessages();
    void deleteRefreshesCounter();
    void timeDialog_data();
    void timeDialog();
    void timeDialogButtonsAndRefusal();
    void editDialogEditsSelectedTask();
    void addDialogFromTheView();
    void helpLink();
};

// 60 matching tasks among others that do not match: the pages, the buttons and the counter, and
// the filter kept while paging and while the goal box changes.
void TaskListTest::paging_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("default list") << "default";
    QTest::newRow("name with a quote") << "name";
    QTest::newRow("theme and goal") << "goal";
}

void TaskListTest::paging()
{
    QFETCH(QString, how);
    ProgramRun run;
    const QString match = QStringLiteral("周'报%_");
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        for (int i = 0; i < 60; ++i)
            addTask(run, QStringLiteral("第%1份%2").arg(i).arg(match), QVariant(), 0, 2, 1, i);
        // Not in the filtered lists: other names, other goals; some of them in the default list.
        for (int i = 0; i < 20; ++i)
            addTask(run, QStringLiteral("周报%1").arg(i), how == "default"_L1 ? QVariant(u"2009-02-01"_s) : QVariant(),
                    0, 1, 1, i);
    });
    if (how == "name"_L1) {
        ctl<QLineEdit>(u"Text1"_s)->setText(match);
        QVERIFY(press(u"Command6"_s));
    } else if (how == "goal"_L1) {
        choose(ctl<QComboBox>(u"Combo1"_s), 1);
        choose(ctl<QComboBox>(u"Combo2"_s), 2);
        QVERIFY(press(u"Command6"_s));
    }

    auto* previous = ctl<QPushButton>(u"Command7"_s);
    auto* next = ctl<QPushButton>(u"Command8"_s);
    QCOMPARE(taskList()->topLevelItemCount(), 25);
    QCOMPARE(counter(), QStringLiteral("共60条 当前第1条—25条"));
    QVERIFY(!previous->isEnabled());
    QVERIFY(next->isEnabled());

    QVERIFY(press(u"Command8"_s));
    QCOMPARE(counter(), QStringLiteral("共60条 当前第26条—50条"));
    QVERIFY(previous->isEnabled());
    QVERIFY(press(u"Command8"_s));
    QCOMPARE(taskList()->topLevelItemCount(), 10);
    QCOMPARE(counter(), QStringLiteral("共60条 当前第51条—60条"));
    QVERIFY(!next->isEnabled());
    // Ordered by goal and order number: the last page ends with the last task.
    QCOMPARE(taskList()->topLevelItem(9)->text(2), QStringLiteral("第59份%1").arg(match));
    for (const QString& title : column(taskList(), 2))
        QVERIFY2(title.contains(match), qPrintable(title));

    QVERIFY(press(u"Command7"_s));
    QCOMPARE(counter(), QStringLiteral("共60条 当前第26条—50条"));
    QCOMPARE(taskList()->topLevelItem(0)->text(4), QStringLiteral("25"));

    // Goal 2 is in progress, goal 1 is taken out of it: the box keeps the filter and the page.
    run.exec(u"UPDATE mubiao SET zhuangtai = 0 WHERE id = 1"_s);
    QVERIFY(click(ctl<QCheckBox>(u"Check1"_s)));
    QCOMPARE(counter(), QStringLiteral("共60条 当前第26条—50条"));
    run.exec(u"UPDATE mubiao SET zhuangtai = 0 WHERE id = 2"_s);
    QVERIFY(click(ctl<QCheckBox>(u"Check1"_s)));
    QVERIFY(click(ctl<QCheckBox>(u"Check1"_s)));
    QCOMPARE(counter(), QStringLiteral("共0条 当前第0条—0条"));
    QCOMPARE(taskList()->topLevelItemCount(), 0);
    QVERIFY(!previous->isEnabled() && !next->isEnabled());
}

void TaskListTest::pageBeyondTheEndShowsTheLastPage()
{
    ProgramRun run;
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        for (int i = 0; i < 60; ++i)
            addTask(run, i < 30 ? QStringLiteral("长%1").arg(i) : QStringLiteral("短%1").arg(i), QVariant(), 0, 0, 0,
                    i);
    });
    QVERIFY(press(u"Command8"_s));
    QVERIFY(press(u"Command8"_s));
    ctl<QLineEdit>(u"Text1"_s)->setText(QStringLiteral("短"));
    QVERIFY(press(u"Command6"_s));
    QCOMPARE(counter(), QStringLiteral("共30条 当前第26条—30条"));
    QCOMPARE(taskList()->topLevelItemCount(), 5);
    QCOMPARE(Forms::find<Frmrw>()->pageNumber(), 2);
    QVERIFY(!ctl<QPushButton>(u"Command8"_s)->isEnabled());
}

// Paging forward and back over order numbers that tie or have fractions shows every task once.
void TaskListTest::pagesNeitherRepeatNorSkip_data()
{
    QTest::addColumn<QString>("orders");
    QTest::newRow("one order number") << "same";
    QTest::newRow("fractions") << "fractions";
}

void TaskListTest::pagesNeitherRepeatNorSkip()
{
    QFETCH(QString, orders);
    ProgramRun run;
    QList<qint64> expected;
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        for (int i = 0; i < 70; ++i) {
            const QVariant order =
                orders == "same"_L1 ? QVariant(3) : (i % 2 ? QVariant(i % 5 + 0.5) : QVariant(i % 5));
            run.exec(u"INSERT INTO renwu (title, mubiao, xuhao) VALUES (?, ?, ?)"_s,
                     {QString::number(i), i % 2, order});
        }
        QSqlQuery q = run.query(u"SELECT id FROM renwu ORDER BY mubiao, xuhao, id"_s);
        while (q.next())
            expected << q.value(0).toLongLong();
    });
    auto ids = [] {
        QList<qint64> shown;
        for (const QString& id : column(taskList(), 0))
            shown << id.toLongLong();
        return shown;
    };
    QList<qint64> forward = ids();
    QVERIFY(press(u"Command8"_s));
    const QList<qint64> second = ids();
    forward << second;
    QVERIFY(press(u"Command8"_s));
    forward << ids();
    QCOMPARE(forward, expected);
    QCOMPARE(counter(), QStringLiteral("共70条 当前第51条—70条"));
    QVERIFY(press(u"Command7"_s));
    QCOMPARE(ids(), second);
    QVERIFY(press(u"Command7"_s));
    QCOMPARE(ids(), expected.mid(0, 25));
    QVERIFY(!ctl<QPushButton>(u"Command7"_s)->isEnabled());
}

// Rows taken away by another window meanwhile: the next page is counted afresh and the counter
// names only rows that exist.
void TaskListTest::pagingAfterRowsWentElsewhere()
{
    ProgramRun run;
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        for (int i = 0; i < 30; ++i)
            addTask(run, QStringLiteral("任务%1").arg(i), QVariant(), 0, 0, 0, i);
    });
    QVERIFY(ctl<QPushButton>(u"Command8"_s)->isEnabled());
    run.exec(u"DELETE FROM renwu WHERE xuhao >= 25"_s);
    QVERIFY(press(u"Command8"_s));
    QCOMPARE(counter(), QStringLiteral("共25条 当前第1条—25条"));
    QCOMPARE(taskList()->topLevelItemCount(), 25);
    QCOMPARE(Forms::find<Frmrw>()->pageNumber(), 1);
    QVERIFY(!ctl<QPushButton>(u"Command8"_s)->isEnabled());
}

// The state filter looks at the planned day; "已过期" lists open tasks only.
void TaskListTest::dayStates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("未选择") << 0 << QStringList{u"昨完成"_s, u"昨进行"_s, u"今天"_s, u"明天"_s, u"无日"_s};
    QTest::newRow("未安排") << 1 << QStringList{u"无日"_s};
    QTest::newRow("未开始") << 2 << QStringList{u"明天"_s};
    QTest::newRow("已过期") << 3 << QStringList{u"昨进行"_s};
}

void TaskListTest::dayStates()
{
    QFETCH(int, state);
    QFETCH(QStringList, titles);
    ProgramRun run;
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        addTask(run, u"昨完成"_s, u"2009-01-30"_s, 1);
        addTask(run, u"昨进行"_s, u"2009-01-30"_s, 0);
        addTask(run, u"今天"_s, u"2009-01-31"_s, 2);
        addTask(run, u"明天"_s, u"2009-02-01"_s, 0);
        addTask(run, u"无日"_s, QVariant(), 3);
    });
    QCOMPARE(column(taskList(), 2), QStringList{}); // the default list: open tasks without a day
    ctl<QComboBox>(u"Combo3"_s)->setCurrentIndex(state);
    QVERIFY(press(u"Command6"_s));
    QCOMPARE(column(taskList(), 2), titles);
    if (state == 3)
        QCOMPARE(column(taskList(), 1), (QStringList{u"正在进行"_s}));
}

void TaskListTest::planningByDrop()
{
    ProgramRun run;
    qint64 timed = 0;
    openView(run, [&] {
        // A task that kept a time from an earlier planning shows that time.
        timed = addTask(run, u"带时间"_s, QVariant());
        run.exec(u"UPDATE renwu SET intime = '07:15:00' WHERE id = ?"_s, {timed});
    });
    QCOMPARE(ctl<QGroupBox>(u"Frame3"_s)->title(), QStringLiteral("今日任务"));
    const QDate day(2009, 2, 3);
    ctl<QCalendarWidget>(u"MonthView1"_s)->setSelectedDate(day);
    QCOMPARE(ctl<QGroupBox>(u"Frame3"_s)->title(), QStringLiteral("2009-2-3 任务"));
    const int planned = dayList()->topLevelItemCount();

    const int first = rowOf(taskList(), timed) == 0 ? 1 : 0;
    const qint64 id = taskList()->topLevelItem(first)->text(0).toLongLong();
    const QString title = taskList()->topLevelItem(first)->text(2);
    QVERIFY(clickRow(taskList(), first));
    dropOn(dayList());
    QCOMPARE(dayList()->topLevelItemCount(), planned + 1);
    QCOMPARE(dayList()->topLevelItem(planned)->text(1), title);
    QCOMPARE(dayList()->topLevelItem(planned)->text(2), QStringLiteral("非提醒任务"));
    QCOMPARE(taskList()->topLevelItem(first)->text(3), QStringLiteral("2009-2-3"));
    QCOMPARE(stored(run, "today", id).toString(), QStringLiteral("2009-02-03"));
    QVERIFY(run.messages.isEmpty());

    // The same task again: refused, nothing written. Planned for another day meanwhile, the
    // database would show it.
    run.exec(u"UPDATE renwu SET today = '2009-02-09' WHERE id = ?"_s, {id});
    dropOn(dayList());
    QCOMPARE(run.messages, QStringList{u"已经有该任务了！"_s});
    QCOMPARE(dayList()->topLevelItemCount(), planned + 1);
    QCOMPARE(stored(run, "today", id).toString(), QStringLiteral("2009-02-09"));

    // A drag that started in the day list is not dropped on it.
    QVERIFY(clickRow(taskList(), rowOf(taskList(), timed)));
    QVERIFY(!dropOn(dayList(), "application/x-vantorel-ListView1"));
    QCOMPARE(dayList()->topLevelItemCount(), planned + 1);

    dropOn(dayList());
    QCOMPARE(dayList()->topLevelItem(planned + 1)->text(2), QStringLiteral("7:15:00"));
    QCOMPARE(stored(run, "intime", timed).toString(), QStringLiteral("07:15:00"));
}

// A day task dropped back on the list: its row there says "未安排", or a row is added for it.
void TaskListTest::dropBack_data()
{
    QTest::addColumn<bool>("onPage");
    QTest::newRow("on the page") << true;
    QTest::newRow("not on the page") << false;
}

void TaskListTest::dropBack()
{
    QFETCH(bool, onPage);
    ProgramRun run;
    openView(run);
    // Task 3 is open and planned for today without a time; with the filter "未开始" it is not listed.
    const qint64 id = 3;
    if (onPage) {
        ctl<QLineEdit>(u"Text1"_s)->setText(QStringLiteral("整理节后第一周"));
        QVERIFY(press(u"Command6"_s));
        QCOMPARE(rowOf(taskList(), id), 0);
    }
    const int before = taskList()->topLevelItemCount();
    run.exec(u"UPDATE renwu SET intime = '10:00:00' WHERE id = ?"_s, {id});
    QVERIFY(clickRow(dayList(), rowOf(dayList(), id)));
    dropOn(taskList());

    QCOMPARE(rowOf(dayList(), id), -1);
    QVERIFY(stored(run, "today", id).isNull());
    QVERIFY(stored(run, "intime", id).isNull());
    const int row = rowOf(taskList(), id);
    QVERIFY(row >= 0);
    QCOMPARE(taskList()->topLevelItemCount(), onPage ? before : before + 1);
    QCOMPARE(taskList()->topLevelItem(row)->text(1), QStringLiteral("正在进行"));
    QCOMPARE(taskList()->topLevelItem(row)->text(3), QStringLiteral("未安排"));
    QCOMPARE(taskList()->topLevelItem(row)->text(2), QStringLiteral("整理节后第一周的工作计划"));
}

void TaskListTest::removeFromDay()
{
    ProgramRun run;
    openView(run);
    const int row = rowOf(dayList(), 2); // task 2: today at 9:00
    QVERIFY(row >= 0);
    QCOMPARE(rowOf(taskList(), 2), -1);
    QVERIFY(clickRow(dayList(), row));
    QVERIFY(press(u"Command5"_s));
    QCOMPARE(rowOf(dayList(), 2), -1);
    QVERIFY(stored(run, "today", 2).isNull());
    QVERIFY(stored(run, "intime", 2).isNull());
    // It is open and has no day: the default list shows it now.
    QVERIFY(rowOf(taskList(), 2) >= 0);
}

void TaskListTest::emptyListMessages_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("编辑") << "Command2"
                          << "没有可供编辑的任务！";
    QTest::newRow("删除") << "Command3"
                          << "没有可供删除的任务！";
    QTest::newRow("更改时间") << "Command4"
                              << "没有可供更改时间的任务！";
    QTest::newRow("移除") << "Command5"
                          << "没有可供移除的任务！";
}

void TaskListTest::emptyListMessages()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    ProgramRun run;
    openView(run, [&] { run.exec(u"DELETE FROM renwu"_s); });
    QVERIFY(press(button));
    QCOMPARE(run.messages, QStringList{message});
    QVERIFY(!shown(u"Dlogmodrw"_s) && !shown(u"Dlogmtime"_s));
}

void TaskListTest::deleteRefreshesCounter()
{
    ProgramRun run;
    openView(run, [&] {
        run.exec(u"DELETE FROM renwu"_s);
        for (int i = 0; i < 26; ++i)
            addTask(run, QStringLiteral("任务%1").arg(i), QVariant(), 0, 0, 0, i);
    });
    const qint64 id = taskList()->topLevelItem(3)->text(0).toLongLong();
    QVERIFY(clickRow(taskList(), 3));
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE id = ?"_s, {id}).toInt(), 0);
    QCOMPARE(rowOf(taskList(), id), -1);
    // The next task moves up into the page, and the counter counts what is left.
    QCOMPARE(taskList()->topLevelItemCount(), 25);
    QCOMPARE(counter(), QStringLiteral("共25条 当前第1条—25条"));
    QVERIFY(!ctl<QPushButton>(u"Command8"_s)->isEnabled());
}

// The time dialog opens at the day row's time and stores the time chosen.
void TaskListTest::timeDialog_data()
{
    QTest::addColumn<qint64>("task");
    QTest::addColumn<QString>("opens");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("moveTo");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("saved");
    QTest::newRow("no reminder") << qint64(3) << "23:00:00" << 138 << 51 << "8:30:00"
                                 << "08:30:00";
    QTest::newRow("at 14:30") << qint64(4) << "14:30:00" << 86 << 144 << "23:59:59"
                              << "23:59:59";
}

void TaskListTest::timeDialog()
{
    QFETCH(qint64, task);
    QFETCH(QString, opens);
    QFETCH(int, position);
    QFETCH(int, moveTo);
    QFETCH(QString, shown);
    QFETCH(QString, saved);
    ProgramRun run;
    openView(run,
             [&] { run.exec(u"UPDATE renwu SET today = '2009-01-31', intime = ? WHERE id = 4"_s, {u"14:30:00"_s}); });
    // A mark in the task list that a refill would wipe out.
    taskList()->topLevelItem(0)->setText(4, QStringLiteral("标记"));
    const int row = rowOf(dayList(), task);
    QVERIFY(row >= 0);
    QVERIFY(clickRow(dayList(), row));
    QVERIFY(press(u"Command4"_s));
    QVERIFY(TestSupport::shown(u"Dlogmtime"_s));
    auto* text = control<QLineEdit>(u"Dlogmtime"_s, u"Text2"_s);
    auto* slider = control<QSlider>(u"Dlogmtime"_s, u"Slider1"_s);
    QCOMPARE(text->text(), opens);
    QCOMPARE(slider->value(), position);

    slider->setValue(moveTo);
    QCOMPARE(text->text(), moveTo == 144 ? QStringLiteral("24:00:00") : shown);
    QCOMPARE(slider->toolTip(), text->text());
    QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"OKButton"_s)));
    settle();
    QVERIFY(!TestSupport::shown(u"Dlogmtime"_s));
    QCOMPARE(stored(run, "intime", task).toString(), saved);
    QCOMPARE(dayList()->topLevelItem(rowOf(dayList(), task))->text(2), shown);
    // The task list keeps its rows as they were; the frame reminds at the new time today.
    QCOMPARE(taskList()->topLevelItem(0)->text(4), QStringLiteral("标记"));
    QVERIFY(find<MDIfrm>(u"MDIfrm"_s)->reminderClock().times().contains(QTime::fromString(saved, u"HH:mm:ss"_s)));
}

void TaskListTest::timeDialogButtonsAndRefusal()
{
    ProgramRun run;
    openView(run);
    QVERIFY(clickRow(dayList(), rowOf(dayList(), 3)));
    QVERIFY(press(u"Command4"_s));
    auto* text = control<QLineEdit>(u"Dlogmtime"_s, u"Text2"_s);
    text->setText(u"8:30:00"_s);
    QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"Command3"_s)));
    QCOMPARE(text->text(), QStringLiteral("8:31:00"));
    QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"Command2"_s)));
    QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"Command2"_s)));
    QCOMPARE(text->text(), QStringLiteral("8:29:00"));

    for (const QString& bad : {QStringLiteral("25:70:00"), QStringLiteral("abc")}) {
        text->setText(bad);
        QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"OKButton"_s)));
        QCOMPARE(run.messages.last(), QStringLiteral("请输入正确的时间！"));
        QVERIFY(TestSupport::shown(u"Dlogmtime"_s));
        QVERIFY(stored(run, "intime", 3).isNull());
    }
    QCOMPARE(dayList()->topLevelItem(rowOf(dayList(), 3))->text(2), QStringLiteral("非提醒任务"));
    QVERIFY(click(control<QPushButton>(u"Dlogmtime"_s, u"Command1"_s)));
    settle();
    QVERIFY(!TestSupport::shown(u"Dlogmtime"_s));
    QVERIFY(stored(run, "intime", 3).isNull());
}

// The edit dialog opened from the view edits the task selected in the list; saving shows the
// default list again, with the change.
void TaskListTest::editDialogEditsSelectedTask()
{
    ProgramRun run;
    openView(run);
    ctl<QComboBox>(u"Combo3"_s)->setCurrentIndex(3); // overdue
    QVERIFY(press(u"Command6"_s));
    const int row = 0;
    const qint64 id = taskList()->topLevelItem(row)->text(0).toLongLong();
    QVERIFY(clickRow(taskList(), row));
    QVERIFY(press(u"Command2"_s));
    QVERIFY(shown(u"Dlogmodrw"_s));
    auto* title = control<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s);
    QCOMPARE(title->text(), stored(run, "title", id).toString());
    title->setText(QStringLiteral("改过的名字"));
    control<QCheckBox>(u"Dlogmodrw"_s, u"Check2"_s)->setChecked(true); // no day: open tasks without a day list it
    run.exec(u"UPDATE renwu SET zhuangtai = 0 WHERE id = ?"_s, {id});
    QVERIFY(click(control<QPushButton>(u"Dlogmodrw"_s, u"Command3"_s)));
    settle();
    QCOMPARE(stored(run, "title", id).toString(), QStringLiteral("改过的名字"));
    QVERIFY(Forms::find<Frmrw>()->filter().openUnplanned);
    const int shownRow = rowOf(taskList(), id);
    QVERIFY(shownRow >= 0);
    QCOMPARE(taskList()->topLevelItem(shownRow)->text(2), QStringLiteral("改过的名字"));
}

// "新增" opens the add dialog; a task saved without a day shows in the default list at once.
void TaskListTest::addDialogFromTheView()
{
    ProgramRun run;
    openView(run);
    ctl<QLineEdit>(u"Text1"_s)->setText(QStringLiteral("没有这样的任务"));
    QVERIFY(press(u"Command6"_s));
    QCOMPARE(taskList()->topLevelItemCount(), 0);
    QVERIFY(press(u"Command1"_s));
    QVERIFY(shown(u"dlogaddrw"_s));
    QVERIFY(control<QCheckBox>(u"dlogaddrw"_s, u"Check2"_s)->isChecked());
    control<QLineEdit>(u"dlogaddrw"_s, u"Text1"_s)->setText(QStringLiteral("新加的任务"));
    QVERIFY(click(control<QPushButton>(u"dlogaddrw"_s, u"OKButton"_s)));
    settle();
    QVERIFY(!shown(u"dlogaddrw"_s));
    QVERIFY(column(taskList(), 2).contains(QStringLiteral("新加的任务")));
    QVERIFY(Forms::find<Frmrw>()->filter().openUnplanned);
}

void TaskListTest::helpLink()
{
    ProgramRun run;
    openView(run);
    QTest::mouseClick(ctl<QLabel>(u"Label5"_s), Qt::LeftButton);
    QCOMPARE(run.openedUrls.size(), 1);
    QVERIFY(run.openedUrls.first().toString().endsWith(u"/shuoming/7.asp"_s));
}

QTEST_MAIN(TaskListTest)
#include "test_tasklist.moc"
