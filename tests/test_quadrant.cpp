#include "data/quadrant.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "testsupport.h"
#include "views/quadrant/frmquadrant.h"
#include "views/today/frmmain.h"

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <memory>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>(u"FrmQuadrant"_s, name);
}
QTreeWidget* list(int quadrant)
{
    return ctl(QStringLiteral("ListQ%1").arg(quadrant));
}
QString frameTitle(int quadrant)
{
    return ctl<QGroupBox>(QStringLiteral("FrameQ%1").arg(quadrant))->title();
}

// Logs in, replaces the sample tasks with the case's own, then opens the view from the bar.
[[nodiscard]] bool openView(ProgramRun& run, const std::function<void()>& prepare = {})
{
    run.answerNext(QMessageBox::No);
    if (!run.login())
        return false;
    run.exec(u"DELETE FROM renwu"_s);
    if (prepare)
        prepare();
    control<QToolBar>(u"MDIfrm"_s, u"Toolbar1"_s)->findChild<QAction*>(u"Button9"_s)->trigger();
    settle();
    run.messages.clear();
    return shown(u"FrmQuadrant"_s);
}

// Quadrants as on the board: 1 important+urgent, 2 important, 3 urgent, 4 neither.
qint64 addTask(const ProgramRun& run, const QString& title, int quadrant, const QVariant& day = {}, int state = 0,
               qint64 theme = 0, const QVariant& time = {})
{
    run.exec(
        u"INSERT INTO renwu (title, zhongyao, jinpo, today, intime, zhuangtai, juese) VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
        {title, quadrant <= 2 ? 1 : 0, quadrant == 1 || quadrant == 3 ? 1 : 0, day, time, state, theme});
    return run.scalar(u"SELECT max(id) FROM renwu"_s).toLongLong();
}

QStringList titles(QTreeWidget* l)
{
    QStringList texts;
    for (int i = 0; i < l->topLevelItemCount(); ++i)
        texts << l->topLevelItem(i)->text(1);
    return texts;
}

int rowOf(QTreeWidget* l, qint64 id)
{
    for (int i = 0; i < l->topLevelItemCount(); ++i) {
        if (l->topLevelItem(i)->text(0).toLongLong() == id)
            return i;
    }
    return -1;
}

// A drag entering the list and dropped on it, without a drag session; what it carries is not
// read, only its format.
bool dropOn(QTreeWidget* l, const QByteArray& format = "text/plain")
{
    QMimeData data;
    data.setData(QString::fromLatin1(format), "1");
    const QPoint at(20, 20);
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(l->viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(l->viewport(), &drop);
    return drop.isAccepted();
}

[[nodiscard]] bool choose(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
}

QPair<int, int> flags(const ProgramRun& run, qint64 id)
{
    QSqlQuery q = run.query(u"SELECT zhongyao, jinpo FROM renwu WHERE id = ?"_s, {id});
    q.next();
    return {q.value(0).toInt(), q.value(1).toInt()};
}

} // namespace

class QuadrantTest : public QObject
{
    Q_OBJECT

private slots:
    void board_data();
    void board();
    void rowsShowDayAndTime();
    void moveByDrop();
    void moveByKeys_data();
    void moveByKeys();
    void doubleClickEdits();
    void review_data();
    void review();
    void percent_data();
    void percent();
};

// Today is Saturday 2009-1-31: its week runs from Monday 1-26 to Sunday 2-1.
void QuadrantTest::board_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QList<QStringList>>("expected");

    QTest::newRow("today") << "今日"
                           << "全部主题" << QList<QStringList>{{u"A"_s}, {}, {}, {}};
    QTest::newRow("week") << "本周"
                          << "全部主题" << QList<QStringList>{{u"A"_s}, {u"B"_s}, {u"G"_s}, {}};
    QTest::newRow("unplanned") << "未安排"
                               << "全部主题" << QList<QStringList>{{}, {}, {}, {u"D"_s}};
    QTest::newRow("all open, by day") << "全部未完成"
                                      << "全部主题"
                                      << QList<QStringList>{{u"H"_s, u"A"_s}, {u"B"_s}, {u"G"_s, u"C"_s}, {u"D"_s}};
    QTest::newRow("theme") << "全部未完成"
                           << "甲主题" << QList<QStringList>{{u"A"_s}, {}, {u"G"_s, u"C"_s}, {}};
    QTest::newRow("theme and week") << "本周"
                                    << "乙主题" << QList<QStringList>{{}, {u"B"_s}, {}, {}};
}

