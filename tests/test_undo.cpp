#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "testsupport.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

template <class T = QTreeWidget>
T* ctl(const QString& window, const QString& name)
{
    T* w = control<T>(window, name);
    if (!w)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window));
    return w;
}

[[nodiscard]] bool press(const QString& window, const QString& name)
{
    return click(ctl<QPushButton>(window, name));
}

// Logs in (leaving earlier tasks where they are) and shows the view.
bool open(ProgramRun& run, const QString& view)
{
    if (!run.login())
        return false;
    find<MDIfrm>(Views::kFrame)->showView(view);
    settle();
    run.messages.clear();
    return shown(view);
}

void showView(ProgramRun& run, const QString& view)
{
    find<MDIfrm>(Views::kFrame)->showView(view);
    settle();
    run.messages.clear();
}

// Every row of a table with every value, in id order: what "exactly as before" compares.
QString dump(const ProgramRun& run, const QString& table)
{
    QSqlQuery q = run.query(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
    QStringList rows;
    while (q.next()) {
        QStringList values;
        for (int c = 0; c < q.record().count(); ++c)
            values << (q.isNull(c) ? QStringLiteral("NULL") : q.value(c).toString());
        rows << values.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char('\n'));
}

QString dumpAll(const ProgramRun& run)
{
    QString all;
    for (const char* t : {"juese", "mubiao", "renwu", "snooze", "fangfa", "fftype", "renji", "rjxx", "gxlb", "zhanghao",
                          "zhanghaotype", "shouzhi", "shouzhitype", "mengxiang"})
        all += dump(run, QLatin1String(t)) + QStringLiteral("\n--\n");
    return all;
}

QFrame* notice()
{
    return find<QFrame>(QStringLiteral("UndoNotice"));
}

void ctrlZ(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
    settle();
}

int rowWithText(QTreeWidget* list, const QString& text)
{
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        for (int c = 0; c < list->columnCount(); ++c)
            if (list->topLevelItem(i)->text(c) == text)
                return i;
    return -1;
}

// A theme "事业发展" with 2 goals of 5 tasks each (one of them snoozed), and a theme "健康" with a
// goal of 2 tasks without a day.
void seedThemes(ProgramRun& run)
{
    run.exec(u"DELETE FROM renwu"_s);
    run.exec(u"DELETE FROM mubiao"_s);
    run.exec(u"DELETE FROM juese"_s);
    run.exec(u"INSERT INTO juese (id, name, content) VALUES (1, '事业发展', '十年'), (2, '健康', '')"_s);
    run.exec(u"INSERT INTO mubiao (id, title, ksdate, jsdate, juese, zhuangtai) VALUES"
             " (1, '升职', '2009-01-01', '2009-12-31', 1, 1), (2, '考证', '2009-01-01', NULL, 1, 1),"
             " (3, '跑步', '2009-01-01', '2009-06-30', 2, 1)"_s);
    for (int i = 1; i <= 10; ++i)
        run.exec(u"INSERT INTO renwu (id, title, content, mubiao, juese, zhongyao, jinpo, xuhao, today, intime,"
                 " zhuangtai) VALUES (?, ?, '说明', ?, 1, ?, 0, ?, '2009-01-31', '09:00:00', ?)"_s,
                 {i, QStringLiteral("任务%1").arg(i), i <= 5 ? 1 : 2, i % 2, i, i % 3 == 0 ? 1 : 0});
    run.exec(u"INSERT INTO renwu (id, title, mubiao, juese) VALUES (11, '晨跑', 3, 2), (12, '拉伸', 3, 2)"_s);
    run.exec(u"INSERT INTO snooze (renwu, day, time) VALUES (2, '2009-01-31', '10:00:00')"_s);
}

} // namespace

class UndoTest : public QObject
{
    Q_OBJECT

private slots:
    void themeDeletionAsksAndUndoes_data();
    void themeDeletionAsksAndUndoes();
    void balancesComeBack();
    void undoAcrossViews();
    void undoRefusedWhenParentIsGone();
    void noActionOnAnUnseenRow_data();
    void noActionOnAnUnseenRow();
    void lastTwentyDeletions();
};

void UndoTest::themeDeletionAsksAndUndoes_data()
{
    QTest::addColumn<QString>("how"); // the answer, and how the deletion is undone
    QTest::newRow("no") << "no";
    QTest::newRow("undo link") << "link";
    QTest::newRow("ctrl+z") << "keys";
}

