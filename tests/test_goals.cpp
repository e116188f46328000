#include "gui/forms.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "testsupport.h"

#include "gui/helpers.h"
#include "views/goals/dlomodmb.h"
#include "views/goals/frmmb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kToday(2009, 1, 31); // a Saturday

// Logs in (leaving overdue tasks where they are) on a database holding only the given themes,
// goals and tasks, then shows the view.
struct Seed
{
    QStringList themes;        // id = position + 1
    QList<QVariantList> goals; // id, title, jsdate, juese, zhuangtai, ksdate
    QList<QVariantList> tasks; // id, title, mubiao, juese, xuhao, zhuangtai
};

bool start(ProgramRun& run, const Seed& seed, const QString& view)
{
    if (!run.login())
        return false;
    run.exec(u"DELETE FROM renwu"_s);
    run.exec(u"DELETE FROM mubiao"_s);
    run.exec(u"DELETE FROM juese"_s);
    for (int i = 0; i < seed.themes.size(); ++i)
        run.exec(u"INSERT INTO juese (id, name, content) VALUES (?, ?, '')"_s, {i + 1, seed.themes[i]});
    for (const QVariantList& g : seed.goals)
        run.exec(u"INSERT INTO mubiao (id, title, jsdate, juese, zhuangtai, ksdate) VALUES (?, ?, ?, ?, ?, ?)"_s,
                 {g[0], g[1], g[2], g[3], g[4], g.value(5, u"2009-01-01"_s)});
    for (const QVariantList& t : seed.tasks)
        run.exec(u"INSERT INTO renwu (id, title, mubiao, juese, xuhao, zhuangtai, zhongyao, jinpo) "
                 "VALUES (?, ?, ?, ?, ?, ?, 1, 0)"_s,
                 {t[0], t[1], t[2], t[3], t[4], t[5]});
    find<MDIfrm>(u"MDIfrm"_s)->showView(view);
    settle();
    run.messages.clear();
    return shown(view);
}

template <class T = QTreeWidget>
T* ctl(const QString& window, const QString& name)
{
    T* w = control<T>(window, name);
    if (!w)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window));
    return w;
}

// The texts of one column of a list, row by row.
QStringList column(QTreeWidget* list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(c);
    return texts;
}

QStringList queryColumn(const ProgramRun& run, const QString& sql)
{
    QStringList values;
    QSqlQuery q = run.query(sql);
    while (q.next())
        values << q.value(0).toString();
    return values;
}

[[nodiscard]] bool press(const QString& window, const QString& name)
{
    return click(ctl<QPushButton>(window, name));
}

// Drops on the row `to` of the list after selecting the row `from`, as a drag would end.
// Clicks the goal with that title in the goals view's goal list.
void pickGoal(const QString& title)
{
    auto* goals = control<QTreeWidget>(Views::kGoals, u"ListView1"_s);
    QVERIFY(clickRow(goals, int(column(goals, 2).indexOf(title))));
}

void dragRow(QTreeWidget* list, int from, int to)
{
    QVERIFY(clickRow(list, from));
    const QPoint at = list->visualItemRect(list->topLevelItem(to)).center();
    QMimeData data;
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &enter);
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &move);
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->viewport(), &drop);
    settle();
}

const Seed kThreeGoals{{u"事业"_s, u"健康"_s},
                       {{1, u"明天到期"_s, u"2009-02-01"_s, 1, 1},
                        {2, u"今天到期"_s, u"2009-01-31"_s, 1, 1},
                        {3, u"没有日期"_s, QVariant(), 1, 0},
                        {4, u"已过期"_s, u"2009-01-20"_s, 1, 2},
                        {5, u"健康目标"_s, u"2009-03-01"_s, 2, 1}},
                       {{1, u"任务甲"_s, 1, 1, 1, 0},
                        {2, u"任务乙"_s, 1, 1, 2, 1},
                        {3, u"任务丙"_s, 1, 1, 3, 0},
                        {4, u"健康任务"_s, 5, 2, 1, 0}}};
} // namespace

class GoalsTest : public QObject
{
    Q_OBJECT

private slots:
    void rolesGoalList_data();
    void rolesGoalList();
    void rolesGoalStates_data();
    void rolesGoalStates();
    void rolesDeleteTheme();
    void rolesWithoutThemes();
    void rolesToolbar();
    void themeDialogs_data();
    void themeDialogs();
    void addGoal_data();
    void addGoal();
    void addGoalFailureKeepsInput();
    void editGoal_data();
    void editGoal();
    void weekList_data();
    void weekList();
    void search_data();
    void search();
    void dragRenumbers_data();
    void dragRenumbers();
    void failedChangesKeepEverything_data();
    void failedChangesKeepEverything();
    void taskFilter();
    void goalCommands();
    void taskMenu_data();
    void taskMenu();
    void menus_data();
    void menus();
    void emptyListMessages();
    void taskDialogsFromGoalsView();
};