void QuadrantTest::board()
{
    QFETCH(QString, range);
    QFETCH(QString, theme);
    QFETCH(QList<QStringList>, expected);

    ProgramRun run;
    QVERIFY(openView(run, [&] {
        run.exec(u"INSERT INTO juese (name) VALUES ('甲主题')"_s);
        const qint64 a = run.scalar(u"SELECT max(id) FROM juese"_s).toLongLong();
        run.exec(u"INSERT INTO juese (name) VALUES ('乙主题')"_s);
        const qint64 b = run.scalar(u"SELECT max(id) FROM juese"_s).toLongLong();
        addTask(run, u"A"_s, 1, u"2009-01-31"_s, 0, a);
        addTask(run, u"B"_s, 2, u"2009-01-26"_s, 0, b);
        addTask(run, u"C"_s, 3, u"2009-02-02"_s, 0, a);
        addTask(run, u"D"_s, 4, QVariant(), 0, b);
        addTask(run, u"E done"_s, 1, u"2009-01-31"_s, 1, a);
        addTask(run, u"F abandoned"_s, 2, u"2009-01-27"_s, 2, b);
        addTask(run, u"G"_s, 3, u"2009-02-01"_s, 0, a);
        addTask(run, u"H"_s, 1, u"2009-01-25"_s, 0, b);
    }));
    QCOMPARE(ctl<QComboBox>(u"Combo1"_s)->currentText(), QStringLiteral("本周"));
    QVERIFY(choose(ctl<QComboBox>(u"Combo1"_s), range));
    QVERIFY(choose(ctl<QComboBox>(u"Combo2"_s), theme));

    const QStringList names = {u"重要且紧迫"_s, u"重要不紧迫"_s, u"紧迫不重要"_s, u"不重要不紧迫"_s};
    for (int q = 1; q <= 4; ++q) {
        QCOMPARE(titles(list(q)), expected[q - 1]);
        QCOMPARE(frameTitle(q), QStringLiteral("%1（%2）").arg(names[q - 1]).arg(expected[q - 1].size()));
    }
}

void QuadrantTest::rowsShowDayAndTime()
{
    ProgramRun run;
    QVERIFY(openView(run, [&] {
        addTask(run, u"timed"_s, 2, u"2009-01-28"_s, 0, 0, u"09:30:00"_s);
        addTask(run, u"untimed"_s, 2, u"2009-01-29"_s);
        addTask(run, u"unplanned"_s, 2);
    }));
    QVERIFY(choose(ctl<QComboBox>(u"Combo1"_s), u"全部未完成"_s));
    QTreeWidget* l = list(2);
    QCOMPARE(l->topLevelItemCount(), 3);
    QCOMPARE(l->topLevelItem(0)->text(2), QStringLiteral("2009-1-28"));
    QCOMPARE(l->topLevelItem(0)->text(3), QStringLiteral("9:30:00"));
    QCOMPARE(l->topLevelItem(1)->text(3), QStringLiteral("非提醒任务"));
    QCOMPARE(l->topLevelItem(2)->text(2), QStringLiteral("未安排"));
}