void UndoTest::themeDeletionAsksAndUndoes()
{
    QFETCH(QString, how);
    ProgramRun run;
    QVERIFY(open(run, Views::kToday));
    seedThemes(run);
    showView(run, Views::kRoles);
    const QString before = dumpAll(run);
    auto* themes = ctl(Views::kRoles, u"ListView1"_s);
    // The theme the buttons act on is the one shown selected.
    QCOMPARE(themes->selectedItems().size(), 1);
    QCOMPARE(themes->selectedItems().first()->text(1), QStringLiteral("事业发展"));
    QCOMPARE(ctl(Views::kRoles, u"ListView2"_s)->topLevelItemCount(), 2); // the goal without a day is shown too

    run.answerNext(how == "no"_L1 ? QMessageBox::No : QMessageBox::Yes);
    QVERIFY(press(Views::kRoles, u"Command2"_s));
    QCOMPARE(run.messages, QStringList{u"删除主题“事业发展”及其 2 个目标、10 个任务？"_s});
    if (how == "no"_L1) {
        QCOMPARE(dumpAll(run), before);
        QVERIFY(!notice());
        return;
    }
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 2);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM snooze"_s).toInt(), 0);
    QCOMPARE(themes->topLevelItemCount(), 1);
    QVERIFY(notice() && notice()->isVisible());
    QCOMPARE(notice()->findChild<QLabel*>(u"Label1"_s)->text(), QStringLiteral("已删除 1 个主题、2 个目标、10 个任务"));
    QCOMPARE(notice()->findChild<QLabel*>(u"Label2"_s)->text(), QStringLiteral("撤销"));

    if (how == "link"_L1)
        QTest::mouseClick(notice()->findChild<QLabel*>(u"Label2"_s), Qt::LeftButton);
    else
        ctrlZ(themes);
    settle();
    QCOMPARE(dumpAll(run), before);
    QCOMPARE(themes->topLevelItemCount(), 2);
    QVERIFY(!notice());
    // Nothing is left to undo.
    run.messages.clear();
    ctrlZ(themes);
    QCOMPARE(run.messages, QStringList{u"没有可以撤销的删除。"_s});
    QCOMPARE(dumpAll(run), before);
}

void UndoTest::balancesComeBack()
{
    ProgramRun run;
    QVERIFY(open(run, Views::kFinance));
    auto* tabs = ctl<QTabWidget>(Views::kFinance, u"SSTab1"_s);
    tabs->setCurrentIndex(2); // income
    settle();
    auto* income = ctl(Views::kFinance, u"ListView2"_s);
    QVERIFY(income->topLevelItemCount() > 0);
    const qint64 id = income->topLevelItem(0)->text(0).toLongLong();
    const QString account = run.scalar(u"SELECT zhanghao FROM shouzhi WHERE id = ?"_s, {id}).toString();
    const qint64 amount = run.scalar(u"SELECT moneys FROM shouzhi WHERE id = ?"_s, {id}).toLongLong();
    const QString records = dump(run, u"shouzhi"_s);
    const qint64 balance = run.scalar(u"SELECT moneys FROM zhanghao WHERE zhname = ?"_s, {account}).toLongLong();
    QVERIFY(amount != 0);

    QVERIFY(clickRow(income, 0));
    QVERIFY(press(Views::kFinance, u"Command6"_s));
    QCOMPARE(run.messages, QStringList()); // one visible row: no question
    QCOMPARE(run.scalar(u"SELECT moneys FROM zhanghao WHERE zhname = ?"_s, {account}).toLongLong(), balance - amount);
    // The balance moves again before the undo: the undo gives back the deleted amount only.
    run.exec(u"UPDATE zhanghao SET moneys = moneys + 70000 WHERE zhname = ?"_s, {account});
    QCOMPARE(notice()->findChild<QLabel*>(u"Label1"_s)->text(), QStringLiteral("已删除 1 条收支记录"));
    ctrlZ(income);
    QCOMPARE(dump(run, u"shouzhi"_s), records);
    QCOMPARE(run.scalar(u"SELECT moneys FROM zhanghao WHERE zhname = ?"_s, {account}).toLongLong(), balance + 70000);
    QVERIFY(rowWithText(income, QString::number(id)) >= 0);
}