void GoalsTest::rolesGoalList_data()
{
    QTest::addColumn<bool>("all");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("days");
    // Only goals whose target day has passed are hidden.
    QTest::newRow("not past") << false << QStringList{u"没有日期"_s, u"今天到期"_s, u"明天到期"_s}
                              << QStringList{u"暂未安排"_s, u"2009-1-31"_s, u"2009-2-1"_s};
    QTest::newRow("all times") << true << QStringList{u"没有日期"_s, u"已过期"_s, u"今天到期"_s, u"明天到期"_s}
                               << QStringList{u"暂未安排"_s, u"2009-1-20"_s, u"2009-1-31"_s, u"2009-2-1"_s};
}

void GoalsTest::rolesGoalList()
{
    QFETCH(bool, all);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, days);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kRoles));
    QCOMPARE(column(ctl(u"Frmjs"_s, u"ListView1"_s), 1), (QStringList{u"事业"_s, u"健康"_s}));
    ctl<QCheckBox>(u"Frmjs"_s, u"Check1"_s)->setChecked(all);
    auto* goals = ctl(u"Frmjs"_s, u"ListView2"_s);
    QCOMPARE(column(goals, 1), titles);
    QCOMPARE(column(goals, 2), days);
    QVERIFY(column(goals, 3).count(u"事业"_s) == titles.size());

    // Another theme shows its own goals.
    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 1));
    QCOMPARE(column(goals, 1), QStringList{u"健康目标"_s});
}

void GoalsTest::rolesGoalStates_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("complete") << "wancheng" << 2 << QStringList{u"恭喜您又前进了一步，加油，继续努力！"_s};
    QTest::newRow("start") << "kaishi" << 1 << QStringList{};
    QTest::newRow("pause") << "zanting" << 0 << QStringList{};
    QTest::newRow("back to unfinished") << "weiwancheng" << 0 << QStringList{};
}

void GoalsTest::rolesGoalStates()
{
    QFETCH(QString, item);
    QFETCH(int, state);
    QFETCH(QStringList, messages);
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.goals[0][4] = 2 - state; // starts elsewhere than where it goes
    QVERIFY(start(run, seed, Views::kRoles));
    auto* goals = ctl(u"Frmjs"_s, u"ListView2"_s);
    const int row = int(column(goals, 0).indexOf(u"1"_s));
    QVERIFY(chooseRowMenuItem(goals, row, item));
    QCOMPARE(run.messages, messages);
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM mubiao WHERE id = 1"_s).toInt(), state);
    QCOMPARE(goals->topLevelItem(row)->data(1, Qt::UserRole).toInt(), state);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mubiao WHERE zhuangtai <> ?"_s, {state}).toInt() > 0, true);
}

void GoalsTest::rolesDeleteTheme()
{
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.tasks.append({5, u"无主题的目标任务"_s, 3, 0, 1, 0}); // a task of the theme's goal filed elsewhere
    seed.tasks.append({6, u"主题直属任务"_s, 0, 1, 1, 0});
    QVERIFY(start(run, seed, Views::kRoles));
    QVERIFY(ctl(u"Frmjs"_s, u"ListView2"_s)->topLevelItemCount() > 0);
    // The first theme is shown selected; its deletion names what goes with it.
    QCOMPARE(ctl(u"Frmjs"_s, u"ListView1"_s)->selectedItems().size(), 1);
    QVERIFY(press(u"Frmjs"_s, u"Command2"_s));
    QCOMPARE(run.messages, QStringList{u"删除主题“事业”及其 4 个目标、5 个任务？"_s});
    QCOMPARE(column(ctl(u"Frmjs"_s, u"ListView1"_s), 1), QStringList{u"健康"_s});
    QCOMPARE(ctl(u"Frmjs"_s, u"ListView2"_s)->topLevelItemCount(), 0);
    QCOMPARE(queryColumn(run, u"SELECT id FROM juese"_s), QStringList{u"2"_s});
    QCOMPARE(queryColumn(run, u"SELECT id FROM mubiao"_s), QStringList{u"5"_s});
    QCOMPARE(queryColumn(run, u"SELECT id FROM renwu"_s), QStringList{u"4"_s});

    // A failing statement keeps everything: the theme, its goals and its tasks.
    run.exec(u"CREATE TRIGGER refuse BEFORE DELETE ON mubiao BEGIN SELECT RAISE(ABORT, 'refused'); END"_s);
    run.messages.clear();
    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 0));
    QVERIFY(press(u"Frmjs"_s, u"Command2"_s));
    QCOMPARE(run.messages.size(), 2); // the question, then the failure
    QCOMPARE(queryColumn(run, u"SELECT id FROM juese"_s), QStringList{u"2"_s});
    QCOMPARE(queryColumn(run, u"SELECT id FROM renwu"_s), QStringList{u"4"_s});
    QCOMPARE(column(ctl(u"Frmjs"_s, u"ListView1"_s), 1), QStringList{u"健康"_s});
}

