#include "testsupport.h"

#include "gui/helpers.h"
#include "views/desktop/frmts.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2009, 1, 31);
QString overdueText(int count)
{
    return QStringLiteral("您以前有 %1 个未完成任务，是否放置到今天？").arg(count);
}

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>(u"Frmmain"_s, name);
}

QTreeWidget* tasks()
{
    return ctl(u"ListView1"_s);
}
QPlainTextEdit* box(const QString& name = u"RichTextBox1"_s)
{
    return ctl<QPlainTextEdit>(name);
}
[[nodiscard]] bool press(const QString& name)
{
    return click(ctl<QPushButton>(name));
}

int rowOf(qint64 id)
{
    for (int i = 0; i < tasks()->topLevelItemCount(); ++i) {
        if (tasks()->topLevelItem(i)->text(0).toLongLong() == id)
            return i;
    }
    return -1;
}

void pickDate(const QDate& day)
{
    auto* calendar = ctl<QCalendarWidget>(u"MonthView1"_s);
    calendar->setSelectedDate(day);
    emit calendar->clicked(day);
}

// A right click over a row of ListView1 (-1: below the rows) that picks the menu item.
bool chooseOnRow(int row, const QString& item)
{
    return chooseRowMenuItem(tasks(), row, item);
}

void focusInto(QWidget* w)
{
    QApplication::setActiveWindow(w->window());
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
}

QString contentOf(const ProgramRun& run, qint64 id)
{
    return run.scalar(u"SELECT content FROM renwu WHERE id = ?"_s, {id}).toString();
}
} // namespace

class TodayTest : public QObject
{
    Q_OBJECT

private slots:
    void overdueQuestion_data();
    void overdueQuestion();
    void rowsShowQuadrantTimeAndOrder();
    void stateActions_data();
    void stateActions();
    void menuNeedsARow();
    void commandsNeedARow_data();
    void commandsNeedARow();
    void deleteUntilEmpty();
    void description_data();
    void description();
    void diaryKeepsEachDay();
    void addStatement_data();
    void addStatement();
    void deleteStatement_data();
    void deleteStatement();
    void passwordChange_data();
    void passwordChange();
    void helpLinkOpensThePage();
    void taskDialogsOpen();
};

void TodayTest::overdueQuestion_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TodayTest::overdueQuestion()
{
    QFETCH(bool, yes);
    ProgramRun run;
    QVERIFY(run.start());
    // Not the first day of the data: the first login asks nothing about the sample's tasks.
    run.exec(u"DELETE FROM overdue_asked"_s);
    const int open = run.scalar(u"SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today < '2009-01-31'"_s).toInt();
    run.answerNext(yes ? QMessageBox::Yes : QMessageBox::No);
    QVERIFY(run.login());
    const QString kOverdue = overdueText(open);
    QCOMPARE(run.messages, QStringList{kOverdue});
    QCOMPARE(run.messageButtons.first(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(ctl<QCalendarWidget>(u"MonthView1"_s)->selectedDate(), kToday);
    // Task 26 is open on 2009-01-30; the abandoned task 13 of an earlier day never moves.
    QCOMPARE(run.scalar(u"SELECT today FROM renwu WHERE id = 26"_s).toString(),
             yes ? u"2009-01-31"_s : u"2009-01-30"_s);
    QCOMPARE(rowOf(26) >= 0, yes);
    QCOMPARE(run.scalar(u"SELECT today FROM renwu WHERE id = 13"_s).toString(), QStringLiteral("2009-01-29"));

    // "今日安排" loads the view afresh: the question is asked once a day only.
    find<QToolBar>(u"Toolbar1"_s)->actions().first()->trigger();
    settle();
    QCOMPARE(run.messages.count(kOverdue), 1);
}

void TodayTest::rowsShowQuadrantTimeAndOrder()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO renwu (title, zhongyao, jinpo, today, intime) VALUES ('b', 1, 0, '2009-02-20', '10:30:00'),"
             " ('a', 1, 1, '2009-02-20', '09:00:00'), ('z', 0, 0, '2009-02-20', NULL),"
             " ('c', 0, 1, '2009-02-20', '09:00:00'), ('d', 1, 7, '2009-02-20', '23:59:59')"_s);
    QVERIFY(run.login());
    pickDate(QDate(2009, 2, 20));
    // Name, quadrant image and time: tasks without a time first, then by time, then by name.
    QStringList shown;
    for (int i = 0; i < tasks()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = tasks()->topLevelItem(i);
        QVERIFY(!row->icon(1).isNull());
        shown << QStringLiteral("%1 %2 %3").arg(row->text(1), row->data(1, Qt::UserRole).toString(), row->text(2));
    }
    QCOMPARE(shown, (QStringList{u"z 4 非提醒任务"_s, u"a 1 9:00:00"_s, u"c 2 9:00:00"_s, u"b 3 10:30:00"_s,
                                 u"d 1 23:59:59"_s}));
}