// A task dragged from "紧迫不重要" to "重要不紧迫" stores 1 and 0, and an open today view follows
// at once.
void QuadrantTest::moveByDrop()
{
    ProgramRun run;
    qint64 id = 0;
    qint64 other = 0;
    QVERIFY(openView(run, [&] {
        id = addTask(run, u"urgent chore"_s, 3, u"2009-01-31"_s);
        other = addTask(run, u"stays"_s, 3, u"2009-01-31"_s);
    }));
    Frmmain today;
    today.Form_Load();
    QTreeWidget* todayList = today.findChild<QTreeWidget*>(u"ListView1"_s);
    const int todayRow = rowOf(todayList, id);
    QVERIFY(todayRow >= 0);
    QCOMPARE(todayList->topLevelItem(todayRow)->data(1, Qt::UserRole).toInt(), 2); // ordinary and urgent

    QVERIFY(clickRow(list(3), rowOf(list(3), id)));
    // Dropped back on its own list (its own format), nothing happens.
    QVERIFY(!dropOn(list(3), "application/x-vantorel-ListQ3"));
    QVERIFY(dropOn(list(2)));
    QCOMPARE(flags(run, id), qMakePair(1, 0));
    QCOMPARE(flags(run, other), qMakePair(0, 1));
    QCOMPARE(titles(list(2)), QStringList{u"urgent chore"_s});
    QCOMPARE(titles(list(3)), QStringList{u"stays"_s});
    QCOMPARE(frameTitle(2), QStringLiteral("重要不紧迫（1）"));
    QCOMPARE(frameTitle(3), QStringLiteral("紧迫不重要（1）"));
    // The moved task stays selected, now in its new list; a drop on that list changes nothing.
    QCOMPARE(Forms::find<FrmQuadrant>()->selectedTaskId(), id);
    QVERIFY(dropOn(list(2)));
    QCOMPARE(flags(run, id), qMakePair(1, 0));

    const int after = rowOf(todayList, id);
    QVERIFY(after >= 0);
    QCOMPARE(todayList->topLevelItem(after)->data(1, Qt::UserRole).toInt(), 3); // important and normal
    QVERIFY(run.messages.isEmpty());
}

void QuadrantTest::moveByKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("zhongyao");
    QTest::addColumn<int>("jinpo");
    QTest::newRow("Ctrl+1") << 1 << 1 << 1;
    QTest::newRow("Ctrl+2") << 2 << 1 << 0;
    QTest::newRow("Ctrl+3") << 3 << 0 << 1;
}

void QuadrantTest::moveByKeys()
{
    QFETCH(int, key);
    QFETCH(int, zhongyao);
    QFETCH(int, jinpo);
    ProgramRun run;
    qint64 id = 0;
    QVERIFY(openView(run, [&] { id = addTask(run, u"someday"_s, 4, u"2009-01-29"_s); }));
    // Nothing selected: the keys move nothing.
    QTest::keyClick(list(4), Qt::Key(Qt::Key_0 + key), Qt::ControlModifier);
    QCOMPARE(flags(run, id), qMakePair(0, 0));

    QVERIFY(clickRow(list(4), 0));
    QTest::keyClick(list(4), Qt::Key(Qt::Key_0 + key), Qt::ControlModifier);
    QCOMPARE(flags(run, id), qMakePair(zhongyao, jinpo));
    QCOMPARE(titles(list(key)), QStringList{u"someday"_s});
    QCOMPARE(list(4)->topLevelItemCount(), 0);
}

// A double click opens the task editor on that task; its save refills the board.
void QuadrantTest::doubleClickEdits()
{
    ProgramRun run;
    qint64 id = 0;
    QVERIFY(openView(run, [&] {
        addTask(run, u"first"_s, 2, u"2009-01-27"_s);
        id = addTask(run, u"second"_s, 2, u"2009-01-28"_s);
    }));
    QVERIFY(clickRow(list(2), rowOf(list(2), id), 1, true));
    settle();
    QVERIFY(shown(u"Dlogmodrw"_s));
    auto* name = control<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s);
    QCOMPARE(name->text(), QStringLiteral("second"));
    name->setText(u"second, renamed"_s);
    QVERIFY(click(control<QPushButton>(u"Dlogmodrw"_s, u"Command3"_s)));
    settle();
    QCOMPARE(run.scalar(u"SELECT title FROM renwu WHERE id = ?"_s, {id}).toString(), QStringLiteral("second, renamed"));
    QCOMPARE(titles(list(2)), (QStringList{u"first"_s, u"second, renamed"_s}));
}