void GoalsTest::rolesWithoutThemes()
{
    ProgramRun run;
    QVERIFY(start(run, Seed{{}, {{1, u"孤立目标"_s, u"2009-05-01"_s, 9, 1}}, {}}, Views::kRoles));
    auto* goals = ctl(u"Frmjs"_s, u"ListView2"_s);
    for (bool all : {false, true}) {
        ctl<QCheckBox>(u"Frmjs"_s, u"Check1"_s)->setChecked(all);
        QCOMPARE(goals->topLevelItemCount(), 0);
    }
    QVERIFY(press(u"Frmjs"_s, u"Command2"_s));
    QTest::mouseDClick(ctl(u"Frmjs"_s, u"ListView1"_s)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(run.messages, (QStringList{u"没有可删除的行动主题！"_s, u"没有可选择编辑的行动主题！"_s}));
    QVERIFY(!shown(u"Dlogmodjs"_s));

    // A goal needs a theme.
    run.messages.clear();
    ctl<QToolBar>(u"Frmjs"_s, u"Toolbar1"_s)->findChild<QAction*>(u"Button1"_s)->trigger();
    settle();
    QVERIFY(shown(u"Dlogmb"_s));
    ctl<QLineEdit>(u"Dlogmb"_s, u"Text1"_s)->setText(u"新目标"_s);
    QVERIFY(press(u"Dlogmb"_s, u"Command1"_s));
    QCOMPARE(run.messages, QStringList{u"请选择与目标相关的主题！"_s});
    QVERIFY(shown(u"Dlogmb"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mubiao"_s).toInt(), 1);
}

void GoalsTest::rolesToolbar()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kRoles));
    auto* bar = ctl<QToolBar>(u"Frmjs"_s, u"Toolbar1"_s);
    auto trigger = [&](const char* name) {
        bar->findChild<QAction*>(QLatin1StringView(name))->trigger();
        settle();
    };
    // Without a goal selected, edit and delete say so.
    trigger("Button2");
    trigger("Button3");
    QCOMPARE(run.messages, (QStringList{u"请先选择要编辑的目标！"_s, u"请先选择要删除的目标！"_s}));

    // The add dialog preselects the theme selected in the view.
    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 1));
    trigger("Button1");
    QCOMPARE(ctl<QComboBox>(u"Dlogmb"_s, u"Cbo1"_s)->currentText(), QStringLiteral("健康"));
    Forms::unload(QStringLiteral("Dlogmb"));
    settle();

    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView2"_s), 0));
    trigger("Button2");
    QVERIFY(shown(u"dlomodmb"_s));
    QCOMPARE(ctl<QLineEdit>(u"dlomodmb"_s, u"Text1"_s)->text(), QStringLiteral("健康目标"));
    Forms::unload(QStringLiteral("dlomodmb"));
    settle();
    trigger("Button3");
    QCOMPARE(ctl(u"Frmjs"_s, u"ListView2"_s)->topLevelItemCount(), 0);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mubiao WHERE id = 5"_s).toInt(), 0);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE mubiao = 5"_s).toInt(), 0);
}

void GoalsTest::themeDialogs_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("listed"); // the theme list afterwards
    QTest::addColumn<QString>("stored");     // name|content of the theme written, or empty

    QTest::newRow("add blanks") << "Frmaddjuese"
                                << "  "
                                << "说明" << QStringList{} << QStringList{u"事业"_s, u"健康"_s, u"  "_s} << "  |说明";
    QTest::newRow("add quotes") << "Frmaddjuese"
                                << "It's \"我的\""
                                << "a'b" << QStringList{} << QStringList{u"事业"_s, u"健康"_s, u"It's \"我的\""_s}
                                << "It's \"我的\"|a'b";
    QTest::newRow("add without name") << "Frmaddjuese"
                                      << ""
                                      << "说明" << QStringList{u"请输入角色名称！"_s}
                                      << QStringList{u"事业"_s, u"健康"_s} << "";
    QTest::newRow("add without description")
        << "Frmaddjuese"
        << "家庭"
        << "" << QStringList{u"请输入角色描述！"_s} << QStringList{u"事业"_s, u"健康"_s} << "";
    QTest::newRow("edit clears description") << "Dlogmodjs"
                                             << "健康's"
                                             << "" << QStringList{} << QStringList{u"事业"_s, u"健康's"_s} << "健康's|";
    QTest::newRow("edit without name") << "Dlogmodjs"
                                       << ""
                                       << "x" << QStringList{u"请输入角色名称！"_s} << QStringList{u"事业"_s, u"健康"_s}
                                       << "";
}