void TodayTest::stateActions_data()
{
    QTest::addColumn<qint64>("task");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour");   // right after the action
    QTest::addColumn<QColor>("refilled"); // after a calendar click on the same day

    const QColor plain = QBrush().color();
    QTest::newRow("done") << qint64(19) << "wancheng" << 1 << "已经完成" << StateColour::kDone << StateColour::kDone;
    QTest::newRow("abandon") << qint64(19) << "fangqi" << 2 << "已经放弃" << StateColour::kRed << StateColour::kBlue;
    QTest::newRow("back to open") << qint64(11) << "weiwancheng" << 0 << "正在进行" << QColor(0, 0, 0) << plain;
}

void TodayTest::stateActions()
{
    QFETCH(qint64, task);
    QFETCH(QString, item);
    QFETCH(int, state);
    QFETCH(QString, word);
    QFETCH(QColor, colour);
    QFETCH(QColor, refilled);

    ProgramRun run;
    QVERIFY(run.login());
    const int row = rowOf(task);
    QVERIFY(clickRow(tasks(), row));
    QTreeWidgetItem* other = tasks()->topLevelItem(row == 0 ? 1 : 0);
    const QString otherState = other->text(3);
    QVERIFY(chooseOnRow(row, item));

    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM renwu WHERE id = ?"_s, {task}).toInt(), state);
    QCOMPARE(tasks()->topLevelItem(row)->text(3), word);
    for (int c = 1; c <= 3; ++c)
        QCOMPARE(tasks()->topLevelItem(row)->foreground(c).color(), colour);
    QCOMPARE(other->text(3), otherState); // the same items: the list was not refilled

    pickDate(kToday);
    QCOMPARE(tasks()->topLevelItem(rowOf(task))->text(3), word);
    QCOMPARE(tasks()->topLevelItem(rowOf(task))->foreground(1).color(), refilled);
}

void TodayTest::menuNeedsARow()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(!chooseOnRow(-1, u"wancheng"_s));
    QVERIFY(!chooseOnRow(-1, u"zuomian"_s));
    QVERIFY(!find<QWidget>(u"Frmts"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE zhuangtai = 1"_s).toInt(), 9);
    QCOMPARE(menuItems(ctl<QMenu>(u"zhuangtai"_s)),
             (QStringList{u"完成情况"_s, u"zuomian:桌面显示"_s, u"wancheng:任务完成"_s, u"fangqi:任务放弃"_s,
                          u"weiwancheng:转未完成"_s, u"tingzhi:停止重复"_s}));

    // Over a row, the menu acts on that row, which becomes the selected one.
    QVERIFY(chooseOnRow(2, u"zuomian"_s));
    QVERIFY(shown(u"Frmts"_s));
    QCOMPARE(find<Frmts>(u"Frmts"_s)->taskId(), tasks()->topLevelItem(2)->text(0).toLongLong());
    QCOMPARE(tasks()->selectedItems(), QList<QTreeWidgetItem*>{tasks()->topLevelItem(2)});
}

void TodayTest::commandsNeedARow_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("emptyDay");
    QTest::addColumn<QString>("message"); // empty: none

    QTest::newRow("delete, empty list") << "Command2" << true << "没有可供删除的任务";
    QTest::newRow("change, empty list") << "Command4" << true << "没有可供修改选择的今日任务";
    QTest::newRow("description, empty list") << "Command6" << true << "没有可供修改的任务说明";
    QTest::newRow("delete, none selected") << "Command2" << false << "请先选择要删除的任务！";
    QTest::newRow("change, none selected") << "Command4" << false << "";
    QTest::newRow("description, none selected") << "Command6" << false << "";
}