void UndoTest::undoAcrossViews()
{
    ProgramRun run;
    QVERIFY(open(run, Views::kToday));
    seedThemes(run);
    showView(run, Views::kToday);
    auto* today = ctl(Views::kToday, u"ListView1"_s);
    const int row = rowWithText(today, u"任务4"_s);
    QVERIFY(row >= 0);
    const QString before = dumpAll(run);
    QVERIFY(clickRow(today, row));
    QVERIFY(press(Views::kToday, u"Command2"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE id = 4"_s).toInt(), 0);

    // In another view (the today view is gone), Ctrl+Z brings the task back where it was.
    showView(run, Views::kGoals);
    QVERIFY(!find<QWidget>(Views::kToday));
    ctrlZ(ctl(Views::kGoals, u"ListView1"_s));
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(dumpAll(run), before);
    showView(run, Views::kToday);
    QVERIFY(rowWithText(ctl(Views::kToday, u"ListView1"_s), u"任务4"_s) >= 0);
}

void UndoTest::undoRefusedWhenParentIsGone()
{
    ProgramRun run;
    QVERIFY(open(run, Views::kKnowledge));
    auto* categories = ctl(Views::kKnowledge, u"ListView1"_s);
    QVERIFY(clickRow(categories, rowWithText(categories, u"工作方法"_s), 0));
    auto* articles = ctl(Views::kKnowledge, u"ListView2"_s);
    QVERIFY(articles->topLevelItemCount() > 0);
    QVERIFY(clickRow(articles, 0));
    const qint64 id = articles->topLevelItem(0)->text(0).toLongLong();
    QVERIFY(press(Views::kKnowledge, u"Command3"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM fangfa WHERE id = ?"_s, {id}).toInt(), 0);

    // The article's category is renamed meanwhile: the article would come back into nothing.
    QVERIFY(press(Views::kKnowledge, u"Command5"_s));
    auto* manager = ctl(u"Dlogfflb"_s, u"ListView1"_s);
    QVERIFY(clickRow(manager, rowWithText(manager, u"工作方法"_s), 0));
    ctl<QLineEdit>(u"Dlogfflb"_s, u"Text1"_s)->setText(u"工作心得"_s);
    QVERIFY(press(u"Dlogfflb"_s, u"Command2"_s));
    const QString before = dumpAll(run);
    run.messages.clear();

    ctrlZ(articles);
    QCOMPARE(run.messages, QStringList{u"无法撤销：删除的内容所属的知识类别已不存在，什么也没有改变。"_s});
    QCOMPARE(dumpAll(run), before);
}

void UndoTest::noActionOnAnUnseenRow_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("theme") << Views::kRoles << "ListView1"
                           << "Command2"
                           << "请先选择要删除的行动主题！";
    QTest::newRow("goal, goals view") << Views::kGoals << "ListView1"
                                      << "Command4"
                                      << "请先选择要删除的目标！";
    QTest::newRow("today's task") << Views::kToday << "ListView1"
                                  << "Command2"
                                  << "请先选择要删除的任务！";
    QTest::newRow("task list") << Views::kTasks << "ListView2"
                               << "Command3"
                               << "请先选择要删除的任务！";
    QTest::newRow("contact") << Views::kContacts << "ListView1"
                             << "Command3"
                             << "请先在联系人列表中选择一个联系人！";
}

void UndoTest::noActionOnAnUnseenRow()
{
    QFETCH(QString, view);
    QFETCH(QString, list);
    QFETCH(QString, button);
    QFETCH(QString, message);
    ProgramRun run;
    QVERIFY(open(run, Views::kToday));
    seedThemes(run);
    showView(run, view);
    auto* rows = ctl(view, list);
    QVERIFY(rows->topLevelItemCount() >= 2);
    // Delete the first row, answering the question where one comes.
    QVERIFY(clickRow(rows, 0));
    QVERIFY(press(view, button));
    run.messages.clear();
    const QString before = dumpAll(run);
    // No other row is picked for the user: a second click deletes nothing.
    QVERIFY(rows->selectedItems().isEmpty());
    QVERIFY(press(view, button));
    QCOMPARE(run.messages, QStringList{message});
    QCOMPARE(dumpAll(run), before);
}

void UndoTest::lastTwentyDeletions()
{
    ProgramRun run;
    QVERIFY(open(run, Views::kToday));
    for (int i = 0; i < 22; ++i)
        run.exec(u"INSERT INTO mengxiang (title, drmid) VALUES (?, 1)"_s, {QStringLiteral("警句%1").arg(i)});
    showView(run, Views::kToday);
    const QString before = dump(run, u"mengxiang"_s);
    auto* mottos = ctl(Views::kToday, u"ListView2"_s);
    const int total = mottos->topLevelItemCount();
    for (int i = 0; i < 22; ++i) {
        QVERIFY(clickRow(mottos, 0));
        QVERIFY(press(Views::kToday, u"Command9"_s));
    }
    QCOMPARE(mottos->topLevelItemCount(), total - 22);
    run.messages.clear();
    for (int i = 0; i < 21; ++i)
        ctrlZ(mottos);
    // Twenty came back; the two oldest are gone for good.
    QCOMPARE(run.messages, QStringList{u"没有可以撤销的删除。"_s});
    QCOMPARE(mottos->topLevelItemCount(), total - 2);
    QVERIFY(dump(run, u"mengxiang"_s) != before);
}

QTEST_MAIN(UndoTest)
#include "test_undo.moc"