void GoalsTest::themeDialogs()
{
    QFETCH(QString, dialog);
    QFETCH(QString, name);
    QFETCH(QString, content);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, listed);
    QFETCH(QString, stored);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kRoles));
    run.exec(u"UPDATE juese SET content = '旧说明' WHERE id = 2"_s);
    auto* themes = ctl(u"Frmjs"_s, u"ListView1"_s);
    QVERIFY(clickRow(themes, 1));
    if (dialog == "Frmaddjuese"_L1) {
        QVERIFY(press(u"Frmjs"_s, u"Command1"_s));
    } else {
        QVERIFY(clickRow(themes, 1, 1, true));
        QCOMPARE(ctl<QPlainTextEdit>(dialog, u"Rtb1"_s)->toPlainText(), QStringLiteral("旧说明"));
    }
    QVERIFY(shown(dialog));
    ctl<QLineEdit>(dialog, u"Text1"_s)->setText(name);
    ctl<QPlainTextEdit>(dialog, u"Rtb1"_s)->setPlainText(content);
    QVERIFY(press(dialog, u"Command1"_s));
    settle();
    QCOMPARE(run.messages, messages);
    QCOMPARE(shown(dialog), !messages.isEmpty());
    QCOMPARE(column(themes, 1), listed);
    const qint64 id = dialog == "Dlogmodjs"_L1 ? 2 : 3;
    const QString row =
        run.scalar(u"SELECT name || '|' || content FROM juese WHERE id = ? OR (? = 3 AND id > 2)"_s, {id, id})
            .toString();
    if (!stored.isEmpty())
        QCOMPARE(row, stored);
    else if (dialog == "Dlogmodjs"_L1)
        QCOMPARE(row, QStringLiteral("健康|旧说明"));
    // The theme picked in the list stays picked, with its goals.
    QCOMPARE(column(ctl(u"Frmjs"_s, u"ListView2"_s), 1), QStringList{u"健康目标"_s});
}

void GoalsTest::addGoal_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<bool>("pause");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("state"); // stored, -1 for none
    QTest::newRow("today, start") << Views::kGoals << 0 << false << QStringList{} << 1;
    QTest::newRow("later, pause") << Views::kRoles << 10 << true << QStringList{} << 0;
    QTest::newRow("yesterday") << Views::kGoals << -1 << false << QStringList{u"完成预期的日期不能早于今日！"_s} << -1;
}

void GoalsTest::addGoal()
{
    QFETCH(QString, view);
    QFETCH(int, dayOffset);
    QFETCH(bool, pause);
    QFETCH(QStringList, messages);
    QFETCH(int, state);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, view));
    const bool goalsView = view == Views::kGoals;
    if (goalsView) {
        QVERIFY(press(view, u"Command2"_s));
    } else {
        QVERIFY(clickRow(ctl(view, u"ListView1"_s), 1));
        ctl<QToolBar>(view, u"Toolbar1"_s)->findChild<QAction*>(u"Button1"_s)->trigger();
        settle();
    }
    QVERIFY(shown(u"Dlogmb"_s));
    // The goals view offers the first theme; the execution view its selected one.
    QCOMPARE(ctl<QComboBox>(u"Dlogmb"_s, u"Cbo1"_s)->currentText(),
             goalsView ? QStringLiteral("事业") : QStringLiteral("健康"));
    QCOMPARE(ctl<QDateEdit>(u"Dlogmb"_s, u"DTP1"_s)->date(), kToday);
    ctl<QLineEdit>(u"Dlogmb"_s, u"Text1"_s)->setText(u"攒钱 'A' 50%"_s);
    ctl<QPlainTextEdit>(u"Dlogmb"_s, u"Rtb1"_s)->setPlainText(u"说\"明\""_s);
    ctl<QDateEdit>(u"Dlogmb"_s, u"DTP1"_s)->setDate(kToday.addDays(dayOffset));
    ctl<QRadioButton>(u"Dlogmb"_s, pause ? u"Option1_0"_s : u"Option1_1"_s)->setChecked(true);
    QVERIFY(press(u"Dlogmb"_s, u"Command1"_s));
    settle();
    QCOMPARE(run.messages, messages);
    QCOMPARE(shown(u"Dlogmb"_s), state < 0);
    QSqlQuery q = run.query(u"SELECT title, content, jsdate, juese, zhuangtai, ksdate FROM mubiao WHERE id > 5"_s);
    QCOMPARE(q.next(), state >= 0);
    if (state < 0)
        return;
    QCOMPARE(q.value(0).toString(), QStringLiteral("攒钱 'A' 50%"));
    QCOMPARE(q.value(1).toString(), QStringLiteral("说\"明\""));
    QCOMPARE(q.value(2).toString(), kToday.addDays(dayOffset).toString(Qt::ISODate));
    QCOMPARE(q.value(3).toInt(), goalsView ? 1 : 2);
    QCOMPARE(q.value(4).toInt(), state);
    QCOMPARE(q.value(5).toString(), kToday.toString(Qt::ISODate));
    // The opener's list shows the new goal.
    QVERIFY(column(ctl(view, u"ListView1"_s), 2).contains(u"攒钱 'A' 50%"_s)
            || column(ctl(view, u"ListView2"_s), 1).contains(u"攒钱 'A' 50%"_s));
}