void TodayTest::commandsNeedARow()
{
    QFETCH(QString, command);
    QFETCH(bool, emptyDay);
    QFETCH(QString, message);

    ProgramRun run;
    QVERIFY(run.login());
    pickDate(emptyDay ? QDate(2009, 3, 3) : kToday);
    const QString before = run.scalar(u"SELECT group_concat(id || content) FROM renwu"_s).toString();
    box()->setPlainText(u"typed"_s);
    run.messages.clear();
    QVERIFY(press(command));
    QCOMPARE(run.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(run.scalar(u"SELECT group_concat(id || content) FROM renwu"_s).toString(), before);
    QVERIFY(!find<QWidget>(u"Dlogmodrw"_s));
    QCOMPARE(box()->toPlainText(), QStringLiteral("typed"));
}

void TodayTest::deleteUntilEmpty()
{
    ProgramRun run;
    QVERIFY(run.login());
    pickDate(QDate(2009, 1, 29)); // three tasks
    const int total = run.scalar(u"SELECT count(*) FROM renwu"_s).toInt();
    run.messages.clear();
    for (int left = 3; left > 0; --left) {
        QCOMPARE(tasks()->topLevelItemCount(), left);
        QVERIFY(clickRow(tasks(), left - 1));
        const qint64 id = tasks()->topLevelItem(left - 1)->text(0).toLongLong();
        QVERIFY(!box()->toPlainText().isEmpty());
        QVERIFY(press(u"Command2"_s));
        QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE id = ?"_s, {id}).toInt(), 0);
        QVERIFY(box()->toPlainText().isEmpty());
    }
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), total - 3);
    QVERIFY(run.messages.isEmpty());
    QVERIFY(press(u"Command2"_s));
    QCOMPARE(run.messages, QStringList{u"没有可供删除的任务"_s});
}

void TodayTest::description_data()
{
    // Task 19 is loaded into the box; `action` comes before or after the typing, then the box
    // loses its focus.
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("typeFirst");
    QTest::addColumn<qint64>("savedInto"); // 0: no task takes the typed text

    QTest::newRow("plain focus loss") << "" << true << qint64(19);
    QTest::newRow("another row chosen in code") << "select 20" << true << qint64(19);
    QTest::newRow("list refilled under the typing") << "calendar" << true << qint64(19);
    QTest::newRow("修改任务 keeps the box with its task") << "Command4" << false << qint64(19);
    QTest::newRow("删除任务 closes the box") << "Command2" << false << qint64(0);
    QTest::newRow("修改说明") << "Command6" << true << qint64(19);
}

void TodayTest::description()
{
    QFETCH(QString, action);
    QFETCH(bool, typeFirst);
    QFETCH(qint64, savedInto);

    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(clickRow(tasks(), rowOf(19)));
    QCOMPARE(box()->toPlainText(), contentOf(run, 19));
    const QString before20 = contentOf(run, 20);
    const QString typed = QStringLiteral("别忘了'带票'\n第二行");

    auto act = [&] {
        if (action == "select 20"_L1)
            tasks()->setCurrentItem(tasks()->topLevelItem(rowOf(20)));
        else if (action == "calendar"_L1)
            pickDate(kToday);
        else if (!action.isEmpty())
            QVERIFY(press(action));
    };
    if (!typeFirst)
        act();
    QCOMPARE(shown(u"Dlogmodrw"_s), action == "Command4"_L1);
    // A box without a task to go to takes no typing at all.
    QCOMPARE(box()->isEnabled(), savedInto != 0);
    if (!savedInto)
        return;
    focusInto(box());
    box()->setPlainText(typed);
    if (typeFirst)
        act();
    focusInto(ctl<QLineEdit>(u"Text2"_s));

    QCOMPARE(contentOf(run, 20), before20);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE content = ?"_s, {typed}).toInt(), savedInto ? 1 : 0);
    if (savedInto)
        QCOMPARE(contentOf(run, savedInto), typed);
}