void QuadrantTest::review_data()
{
    QTest::addColumn<QString>("step"); // buttons pressed after opening the tab
    QTest::addColumn<QString>("week");
    QTest::addColumn<QList<QStringList>>("table");
    QTest::addColumn<QString>("line");

    QTest::newRow("this week") << ""
                               << "2009-1-26 至 2009-2-1"
                               << QList<QStringList>{{u"1"_s, u"0"_s, u"1"_s},
                                                     {u"2"_s, u"0"_s, u"1"_s},
                                                     {u"0"_s, u"0"_s, u"1"_s},
                                                     {u"0"_s, u"1"_s, u"0"_s}}
                               << "本周完成 3 项，其中重要不紧迫 2 项（67%）";
    QTest::newRow("next week") << "Command2"
                               << "2009-2-2 至 2009-2-8"
                               << QList<QStringList>{{u"0"_s, u"0"_s, u"0"_s},
                                                     {u"0"_s, u"0"_s, u"0"_s},
                                                     {u"0"_s, u"0"_s, u"0"_s},
                                                     {u"1"_s, u"0"_s, u"0"_s}}
                               << "本周完成 1 项，其中重要不紧迫 0 项（0%）";
    QTest::newRow("empty week") << "Command1 Command1"
                                << "2009-1-12 至 2009-1-18"
                                << QList<QStringList>{{u"0"_s, u"0"_s, u"0"_s},
                                                      {u"0"_s, u"0"_s, u"0"_s},
                                                      {u"0"_s, u"0"_s, u"0"_s},
                                                      {u"0"_s, u"0"_s, u"0"_s}}
                                << "本周完成 0 项";
    QTest::newRow("back to this week") << "Command2 Command2 Command3"
                                       << "2009-1-26 至 2009-2-1"
                                       << QList<QStringList>{{u"1"_s, u"0"_s, u"1"_s},
                                                             {u"2"_s, u"0"_s, u"1"_s},
                                                             {u"0"_s, u"0"_s, u"1"_s},
                                                             {u"0"_s, u"1"_s, u"0"_s}}
                                       << "本周完成 3 项，其中重要不紧迫 2 项（67%）";
}

void QuadrantTest::review()
{
    QFETCH(QString, step);
    QFETCH(QString, week);
    QFETCH(QList<QStringList>, table);
    QFETCH(QString, line);

    ProgramRun run;
    QVERIFY(openView(run, [&] {
        addTask(run, u"q1 done"_s, 1, u"2009-01-26"_s, 1);
        addTask(run, u"q1 open"_s, 1, u"2009-02-01"_s, 0);
        addTask(run, u"q2 done"_s, 2, u"2009-01-27"_s, 1);
        addTask(run, u"q2 done too"_s, 2, u"2009-01-31"_s, 1);
        addTask(run, u"q2 open"_s, 2, u"2009-01-30"_s, 0);
        addTask(run, u"q3 delayed"_s, 3, u"2009-01-28"_s, 3);
        addTask(run, u"q4 abandoned"_s, 4, u"2009-01-29"_s, 2);
        addTask(run, u"next week"_s, 4, u"2009-02-02"_s, 1);
        addTask(run, u"last sunday"_s, 2, u"2009-01-25"_s, 1);
        addTask(run, u"no day"_s, 2, QVariant(), 1);
    }));
    ctl<QTabWidget>(u"SSTab1"_s)->setCurrentIndex(1);
    for (const QString& button : step.split(u' ', Qt::SkipEmptyParts))
        QVERIFY(click(ctl<QPushButton>(button)));

    QCOMPARE(ctl<QLabel>(u"LabelWeek"_s)->text(), week);
    QTreeWidget* l = ctl(u"ListReview"_s);
    QCOMPARE(l->topLevelItemCount(), 4);
    for (int q = 0; q < 4; ++q) {
        const QTreeWidgetItem* row = l->topLevelItem(q);
        QCOMPARE((QStringList{row->text(2), row->text(3), row->text(4)}), table[q]);
    }
    QCOMPARE(ctl<QLabel>(u"LabelReview"_s)->text(), line);
    QVERIFY(run.messages.isEmpty());
}

void QuadrantTest::percent_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("whole");
    QTest::addColumn<int>("expected");
    QTest::newRow("5 of 12") << 5 << 12 << 42;
    QTest::newRow("half rounds up") << 1 << 8 << 13;
    QTest::newRow("a third") << 1 << 3 << 33;
    QTest::newRow("all") << 7 << 7 << 100;
    QTest::newRow("nothing done") << 0 << 0 << 0;
}

void QuadrantTest::percent()
{
    QFETCH(int, part);
    QFETCH(int, whole);
    QFETCH(int, expected);
    QCOMPARE(Quadrant::percent(part, whole), expected);
}

QTEST_MAIN(QuadrantTest)
#include "test_quadrant.moc"