void GoalsTest::addGoalFailureKeepsInput()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    run.exec(u"CREATE TRIGGER refuse BEFORE INSERT ON mubiao BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s);
    QVERIFY(press(Views::kGoals, u"Command2"_s));
    ctl<QLineEdit>(u"Dlogmb"_s, u"Text1"_s)->setText(u"保留我"_s);
    QVERIFY(press(u"Dlogmb"_s, u"Command1"_s));
    settle();
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(u"disk full"_s));
    QVERIFY(shown(u"Dlogmb"_s));
    QCOMPARE(ctl<QLineEdit>(u"Dlogmb"_s, u"Text1"_s)->text(), QStringLiteral("保留我"));
}

void GoalsTest::editGoal_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<bool>("save");
    QTest::newRow("goals view, saved") << Views::kGoals << true;
    QTest::newRow("goals view, closed") << Views::kGoals << false;
    QTest::newRow("execution view, saved") << Views::kRoles << true;
}

void GoalsTest::editGoal()
{
    QFETCH(QString, view);
    QFETCH(bool, save);
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.goals[0][2] = u"2009-01-10"_s; // past
    QVERIFY(start(run, seed, view));
    const bool goalsView = view == Views::kGoals;
    QTreeWidget* goals = ctl(view, goalsView ? u"ListView1"_s : u"ListView2"_s);
    if (!goalsView)
        ctl<QCheckBox>(view, u"Check1"_s)->setChecked(true);
    const int row = int(column(goals, goalsView ? 2 : 1).indexOf(u"明天到期"_s));
    QVERIFY(clickRow(goals, row, 1, true));
    auto* d = qobject_cast<dlomodmb*>(Forms::find(u"dlomodmb"_s));
    QVERIFY(d);
    QCOMPARE(d->goalId(), 1);
    QCOMPARE(ctl<QDateEdit>(u"dlomodmb"_s, u"DTP1"_s)->date(), QDate(2009, 1, 10));
    auto* themes = ctl<QComboBox>(u"dlomodmb"_s, u"Cbo1"_s);
    QCOMPARE(themes->currentText(), QStringLiteral("事业"));
    QCOMPARE(themes->count(), 3); // its own theme first, then every theme

    // Another window renames the goal meanwhile: the list follows when the dialog goes.
    run.exec(u"UPDATE mubiao SET title = '别处改名' WHERE id = 1"_s);
    if (save) {
        ctl<QLineEdit>(u"dlomodmb"_s, u"Text1"_s)->setText(u"改过's"_s);
        QVERIFY(press(u"dlomodmb"_s, u"Command1"_s));
    } else {
        ctl<QLineEdit>(u"dlomodmb"_s, u"Text1"_s)->setText(u"不保存"_s);
        run.answerNext(QMessageBox::No);
        d->close();
    }
    settle();
    QVERIFY(!shown(u"dlomodmb"_s));
    // Closed with a change, it asks; "否" lets the change go.
    QCOMPARE(run.messages, save ? QStringList() : QStringList{u"是否保存对目标的修改？"_s});
    const QString title = save ? QStringLiteral("改过's") : QStringLiteral("别处改名");
    QCOMPARE(run.scalar(u"SELECT title || '|' || jsdate || '|' || juese FROM mubiao WHERE id = 1"_s).toString(),
             title + u"|2009-01-10|1"_s);
    QVERIFY(column(goals, goalsView ? 2 : 1).contains(title));
}

void GoalsTest::weekList_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("goals");
    // Goals started on days around the week, all due by the Monday after it.
    QTest::newRow("sunday") << QDate(2009, 2, 1) << "本周目标（2009-2-2 至 2009-2-8）"
                            << QStringList{u"周一开始"_s, u"下周一到期"_s};
    QTest::newRow("monday") << QDate(2009, 1, 26) << "本周目标（2009-1-26 至 2009-2-1）"
                            << QStringList{u"周日开始"_s, u"上周一开始"_s};
}