void TodayTest::diaryKeepsEachDay()
{
    ProgramRun run;
    QVERIFY(run.login());
    const QDate other(2009, 2, 1); // no diary yet
    auto* save = ctl<QPushButton>(u"Command5"_s);
    QCOMPARE(save->text(), QStringLiteral("修改")); // the sample has today's diary
    QVERIFY(!box(u"RichTextBox2"_s)->toPlainText().isEmpty());

    box(u"RichTextBox2"_s)->setPlainText(u"today's"_s);
    QVERIFY(click(save));
    pickDate(other);
    QCOMPARE(save->text(), QStringLiteral("记录"));
    QVERIFY(box(u"RichTextBox2"_s)->toPlainText().isEmpty());
    box(u"RichTextBox2"_s)->setPlainText(u"it's February"_s);
    QVERIFY(click(save));
    QCOMPARE(save->text(), QStringLiteral("修改"));
    box(u"RichTextBox2"_s)->setPlainText(u"it's February, again"_s);
    QVERIFY(click(save));
    QCOMPARE(run.messages, (QStringList{u"修改日志成功！"_s, u"添加日志成功！"_s, u"修改日志成功！"_s}));

    pickDate(kToday);
    QCOMPARE(box(u"RichTextBox2"_s)->toPlainText(), QStringLiteral("today's"));
    pickDate(other);
    QCOMPARE(box(u"RichTextBox2"_s)->toPlainText(), QStringLiteral("it's February, again"));
    QCOMPARE(
        run.scalar(u"SELECT group_concat(title, '|') FROM fangfa WHERE ltype = '日志' AND addtime >= '2009-01-31'"_s)
            .toString(),
        QStringLiteral("2009-1-31日志|2009-2-1日志"));
}

void TodayTest::addStatement_data()
{
    QTest::addColumn<int>("openTab");   // SSTab2 tab when "增加" is pressed
    QTest::addColumn<int>("addTab");    // SSTab2 tab when "添加" is pressed
    QTest::addColumn<QString>("label"); // Label1 when "添加" is pressed
    QTest::addColumn<int>("drmid");

    QTest::newRow("motto") << 0 << 0 << "添加警句" << 1;
    QTest::newRow("mission") << 1 << 1 << "添加使命" << 0;
    QTest::newRow("tab switched while open") << 0 << 1 << "添加使命" << 0;
}

void TodayTest::addStatement()
{
    QFETCH(int, openTab);
    QFETCH(int, addTab);
    QFETCH(QString, label);
    QFETCH(int, drmid);

    ProgramRun run;
    QVERIFY(run.login());
    ctl<QTabWidget>(u"SSTab2"_s)->setCurrentIndex(openTab);
    QVERIFY(press(u"Command7"_s));
    QVERIFY(shown(u"DlogSM"_s));
    auto* add = control<QPushButton>(u"DlogSM"_s, u"Command1"_s);
    QVERIFY(add->isDefault());
    run.messages.clear();
    QVERIFY(click(add));
    QCOMPARE(run.messages, QStringList{u"请输入使命描述！"_s});
    QVERIFY(shown(u"DlogSM"_s));

    ctl<QTabWidget>(u"SSTab2"_s)->setCurrentIndex(addTab);
    QCOMPARE(control<QLabel>(u"DlogSM"_s, u"Label1"_s)->text(), label);
    const QString text = QStringLiteral("Don't stop; 不要停");
    control<QLineEdit>(u"DlogSM"_s, u"Text1"_s)->setText(text);
    QVERIFY(click(add));
    settle();
    QVERIFY(!find<QWidget>(u"DlogSM"_s));
    QCOMPARE(run.scalar(u"SELECT drmid FROM mengxiang WHERE title = ?"_s, {text}).toInt(), drmid);
    QCOMPARE(ctl(drmid ? u"ListView2"_s : u"ListView3"_s)->findItems(text, Qt::MatchExactly, 1).size(), 1);
    QCOMPARE(ctl(drmid ? u"ListView3"_s : u"ListView2"_s)->findItems(text, Qt::MatchExactly, 1).size(), 0);
}

void TodayTest::deleteStatement_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("row"); // -1: none selected
    QTest::addColumn<bool>("noMissions");
    QTest::addColumn<QList<int>>("left"); // mottos and missions afterwards

    QTest::newRow("motto") << 0 << 1 << false << QList<int>{4, 3};
    QTest::newRow("mission") << 1 << 0 << false << QList<int>{5, 2};
    QTest::newRow("none selected") << 1 << -1 << false << QList<int>{5, 3};
    QTest::newRow("empty list") << 1 << -1 << true << QList<int>{5, 0};
}

