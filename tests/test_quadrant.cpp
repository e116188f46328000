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

namespace {

template <class T = QTreeWidget>
T* ctl(const QString& name)
{
    return control<T>("FrmQuadrant", name);
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
    run.exec("DELETE FROM renwu");
    if (prepare)
        prepare();
    control<QToolBar>("MDIfrm", "Toolbar1")->findChild<QAction*>("Button9")->trigger();
    settle();
    run.messages.clear();
    return shown("FrmQuadrant");
}

// Quadrants as on the board: 1 important+urgent, 2 important, 3 urgent, 4 neither.
qint64 addTask(const ProgramRun& run, const QString& title, int quadrant, const QVariant& day = {}, int state = 0,
               qint64 theme = 0, const QVariant& time = {})
{
    run.exec("INSERT INTO renwu (title, zhongyao, jinpo, today, intime, zhuangtai, juese) VALUES (?, ?, ?, ?, ?, ?, ?)",
             {title, quadrant <= 2 ? 1 : 0, quadrant == 1 || quadrant == 3 ? 1 : 0, day, time, state, theme});
    return run.scalar("SELECT max(id) FROM renwu").toLongLong();
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
    QSqlQuery q = run.query("SELECT zhongyao, jinpo FROM renwu WHERE id = ?", {id});
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
                           << "全部主题" << QList<QStringList>{{"A"}, {}, {}, {}};
    QTest::newRow("week") << "本周"
                          << "全部主题" << QList<QStringList>{{"A"}, {"B"}, {"G"}, {}};
    QTest::newRow("unplanned") << "未安排"
                               << "全部主题" << QList<QStringList>{{}, {}, {}, {"D"}};
    QTest::newRow("all open, by day") << "全部未完成"
                                      << "全部主题" << QList<QStringList>{{"H", "A"}, {"B"}, {"G", "C"}, {"D"}};
    QTest::newRow("theme") << "全部未完成"
                           << "甲主题" << QList<QStringList>{{"A"}, {}, {"G", "C"}, {}};
    QTest::newRow("theme and week") << "本周"
                                    << "乙主题" << QList<QStringList>{{}, {"B"}, {}, {}};
}

void QuadrantTest::board()
{
    QFETCH(QString, range);
    QFETCH(QString, theme);
    QFETCH(QList<QStringList>, expected);

    ProgramRun run;
    QVERIFY(openView(run, [&] {
        run.exec("INSERT INTO juese (name) VALUES ('甲主题')");
        const qint64 a = run.scalar("SELECT max(id) FROM juese").toLongLong();
        run.exec("INSERT INTO juese (name) VALUES ('乙主题')");
        const qint64 b = run.scalar("SELECT max(id) FROM juese").toLongLong();
        addTask(run, "A", 1, "2009-01-31", 0, a);
        addTask(run, "B", 2, "2009-01-26", 0, b);
        addTask(run, "C", 3, "2009-02-02", 0, a);
        addTask(run, "D", 4, QVariant(), 0, b);
        addTask(run, "E done", 1, "2009-01-31", 1, a);
        addTask(run, "F abandoned", 2, "2009-01-27", 2, b);
        addTask(run, "G", 3, "2009-02-01", 0, a);
        addTask(run, "H", 1, "2009-01-25", 0, b);
    }));
    QCOMPARE(ctl<QComboBox>("Combo1")->currentText(), QStringLiteral("本周"));
    QVERIFY(choose(ctl<QComboBox>("Combo1"), range));
    QVERIFY(choose(ctl<QComboBox>("Combo2"), theme));

    const QStringList names = {"重要且紧迫", "重要不紧迫", "紧迫不重要", "不重要不紧迫"};
    for (int q = 1; q <= 4; ++q) {
        QCOMPARE(titles(list(q)), expected[q - 1]);
        QCOMPARE(frameTitle(q), QStringLiteral("%1（%2）").arg(names[q - 1]).arg(expected[q - 1].size()));
    }
}

void QuadrantTest::rowsShowDayAndTime()
{
    ProgramRun run;
    QVERIFY(openView(run, [&] {
        addTask(run, "timed", 2, "2009-01-28", 0, 0, "09:30:00");
        addTask(run, "untimed", 2, "2009-01-29");
        addTask(run, "unplanned", 2);
    }));
    QVERIFY(choose(ctl<QComboBox>("Combo1"), "全部未完成"));
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
        id = addTask(run, "urgent chore", 3, "2009-01-31");
        other = addTask(run, "stays", 3, "2009-01-31");
    }));
    Frmmain today;
    today.Form_Load();
    QTreeWidget* todayList = today.findChild<QTreeWidget*>("ListView1");
    const int todayRow = rowOf(todayList, id);
    QVERIFY(todayRow >= 0);
    QCOMPARE(todayList->topLevelItem(todayRow)->data(1, Qt::UserRole).toInt(), 2); // ordinary and urgent

    QVERIFY(clickRow(list(3), rowOf(list(3), id)));
    // Dropped back on its own list (its own format), nothing happens.
    QVERIFY(!dropOn(list(3), "application/x-vantorel-ListQ3"));
    QVERIFY(dropOn(list(2)));
    QCOMPARE(flags(run, id), qMakePair(1, 0));
    QCOMPARE(flags(run, other), qMakePair(0, 1));
    QCOMPARE(titles(list(2)), QStringList{"urgent chore"});
    QCOMPARE(titles(list(3)), QStringList{"stays"});
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
    QVERIFY(openView(run, [&] { id = addTask(run, "someday", 4, "2009-01-29"); }));
    // Nothing selected: the keys move nothing.
    QTest::keyClick(list(4), Qt::Key(Qt::Key_0 + key), Qt::ControlModifier);
    QCOMPARE(flags(run, id), qMakePair(0, 0));

    QVERIFY(clickRow(list(4), 0));
    QTest::keyClick(list(4), Qt::Key(Qt::Key_0 + key), Qt::ControlModifier);
    QCOMPARE(flags(run, id), qMakePair(zhongyao, jinpo));
    QCOMPARE(titles(list(key)), QStringList{"someday"});
    QCOMPARE(list(4)->topLevelItemCount(), 0);
}