void GoalsTest::weekList()
{
    QFETCH(QDate, today);
    QFETCH(QString, title);
    QFETCH(QStringList, goals);
    ProgramRun run(QDateTime(today, QTime(9, 0)));
    Seed seed{{u"事业"_s},
              {{1, u"周日开始"_s, u"2009-02-01"_s, 1, 1, u"2009-02-01"_s},
               {2, u"周一开始"_s, u"2009-02-05"_s, 1, 1, u"2009-02-02"_s},
               {3, u"下周一到期"_s, u"2009-02-09"_s, 1, 1, u"2009-02-03"_s},
               {4, u"太晚到期"_s, u"2009-02-10"_s, 1, 1, u"2009-02-03"_s},
               {5, u"上周一开始"_s, u"2009-01-27"_s, 1, 1, u"2009-01-26"_s},
               {6, u"更早开始"_s, u"2009-01-27"_s, 1, 1, u"2009-01-25"_s}},
              {}};
    QVERIFY(start(run, seed, Views::kGoals));
    QCOMPARE(ctl<QGroupBox>(Views::kGoals, u"Frame4"_s)->title(), title);
    auto* week = ctl(Views::kGoals, u"ListView3"_s);
    QCOMPARE(column(week, 1), goals);

    // A week forward and back again.
    QVERIFY(press(Views::kGoals, u"Command9"_s));
    const QDate monday = qobject_cast<Frmmb*>(Forms::find(Views::kGoals))->weekStart();
    QCOMPARE(monday.dayOfWeek(), 1);
    QVERIFY(ctl<QGroupBox>(Views::kGoals, u"Frame4"_s)->title().startsWith(u"周目标"_s));
    QVERIFY(press(Views::kGoals, u"Command8"_s));
    QVERIFY(press(Views::kGoals, u"Command8"_s));
    QCOMPARE(qobject_cast<Frmmb*>(Forms::find(Views::kGoals))->weekStart(), monday.addDays(-14));
    QVERIFY(press(Views::kGoals, u"Command10"_s));
    QCOMPARE(ctl<QGroupBox>(Views::kGoals, u"Frame4"_s)->title(), title);
    QCOMPARE(column(week, 1), goals);
}

void GoalsTest::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("theme"); // index in Combo1
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("everything between") << "" << 0
                                        << QStringList{u"第二天"_s, u"中间 'x'"_s, u"5000 个"_s, u"50% 达成"_s,
                                                       u"前一天"_s};
    QTest::newRow("quote") << "'x" << 0 << QStringList{u"中间 'x'"_s};
    QTest::newRow("percent as typed") << "50%" << 0 << QStringList{u"50% 达成"_s};
    QTest::newRow("theme") << "" << 2 << QStringList{u"50% 达成"_s};
}

void GoalsTest::search()
{
    QFETCH(QString, text);
    QFETCH(int, theme);
    QFETCH(QStringList, titles);
    ProgramRun run;
    Seed seed{{u"事业"_s, u"健康"_s},
              {{1, u"边界当天"_s, u"2009-01-01"_s, 1, 1},
               {2, u"第二天"_s, u"2009-01-02"_s, 1, 0},
               {3, u"前一天"_s, u"2009-03-01"_s, 1, 2},
               {4, u"边界末天"_s, u"2009-03-02"_s, 1, 1},
               {5, u"50% 达成"_s, u"2009-02-20"_s, 2, 2},
               {6, u"中间 'x'"_s, u"2009-02-10"_s, 1, 1},
               {7, u"无日期"_s, QVariant(), 1, 1},
               {8, u"5000 个"_s, u"2009-02-11"_s, 1, 1},
               {9, u"别的主题"_s, u"2009-02-12"_s, 9, 1}},
              {}};
    QVERIFY(start(run, seed, Views::kGoals));
    QCOMPARE(ctl<QDateEdit>(Views::kGoals, u"DTP1"_s)->date(), QDate(2009, 1, 1));
    QCOMPARE(ctl<QDateEdit>(Views::kGoals, u"DTP2"_s)->date(), QDate(2009, 3, 2));
    auto* combo = ctl<QComboBox>(Views::kGoals, u"Combo1"_s);
    QCOMPARE(combo->currentText(), QStringLiteral("无"));
    QCOMPARE(combo->count(), 3);
    ctl<QLineEdit>(Views::kGoals, u"Text1"_s)->setText(text);
    combo->setCurrentIndex(theme);
    QVERIFY(press(Views::kGoals, u"Command1"_s));
    QCOMPARE(column(ctl(Views::kGoals, u"ListView1"_s), 2), titles);
}

void GoalsTest::dragRenumbers_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("third onto first") << 2 << 0 << QStringList{u"任务丙"_s, u"任务甲"_s, u"任务乙"_s};
    QTest::newRow("first onto third") << 0 << 2 << QStringList{u"任务乙"_s, u"任务丙"_s, u"任务甲"_s};
    QTest::newRow("onto itself") << 1 << 1 << QStringList{u"任务甲"_s, u"任务乙"_s, u"任务丙"_s};
}