void TodayTest::deleteStatement()
{
    QFETCH(int, tab);
    QFETCH(int, row);
    QFETCH(bool, noMissions);
    QFETCH(QList<int>, left);

    ProgramRun run;
    QVERIFY(run.start());
    if (noMissions)
        run.exec(u"DELETE FROM mengxiang WHERE drmid = 0"_s);
    QVERIFY(run.login());
    ctl<QTabWidget>(u"SSTab2"_s)->setCurrentIndex(tab);
    QTreeWidget* l = ctl(tab == 0 ? u"ListView2"_s : u"ListView3"_s);
    const QString gone = row >= 0 ? l->topLevelItem(row)->text(1) : QString();
    if (row >= 0)
        QVERIFY(clickRow(l, row));
    run.messages.clear();
    QVERIFY(press(u"Command9"_s));
    // Rows but none selected: it says so; an empty list is passed over silently.
    const QString choose =
        tab == 0 ? QStringLiteral("请先选择要删除的警句！") : QStringLiteral("请先选择要删除的使命！");
    QCOMPARE(run.messages, row < 0 && !noMissions ? QStringList{choose} : QStringList());
    QCOMPARE((QList<int>{ctl(u"ListView2"_s)->topLevelItemCount(), ctl(u"ListView3"_s)->topLevelItemCount()}), left);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mengxiang"_s).toInt(), left[0] + left[1]);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mengxiang WHERE title = ?"_s, {gone}).toInt(), 0);
}

void TodayTest::passwordChange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("login"); // what admits the user afterwards
    QTest::newRow("with a quote") << "it's 新"
                                  << "it's 新";
    QTest::newRow("blanks around") << "  abc "
                                   << "abc";
    QTest::newRow("the marker's value 1") << "1"
                                          << "1";
}

void TodayTest::passwordChange()
{
    QFETCH(QString, typed);
    QFETCH(QString, login);

    ProgramRun run;
    QVERIFY(run.login());
    auto* text = ctl<QLineEdit>(u"Text2"_s);
    auto* confirm = ctl<QLineEdit>(u"TextConfirm"_s);
    QCOMPARE(text->echoMode(), QLineEdit::Password);
    QCOMPARE(confirm->echoMode(), QLineEdit::Password);
    focusInto(tasks());
    confirm->setText(typed);
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.messages.last(), QStringLiteral("请输入更新密码"));
    QVERIFY(text->hasFocus());

    // A typo in either box changes nothing.
    const QString before = run.scalar(uR"(SELECT group_concat(password) FROM "user")"_s).toString();
    text->setText(typed);
    confirm->setText(typed + u"x"_s);
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.messages.last(), QStringLiteral("两次输入的新密码不一致"));
    QCOMPARE(run.scalar(uR"(SELECT group_concat(password) FROM "user")"_s).toString(), before);
    QCOMPARE(text->text(), typed);

    confirm->setText(typed);
    QVERIFY(press(u"Command3"_s));
    QCOMPARE(run.messages.last(), QStringLiteral("密码更改成功！"));
    QVERIFY(text->text().isEmpty());
    QVERIFY(confirm->text().isEmpty());
    // Only a hash is kept, and the marker row is untouched.
    QVERIFY(run.scalar(uR"(SELECT password FROM "user" WHERE id = 1)"_s).toString().startsWith(u"$argon2id$"_s));
    QCOMPARE(run.scalar(uR"(SELECT password FROM "user" WHERE id = 2)"_s).toString(), QStringLiteral("2"));

    // Ten days later the old password fails, the new one admits, and no date has moved.
    const QString dates = run.scalar(u"SELECT group_concat(id || ':' || today) FROM renwu"_s).toString();
    closeEverything();
    run.setNow(QDateTime(kToday.addDays(10), QTime(9, 0)));
    QVERIFY(!run.login(TestSupport::kSamplePassword));
    run.answerNext(QMessageBox::No); // the overdue question
    QVERIFY(run.login(login));
    QCOMPARE(run.scalar(u"SELECT group_concat(id || ':' || today) FROM renwu"_s).toString(), dates);
}

void TodayTest::helpLinkOpensThePage()
{
    ProgramRun run;
    QVERIFY(run.login());
    QTest::mouseClick(ctl<QLabel>(u"Label3"_s), Qt::LeftButton);
    QCOMPARE(run.openedUrls.size(), 1);
    QCOMPARE(run.openedUrls.first().path(), QStringLiteral("/shuoming/8.asp"));
    QVERIFY(!run.openedUrls.first().host().isEmpty());
}

void TodayTest::taskDialogsOpen()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(press(u"Command1"_s));
    QVERIFY(shown(u"dlogaddrw"_s));
    QVERIFY(clickRow(tasks(), 1, 1, true));
    QVERIFY(shown(u"Dlogmodrw"_s));
    QVERIFY(!box()->toPlainText().isEmpty()); // a double click keeps the description
}

QTEST_MAIN(TodayTest)
#include "test_today.moc"