// A double click opens the task editor on that task; its save refills the board.
void QuadrantTest::doubleClickEdits()
{
    ProgramRun run;
    qint64 id = 0;
    QVERIFY(openView(run, [&] {
        addTask(run, "first", 2, "2009-01-27");
        id = addTask(run, "second", 2, "2009-01-28");
    }));
    QVERIFY(clickRow(list(2), rowOf(list(2), id), 1, true));
    settle();
    QVERIFY(shown("Dlogmodrw"));
    auto* name = control<QLineEdit>("Dlogmodrw", "Text1");
    QCOMPARE(name->text(), QStringLiteral("second"));
    name->setText("second, renamed");
    QVERIFY(click(control<QPushButton>("Dlogmodrw", "Command3")));
    settle();
    QCOMPARE(run.scalar("SELECT title FROM renwu WHERE id = ?", {id}).toString(), QStringLiteral("second, renamed"));
    QCOMPARE(titles(list(2)), (QStringList{"first", "second, renamed"}));
}

void QuadrantTest::review_data()
{
    QTest::addColumn<QString>("step"); // buttons pressed after opening the tab
    QTest::addColumn<QString>("week");
    QTest::addColumn<QList<QStringList>>("table");
    QTest::addColumn<QString>("line");

    QTest::newRow("this week") << ""
                               << "2009-1-26 至 2009-2-1"
                               << QList<QStringList>{{"1", "0", "1"}, {"2", "0", "1"}, {"0", "0", "1"}, {"0", "1", "0"}}
                               << "本周完成 3 项，其中重要不紧迫 2 项（67%）";
    QTest::newRow("next week") << "Command2"
                               << "2009-2-2 至 2009-2-8"
                               << QList<QStringList>{{"0", "0", "0"}, {"0", "0", "0"}, {"0", "0", "0"}, {"1", "0", "0"}}
                               << "本周完成 1 项，其中重要不紧迫 0 项（0%）";
    QTest::newRow("empty week")
        << "Command1 Command1"
        << "2009-1-12 至 2009-1-18"
        << QList<QStringList>{{"0", "0", "0"}, {"0", "0", "0"}, {"0", "0", "0"}, {"0", "0", "0"}} << "本周完成 0 项";
    QTest::newRow("back to this week") << "Command2 Command2 Command3"
                                       << "2009-1-26 至 2009-2-1"
                                       << QList<QStringList>{{"1", "0", "1"},
                                                             {"2", "0", "1"},
                                                             {"0", "0", "1"},
                                                             {"0", "1", "0"}}
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
        addTask(run, "q1 done", 1, "2009-01-26", 1);
        addTask(run, "q1 open", 1, "2009-02-01", 0);
        addTask(run, "q2 done", 2, "2009-01-27", 1);
        addTask(run, "q2 done too", 2, "2009-01-31", 1);
        addTask(run, "q2 open", 2, "2009-01-30", 0);
        addTask(run, "q3 delayed", 3, "2009-01-28", 3);
        addTask(run, "q4 abandoned", 4, "2009-01-29", 2);
        addTask(run, "next week", 4, "2009-02-02", 1);
        addTask(run, "last sunday", 2, "2009-01-25", 1);
        addTask(run, "no day", 2, QVariant(), 1);
    }));
    ctl<QTabWidget>("SSTab1")->setCurrentIndex(1);
    for (const QString& button : step.split(' ', Qt::SkipEmptyParts))
        QVERIFY(click(ctl<QPushButton>(button)));

    QCOMPARE(ctl<QLabel>("LabelWeek")->text(), week);
    QTreeWidget* l = ctl("ListReview");
    QCOMPARE(l->topLevelItemCount(), 4);
    for (int q = 0; q < 4; ++q) {
        const QTreeWidgetItem* row = l->topLevelItem(q);
        QCOMPARE((QStringList{row->text(2), row->text(3), row->text(4)}), table[q]);
    }
    QCOMPARE(ctl<QLabel>("LabelReview")->text(), line);
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