void GoalsTest::dragRenumbers()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    ProgramRun run;
    Seed seed = kThreeGoals;
    for (int i = 0; i < 3; ++i)
        seed.tasks[i][4] = 5 + 2 * i; // 5, 7, 9
    QVERIFY(start(run, seed, Views::kGoals));
    auto* tasks = ctl(Views::kGoals, u"ListView2"_s);
    pickGoal(u"明天到期"_s);
    QCOMPARE(column(tasks, 2), (QStringList{u"任务甲"_s, u"任务乙"_s, u"任务丙"_s}));
    dragRow(tasks, from, to);
    QCOMPARE(column(tasks, 2), order);
    QCOMPARE(column(tasks, 4), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(queryColumn(run, u"SELECT title FROM renwu WHERE mubiao = 1 ORDER BY xuhao"_s), order);
    QCOMPARE(tasks->currentItem()->text(2), order.at(to));

    // A drop below the rows moves nothing.
    QMimeData data;
    QDropEvent drop(QPoint(20, tasks->viewport()->height() - 4), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(tasks->viewport(), &drop);
    QCOMPARE(column(tasks, 2), order);
}

void GoalsTest::failedChangesKeepEverything_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("goal deletion") << "delete"
                                   << "BEFORE DELETE ON mubiao";
    QTest::newRow("renumbering") << "drag"
                                 << "BEFORE UPDATE OF xuhao ON renwu WHEN NEW.xuhao = 3";
}

void GoalsTest::failedChangesKeepEverything()
{
    QFETCH(QString, action);
    QFETCH(QString, trigger);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    pickGoal(u"明天到期"_s);
    const QString before = queryColumn(run, u"SELECT id || ':' || xuhao FROM renwu ORDER BY id"_s).join(u' ');
    run.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
    if (action == "delete"_L1)
        QVERIFY(press(Views::kGoals, u"Command4"_s));
    else
        dragRow(ctl(Views::kGoals, u"ListView2"_s), 2, 0);
    QCOMPARE(run.messages.size(), action == "delete"_L1 ? 2 : 1); // a deletion's question comes first
    QCOMPARE(queryColumn(run, u"SELECT id || ':' || xuhao FROM renwu ORDER BY id"_s).join(u' '), before);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM mubiao"_s).toInt(), 5);
    // The list shows what is stored.
    QCOMPARE(column(ctl(Views::kGoals, u"ListView2"_s), 2), (QStringList{u"任务甲"_s, u"任务乙"_s, u"任务丙"_s}));
}

void GoalsTest::taskFilter()
{
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.tasks[3][5] = 1; // the health goal's only task is done
    QVERIFY(start(run, seed, Views::kGoals));
    auto* goals = ctl(Views::kGoals, u"ListView1"_s);
    auto* tasks = ctl(Views::kGoals, u"ListView2"_s);
    auto* openOnly = ctl<QCheckBox>(Views::kGoals, u"Check1"_s);
    QCOMPARE(tasks->topLevelItemCount(), 0); // the first goal has no task
    pickGoal(u"明天到期"_s);
    QCOMPARE(column(tasks, 1), (QStringList{u"正在进行"_s, u"已经完成"_s, u"正在进行"_s}));
    openOnly->setChecked(true);
    QCOMPARE(column(tasks, 2), (QStringList{u"任务甲"_s, u"任务丙"_s}));
    QVERIFY(clickRow(goals, int(column(goals, 2).indexOf(u"健康目标"_s))));
    QCOMPARE(tasks->topLevelItemCount(), 0);
    openOnly->setChecked(false);
    QCOMPARE(column(tasks, 2), QStringList{u"健康任务"_s});
}

void GoalsTest::goalCommands()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    auto* goals = ctl(Views::kGoals, u"ListView1"_s);
    auto* tasks = ctl(Views::kGoals, u"ListView2"_s);
    // Executing goals, by theme name then day.
    QCOMPARE(column(goals, 2), (QStringList{u"今天到期"_s, u"明天到期"_s, u"健康目标"_s}));
    QCOMPARE(column(goals, 3), (QStringList{u"2009-1-31"_s, u"2009-2-1"_s, u"2009-3-1"_s}));

    // Completing a goal congratulates and drops it from the executing goals.
    QVERIFY(chooseRowMenuItem(goals, 1, u"wancheng"_s));
    QCOMPARE(run.messages, QStringList{u"恭喜，目标完成，继续努力！"_s});
    QCOMPARE(column(goals, 2), (QStringList{u"今天到期"_s, u"健康目标"_s}));
    ctl<QCheckBox>(Views::kGoals, u"Check2"_s)->setChecked(true);
    QCOMPARE(goals->topLevelItemCount(), 5);
    QCOMPARE(column(goals, 3).count(u"还未安排"_s), 1);

    // Deleting a goal deletes its tasks and empties the task list.
    const int row = int(column(goals, 2).indexOf(u"明天到期"_s));
    QVERIFY(clickRow(goals, row));
    QCOMPARE(tasks->topLevelItemCount(), 3);
    QVERIFY(press(Views::kGoals, u"Command4"_s));
    QCOMPARE(tasks->topLevelItemCount(), 0);
    QVERIFY(!column(goals, 2).contains(u"明天到期"_s));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE mubiao = 1"_s).toInt(), 0);
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu"_s).toInt(), 1);
}

void GoalsTest::taskMenu_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("done") << "zfine" << 0 << 1 << "已经完成" << StateColour::kDone;
    QTest::newRow("abandoned") << "zover" << 0 << 2 << "已经放弃" << StateColour::kRed;
    QTest::newRow("done back to open") << "zweiwancheng" << 1 << 0 << "正在进行" << QColor(0, 0, 0);
}

void GoalsTest::taskMenu()
{
    QFETCH(QString, item);
    QFETCH(int, row);
    QFETCH(int, state);
    QFETCH(QString, word);
    QFETCH(QColor, colour);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    auto* tasks = ctl(Views::kGoals, u"ListView2"_s);
    pickGoal(u"明天到期"_s);
    QVERIFY(chooseRowMenuItem(tasks, row, item));
    const qint64 id = tasks->topLevelItem(row)->text(0).toLongLong();
    QCOMPARE(run.scalar(u"SELECT zhuangtai FROM renwu WHERE id = ?"_s, {id}).toInt(), state);
    QCOMPARE(tasks->topLevelItem(row)->text(1), word);
    for (int c = 1; c <= 4; ++c)
        QCOMPARE(tasks->topLevelItem(row)->foreground(c).color(), colour);
    QVERIFY(!chooseRowMenuItem(tasks, -1, item)); // no menu below the rows
}

void GoalsTest::menus_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    const QStringList goalItems{u"目标"_s, u"kaishi:开始执行"_s, u"wancheng:目标完成"_s, u"zanting:暂停执行"_s,
                                u"weiwancheng:转未完成"_s};
    QTest::newRow("themes, goal menu") << Views::kRoles << u"mubiao"_s << goalItems;
    QTest::newRow("goals, goal menu") << Views::kGoals << u"mubiao"_s << goalItems;
    QTest::newRow("goals, task menu") << Views::kGoals << u"renwu"_s
                                      << QStringList{u"任务"_s, u"zfine:任务完成"_s, u"zover:任务放弃"_s,
                                                     u"zweiwancheng:转未完成"_s};
}

void GoalsTest::menus()
{
    QFETCH(QString, view);
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, view));
    QCOMPARE(menuItems(ctl<QMenu>(view, menu)), items);
}

void GoalsTest::emptyListMessages()
{
    ProgramRun run;
    QVERIFY(start(run, Seed{{u"事业"_s}, {}, {}}, Views::kGoals));
    for (const QString& b : {u"Command3"_s, u"Command4"_s, u"Command6"_s, u"Command7"_s})
        QVERIFY(press(Views::kGoals, b));
    QCOMPARE(run.messages, (QStringList{u"没有可编辑的目标！"_s, u"没有可删除的目标！"_s, u"没有可编辑的任务！"_s,
                                        u"没有可删除的任务！"_s}));
    // A task needs a goal to belong to.
    run.messages.clear();
    QVERIFY(press(Views::kGoals, u"Command5"_s));
    QCOMPARE(run.messages, QStringList{u"请先选择目标，再输入任务！"_s});
    QVERIFY(!shown(u"dlogaddrw"_s));
}

void GoalsTest::taskDialogsFromGoalsView()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    auto* goals = ctl(Views::kGoals, u"ListView1"_s);
    auto* tasks = ctl(Views::kGoals, u"ListView2"_s);
    // The new task belongs to the goal selected, and shows in its list.
    QVERIFY(clickRow(goals, int(column(goals, 2).indexOf(u"健康目标"_s))));
    QVERIFY(press(Views::kGoals, u"Command5"_s));
    QVERIFY(shown(u"dlogaddrw"_s));
    QCOMPARE(ctl<QComboBox>(u"dlogaddrw"_s, u"Combo4"_s)->currentText(), QStringLiteral("健康目标"));
    ctl<QLineEdit>(u"dlogaddrw"_s, u"Text1"_s)->setText(u"新跑步任务"_s);
    ctl<QLineEdit>(u"dlogaddrw"_s, u"Text3"_s)->setText(u"2"_s);
    QVERIFY(press(u"dlogaddrw"_s, u"OKButton"_s));
    settle();
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(run.scalar(u"SELECT mubiao || '|' || juese FROM renwu WHERE title = '新跑步任务'"_s).toString(),
             QStringLiteral("5|2"));
    QCOMPARE(column(tasks, 2), (QStringList{u"健康任务"_s, u"新跑步任务"_s}));

    // The edit dialog edits the task selected there; the list follows the save.
    QVERIFY(clickRow(tasks, 0, 2, true));
    QVERIFY(shown(u"Dlogmodrw"_s));
    QCOMPARE(ctl<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s)->text(), QStringLiteral("健康任务"));
    ctl<QLineEdit>(u"Dlogmodrw"_s, u"Text1"_s)->setText(u"改名任务"_s);
    QVERIFY(press(u"Dlogmodrw"_s, u"Command3"_s));
    settle();
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(column(tasks, 2), (QStringList{u"改名任务"_s, u"新跑步任务"_s}));
    QCOMPARE(tasks->currentItem()->text(2), QStringLiteral("改名任务"));
}

QTEST_MAIN(GoalsTest)
#include "test_goals.moc"
