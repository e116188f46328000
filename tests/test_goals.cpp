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
    run.exec("DELETE FROM renwu");
    run.exec("DELETE FROM mubiao");
    run.exec("DELETE FROM juese");
    for (int i = 0; i < seed.themes.size(); ++i)
        run.exec("INSERT INTO juese (id, name, content) VALUES (?, ?, '')", {i + 1, seed.themes[i]});
    for (const QVariantList& g : seed.goals)
        run.exec("INSERT INTO mubiao (id, title, jsdate, juese, zhuangtai, ksdate) VALUES (?, ?, ?, ?, ?, ?)",
                 {g[0], g[1], g[2], g[3], g[4], g.value(5, "2009-01-01")});
    for (const QVariantList& t : seed.tasks)
        run.exec("INSERT INTO renwu (id, title, mubiao, juese, xuhao, zhuangtai, zhongyao, jinpo) "
                 "VALUES (?, ?, ?, ?, ?, ?, 1, 0)",
                 {t[0], t[1], t[2], t[3], t[4], t[5]});
    find<MDIfrm>("MDIfrm")->showView(view);
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
    auto* goals = control<QTreeWidget>(Views::kGoals, "ListView1");
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

const Seed kThreeGoals{
    {"事业", "健康"},
    {{1, "明天到期", "2009-02-01", 1, 1},
     {2, "今天到期", "2009-01-31", 1, 1},
     {3, "没有日期", QVariant(), 1, 0},
     {4, "已过期", "2009-01-20", 1, 2},
     {5, "健康目标", "2009-03-01", 2, 1}},
    {{1, "任务甲", 1, 1, 1, 0}, {2, "任务乙", 1, 1, 2, 1}, {3, "任务丙", 1, 1, 3, 0}, {4, "健康任务", 5, 2, 1, 0}}};
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
    QTest::newRow("not past") << false << QStringList{"没有日期", "今天到期", "明天到期"}
                              << QStringList{"暂未安排", "2009-1-31", "2009-2-1"};
    QTest::newRow("all times") << true << QStringList{"没有日期", "已过期", "今天到期", "明天到期"}
                               << QStringList{"暂未安排", "2009-1-20", "2009-1-31", "2009-2-1"};
}

void GoalsTest::rolesGoalList()
{
    QFETCH(bool, all);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, days);
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kRoles));
    QCOMPARE(column(ctl("Frmjs", "ListView1"), 1), (QStringList{"事业", "健康"}));
    ctl<QCheckBox>("Frmjs", "Check1")->setChecked(all);
    auto* goals = ctl("Frmjs", "ListView2");
    QCOMPARE(column(goals, 1), titles);
    QCOMPARE(column(goals, 2), days);
    QVERIFY(column(goals, 3).count("事业") == titles.size());

    // Another theme shows its own goals.
    QVERIFY(clickRow(ctl("Frmjs", "ListView1"), 1));
    QCOMPARE(column(goals, 1), QStringList{"健康目标"});
}

void GoalsTest::rolesGoalStates_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("complete") << "wancheng" << 2 << QStringList{"恭喜您又前进了一步，加油，继续努力！"};
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
    auto* goals = ctl("Frmjs", "ListView2");
    const int row = int(column(goals, 0).indexOf("1"));
    QVERIFY(chooseRowMenuItem(goals, row, item));
    QCOMPARE(run.messages, messages);
    QCOMPARE(run.scalar("SELECT zhuangtai FROM mubiao WHERE id = 1").toInt(), state);
    QCOMPARE(goals->topLevelItem(row)->data(1, Qt::UserRole).toInt(), state);
    QCOMPARE(run.scalar("SELECT count(*) FROM mubiao WHERE zhuangtai <> ?", {state}).toInt() > 0, true);
}

void GoalsTest::rolesDeleteTheme()
{
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.tasks.append({5, "无主题的目标任务", 3, 0, 1, 0}); // a task of the theme's goal filed elsewhere
    seed.tasks.append({6, "主题直属任务", 0, 1, 1, 0});
    QVERIFY(start(run, seed, Views::kRoles));
    QVERIFY(ctl("Frmjs", "ListView2")->topLevelItemCount() > 0);
    // The first theme is shown selected; its deletion names what goes with it.
    QCOMPARE(ctl("Frmjs", "ListView1")->selectedItems().size(), 1);
    QVERIFY(press("Frmjs", "Command2"));
    QCOMPARE(run.messages, QStringList{"删除主题“事业”及其 4 个目标、5 个任务？"});
    QCOMPARE(column(ctl("Frmjs", "ListView1"), 1), QStringList{"健康"});
    QCOMPARE(ctl("Frmjs", "ListView2")->topLevelItemCount(), 0);
    QCOMPARE(queryColumn(run, "SELECT id FROM juese"), QStringList{"2"});
    QCOMPARE(queryColumn(run, "SELECT id FROM mubiao"), QStringList{"5"});
    QCOMPARE(queryColumn(run, "SELECT id FROM renwu"), QStringList{"4"});

    // A failing statement keeps everything: the theme, its goals and its tasks.
    run.exec("CREATE TRIGGER refuse BEFORE DELETE ON mubiao BEGIN SELECT RAISE(ABORT, 'refused'); END");
    run.messages.clear();
    QVERIFY(clickRow(ctl("Frmjs", "ListView1"), 0));
    QVERIFY(press("Frmjs", "Command2"));
    QCOMPARE(run.messages.size(), 2); // the question, then the failure
    QCOMPARE(queryColumn(run, "SELECT id FROM juese"), QStringList{"2"});
    QCOMPARE(queryColumn(run, "SELECT id FROM renwu"), QStringList{"4"});
    QCOMPARE(column(ctl("Frmjs", "ListView1"), 1), QStringList{"健康"});
}

void GoalsTest::rolesWithoutThemes()
{
    ProgramRun run;
    QVERIFY(start(run, Seed{{}, {{1, "孤立目标", "2009-05-01", 9, 1}}, {}}, Views::kRoles));
    auto* goals = ctl("Frmjs", "ListView2");
    for (bool all : {false, true}) {
        ctl<QCheckBox>("Frmjs", "Check1")->setChecked(all);
        QCOMPARE(goals->topLevelItemCount(), 0);
    }
    QVERIFY(press("Frmjs", "Command2"));
    QTest::mouseDClick(ctl("Frmjs", "ListView1")->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(run.messages, (QStringList{"没有可删除的行动主题！", "没有可选择编辑的行动主题！"}));
    QVERIFY(!shown("Dlogmodjs"));

    // A goal needs a theme.
    run.messages.clear();
    ctl<QToolBar>("Frmjs", "Toolbar1")->findChild<QAction*>("Button1")->trigger();
    settle();
    QVERIFY(shown("Dlogmb"));
    ctl<QLineEdit>("Dlogmb", "Text1")->setText("新目标");
    QVERIFY(press("Dlogmb", "Command1"));
    QCOMPARE(run.messages, QStringList{"请选择与目标相关的主题！"});
    QVERIFY(shown("Dlogmb"));
    QCOMPARE(run.scalar("SELECT count(*) FROM mubiao").toInt(), 1);
}

void GoalsTest::rolesToolbar()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kRoles));
    auto* bar = ctl<QToolBar>("Frmjs", "Toolbar1");
    auto trigger = [&](const char* name) {
        bar->findChild<QAction*>(name)->trigger();
        settle();
    };
    // Without a goal selected, edit and delete say so.
    trigger("Button2");
    trigger("Button3");
    QCOMPARE(run.messages, (QStringList{"请先选择要编辑的目标！", "请先选择要删除的目标！"}));

    // The add dialog preselects the theme selected in the view.
    QVERIFY(clickRow(ctl("Frmjs", "ListView1"), 1));
    trigger("Button1");
    QCOMPARE(ctl<QComboBox>("Dlogmb", "Cbo1")->currentText(), QStringLiteral("健康"));
    Forms::unload(QStringLiteral("Dlogmb"));
    settle();

    QVERIFY(clickRow(ctl("Frmjs", "ListView2"), 0));
    trigger("Button2");
    QVERIFY(shown("dlomodmb"));
    QCOMPARE(ctl<QLineEdit>("dlomodmb", "Text1")->text(), QStringLiteral("健康目标"));
    Forms::unload(QStringLiteral("dlomodmb"));
    settle();
    trigger("Button3");
    QCOMPARE(ctl("Frmjs", "ListView2")->topLevelItemCount(), 0);
    QCOMPARE(run.scalar("SELECT count(*) FROM mubiao WHERE id = 5").toInt(), 0);
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE mubiao = 5").toInt(), 0);
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
                                << "说明" << QStringList{} << QStringList{"事业", "健康", "  "} << "  |说明";
    QTest::newRow("add quotes") << "Frmaddjuese"
                                << "It's \"我的\""
                                << "a'b" << QStringList{} << QStringList{"事业", "健康", "It's \"我的\""}
                                << "It's \"我的\"|a'b";
    QTest::newRow("add without name") << "Frmaddjuese"
                                      << ""
                                      << "说明" << QStringList{"请输入角色名称！"} << QStringList{"事业", "健康"} << "";
    QTest::newRow("add without description")
        << "Frmaddjuese"
        << "家庭"
        << "" << QStringList{"请输入角色描述！"} << QStringList{"事业", "健康"} << "";
    QTest::newRow("edit clears description") << "Dlogmodjs"
                                             << "健康's"
                                             << "" << QStringList{} << QStringList{"事业", "健康's"} << "健康's|";
    QTest::newRow("edit without name") << "Dlogmodjs"
                                       << ""
                                       << "x" << QStringList{"请输入角色名称！"} << QStringList{"事业", "健康"} << "";
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
    run.exec("UPDATE juese SET content = '旧说明' WHERE id = 2");
    auto* themes = ctl("Frmjs", "ListView1");
    QVERIFY(clickRow(themes, 1));
    if (dialog == "Frmaddjuese") {
        QVERIFY(press("Frmjs", "Command1"));
    } else {
        QVERIFY(clickRow(themes, 1, 1, true));
        QCOMPARE(ctl<QPlainTextEdit>(dialog, "Rtb1")->toPlainText(), QStringLiteral("旧说明"));
    }
    QVERIFY(shown(dialog));
    ctl<QLineEdit>(dialog, "Text1")->setText(name);
    ctl<QPlainTextEdit>(dialog, "Rtb1")->setPlainText(content);
    QVERIFY(press(dialog, "Command1"));
    settle();
    QCOMPARE(run.messages, messages);
    QCOMPARE(shown(dialog), !messages.isEmpty());
    QCOMPARE(column(themes, 1), listed);
    const qint64 id = dialog == "Dlogmodjs" ? 2 : 3;
    const QString row =
        run.scalar("SELECT name || '|' || content FROM juese WHERE id = ? OR (? = 3 AND id > 2)", {id, id}).toString();
    if (!stored.isEmpty())
        QCOMPARE(row, stored);
    else if (dialog == "Dlogmodjs")
        QCOMPARE(row, QStringLiteral("健康|旧说明"));
    // The theme picked in the list stays picked, with its goals.
    QCOMPARE(column(ctl("Frmjs", "ListView2"), 1), QStringList{"健康目标"});
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
    QTest::newRow("yesterday") << Views::kGoals << -1 << false << QStringList{"完成预期的日期不能早于今日！"} << -1;
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
        QVERIFY(press(view, "Command2"));
    } else {
        QVERIFY(clickRow(ctl(view, "ListView1"), 1));
        ctl<QToolBar>(view, "Toolbar1")->findChild<QAction*>("Button1")->trigger();
        settle();
    }
    QVERIFY(shown("Dlogmb"));
    // The goals view offers the first theme; the execution view its selected one.
    QCOMPARE(ctl<QComboBox>("Dlogmb", "Cbo1")->currentText(),
             goalsView ? QStringLiteral("事业") : QStringLiteral("健康"));
    QCOMPARE(ctl<QDateEdit>("Dlogmb", "DTP1")->date(), kToday);
    ctl<QLineEdit>("Dlogmb", "Text1")->setText("攒钱 'A' 50%");
    ctl<QPlainTextEdit>("Dlogmb", "Rtb1")->setPlainText("说\"明\"");
    ctl<QDateEdit>("Dlogmb", "DTP1")->setDate(kToday.addDays(dayOffset));
    ctl<QRadioButton>("Dlogmb", pause ? "Option1_0" : "Option1_1")->setChecked(true);
    QVERIFY(press("Dlogmb", "Command1"));
    settle();
    QCOMPARE(run.messages, messages);
    QCOMPARE(shown("Dlogmb"), state < 0);
    QSqlQuery q = run.query("SELECT title, content, jsdate, juese, zhuangtai, ksdate FROM mubiao WHERE id > 5");
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
    QVERIFY(column(ctl(view, "ListView1"), 2).contains("攒钱 'A' 50%")
            || column(ctl(view, "ListView2"), 1).contains("攒钱 'A' 50%"));
}

void GoalsTest::addGoalFailureKeepsInput()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    run.exec("CREATE TRIGGER refuse BEFORE INSERT ON mubiao BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    QVERIFY(press(Views::kGoals, "Command2"));
    ctl<QLineEdit>("Dlogmb", "Text1")->setText("保留我");
    QVERIFY(press("Dlogmb", "Command1"));
    settle();
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains("disk full"));
    QVERIFY(shown("Dlogmb"));
    QCOMPARE(ctl<QLineEdit>("Dlogmb", "Text1")->text(), QStringLiteral("保留我"));
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
    seed.goals[0][2] = "2009-01-10"; // past
    QVERIFY(start(run, seed, view));
    const bool goalsView = view == Views::kGoals;
    QTreeWidget* goals = ctl(view, goalsView ? "ListView1" : "ListView2");
    if (!goalsView)
        ctl<QCheckBox>(view, "Check1")->setChecked(true);
    const int row = int(column(goals, goalsView ? 2 : 1).indexOf("明天到期"));
    QVERIFY(clickRow(goals, row, 1, true));
    auto* d = qobject_cast<dlomodmb*>(Forms::find("dlomodmb"));
    QVERIFY(d);
    QCOMPARE(d->goalId(), 1);
    QCOMPARE(ctl<QDateEdit>("dlomodmb", "DTP1")->date(), QDate(2009, 1, 10));
    auto* themes = ctl<QComboBox>("dlomodmb", "Cbo1");
    QCOMPARE(themes->currentText(), QStringLiteral("事业"));
    QCOMPARE(themes->count(), 3); // its own theme first, then every theme

    // Another window renames the goal meanwhile: the list follows when the dialog goes.
    run.exec("UPDATE mubiao SET title = '别处改名' WHERE id = 1");
    if (save) {
        ctl<QLineEdit>("dlomodmb", "Text1")->setText("改过's");
        QVERIFY(press("dlomodmb", "Command1"));
    } else {
        ctl<QLineEdit>("dlomodmb", "Text1")->setText("不保存");
        run.answerNext(QMessageBox::No);
        d->close();
    }
    settle();
    QVERIFY(!shown("dlomodmb"));
    // Closed with a change, it asks; "否" lets the change go.
    QCOMPARE(run.messages, save ? QStringList() : QStringList{"是否保存对目标的修改？"});
    const QString title = save ? QStringLiteral("改过's") : QStringLiteral("别处改名");
    QCOMPARE(run.scalar("SELECT title || '|' || jsdate || '|' || juese FROM mubiao WHERE id = 1").toString(),
             title + "|2009-01-10|1");
    QVERIFY(column(goals, goalsView ? 2 : 1).contains(title));
}

void GoalsTest::weekList_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("goals");
    // Goals started on days around the week, all due by the Monday after it.
    QTest::newRow("sunday") << QDate(2009, 2, 1) << "本周目标（2009-2-2 至 2009-2-8）"
                            << QStringList{"周一开始", "下周一到期"};
    QTest::newRow("monday") << QDate(2009, 1, 26) << "本周目标（2009-1-26 至 2009-2-1）"
                            << QStringList{"周日开始", "上周一开始"};
}

void GoalsTest::weekList()
{
    QFETCH(QDate, today);
    QFETCH(QString, title);
    QFETCH(QStringList, goals);
    ProgramRun run(QDateTime(today, QTime(9, 0)));
    Seed seed{{"事业"},
              {{1, "周日开始", "2009-02-01", 1, 1, "2009-02-01"},
               {2, "周一开始", "2009-02-05", 1, 1, "2009-02-02"},
               {3, "下周一到期", "2009-02-09", 1, 1, "2009-02-03"},
               {4, "太晚到期", "2009-02-10", 1, 1, "2009-02-03"},
               {5, "上周一开始", "2009-01-27", 1, 1, "2009-01-26"},
               {6, "更早开始", "2009-01-27", 1, 1, "2009-01-25"}},
              {}};
    QVERIFY(start(run, seed, Views::kGoals));
    QCOMPARE(ctl<QGroupBox>(Views::kGoals, "Frame4")->title(), title);
    auto* week = ctl(Views::kGoals, "ListView3");
    QCOMPARE(column(week, 1), goals);

    // A week forward and back again.
    QVERIFY(press(Views::kGoals, "Command9"));
    const QDate monday = qobject_cast<Frmmb*>(Forms::find(Views::kGoals))->weekStart();
    QCOMPARE(monday.dayOfWeek(), 1);
    QVERIFY(ctl<QGroupBox>(Views::kGoals, "Frame4")->title().startsWith("周目标"));
    QVERIFY(press(Views::kGoals, "Command8"));
    QVERIFY(press(Views::kGoals, "Command8"));
    QCOMPARE(qobject_cast<Frmmb*>(Forms::find(Views::kGoals))->weekStart(), monday.addDays(-14));
    QVERIFY(press(Views::kGoals, "Command10"));
    QCOMPARE(ctl<QGroupBox>(Views::kGoals, "Frame4")->title(), title);
    QCOMPARE(column(week, 1), goals);
}

void GoalsTest::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("theme"); // index in Combo1
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("everything between") << "" << 0
                                        << QStringList{"第二天", "中间 'x'", "5000 个", "50% 达成", "前一天"};
    QTest::newRow("quote") << "'x" << 0 << QStringList{"中间 'x'"};
    QTest::newRow("percent as typed") << "50%" << 0 << QStringList{"50% 达成"};
    QTest::newRow("theme") << "" << 2 << QStringList{"50% 达成"};
}

void GoalsTest::search()
{
    QFETCH(QString, text);
    QFETCH(int, theme);
    QFETCH(QStringList, titles);
    ProgramRun run;
    Seed seed{{"事业", "健康"},
              {{1, "边界当天", "2009-01-01", 1, 1},
               {2, "第二天", "2009-01-02", 1, 0},
               {3, "前一天", "2009-03-01", 1, 2},
               {4, "边界末天", "2009-03-02", 1, 1},
               {5, "50% 达成", "2009-02-20", 2, 2},
               {6, "中间 'x'", "2009-02-10", 1, 1},
               {7, "无日期", QVariant(), 1, 1},
               {8, "5000 个", "2009-02-11", 1, 1},
               {9, "别的主题", "2009-02-12", 9, 1}},
              {}};
    QVERIFY(start(run, seed, Views::kGoals));
    QCOMPARE(ctl<QDateEdit>(Views::kGoals, "DTP1")->date(), QDate(2009, 1, 1));
    QCOMPARE(ctl<QDateEdit>(Views::kGoals, "DTP2")->date(), QDate(2009, 3, 2));
    auto* combo = ctl<QComboBox>(Views::kGoals, "Combo1");
    QCOMPARE(combo->currentText(), QStringLiteral("无"));
    QCOMPARE(combo->count(), 3);
    ctl<QLineEdit>(Views::kGoals, "Text1")->setText(text);
    combo->setCurrentIndex(theme);
    QVERIFY(press(Views::kGoals, "Command1"));
    QCOMPARE(column(ctl(Views::kGoals, "ListView1"), 2), titles);
}

void GoalsTest::dragRenumbers_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("third onto first") << 2 << 0 << QStringList{"任务丙", "任务甲", "任务乙"};
    QTest::newRow("first onto third") << 0 << 2 << QStringList{"任务乙", "任务丙", "任务甲"};
    QTest::newRow("onto itself") << 1 << 1 << QStringList{"任务甲", "任务乙", "任务丙"};
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
    auto* tasks = ctl(Views::kGoals, "ListView2");
    pickGoal("明天到期");
    QCOMPARE(column(tasks, 2), (QStringList{"任务甲", "任务乙", "任务丙"}));
    dragRow(tasks, from, to);
    QCOMPARE(column(tasks, 2), order);
    QCOMPARE(column(tasks, 4), (QStringList{"1", "2", "3"}));
    QCOMPARE(queryColumn(run, "SELECT title FROM renwu WHERE mubiao = 1 ORDER BY xuhao"), order);
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
    pickGoal("明天到期");
    const QString before = queryColumn(run, "SELECT id || ':' || xuhao FROM renwu ORDER BY id").join(' ');
    run.exec(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(ABORT, 'refused'); END").arg(trigger));
    if (action == "delete")
        QVERIFY(press(Views::kGoals, "Command4"));
    else
        dragRow(ctl(Views::kGoals, "ListView2"), 2, 0);
    QCOMPARE(run.messages.size(), action == "delete" ? 2 : 1); // a deletion's question comes first
    QCOMPARE(queryColumn(run, "SELECT id || ':' || xuhao FROM renwu ORDER BY id").join(' '), before);
    QCOMPARE(run.scalar("SELECT count(*) FROM mubiao").toInt(), 5);
    // The list shows what is stored.
    QCOMPARE(column(ctl(Views::kGoals, "ListView2"), 2), (QStringList{"任务甲", "任务乙", "任务丙"}));
}

void GoalsTest::taskFilter()
{
    ProgramRun run;
    Seed seed = kThreeGoals;
    seed.tasks[3][5] = 1; // the health goal's only task is done
    QVERIFY(start(run, seed, Views::kGoals));
    auto* goals = ctl(Views::kGoals, "ListView1");
    auto* tasks = ctl(Views::kGoals, "ListView2");
    auto* openOnly = ctl<QCheckBox>(Views::kGoals, "Check1");
    QCOMPARE(tasks->topLevelItemCount(), 0); // the first goal has no task
    pickGoal("明天到期");
    QCOMPARE(column(tasks, 1), (QStringList{"正在进行", "已经完成", "正在进行"}));
    openOnly->setChecked(true);
    QCOMPARE(column(tasks, 2), (QStringList{"任务甲", "任务丙"}));
    QVERIFY(clickRow(goals, int(column(goals, 2).indexOf("健康目标"))));
    QCOMPARE(tasks->topLevelItemCount(), 0);
    openOnly->setChecked(false);
    QCOMPARE(column(tasks, 2), QStringList{"健康任务"});
}

void GoalsTest::goalCommands()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    auto* goals = ctl(Views::kGoals, "ListView1");
    auto* tasks = ctl(Views::kGoals, "ListView2");
    // Executing goals, by theme name then day.
    QCOMPARE(column(goals, 2), (QStringList{"今天到期", "明天到期", "健康目标"}));
    QCOMPARE(column(goals, 3), (QStringList{"2009-1-31", "2009-2-1", "2009-3-1"}));

    // Completing a goal congratulates and drops it from the executing goals.
    QVERIFY(chooseRowMenuItem(goals, 1, "wancheng"));
    QCOMPARE(run.messages, QStringList{"恭喜，目标完成，继续努力！"});
    QCOMPARE(column(goals, 2), (QStringList{"今天到期", "健康目标"}));
    ctl<QCheckBox>(Views::kGoals, "Check2")->setChecked(true);
    QCOMPARE(goals->topLevelItemCount(), 5);
    QCOMPARE(column(goals, 3).count("还未安排"), 1);

    // Deleting a goal deletes its tasks and empties the task list.
    const int row = int(column(goals, 2).indexOf("明天到期"));
    QVERIFY(clickRow(goals, row));
    QCOMPARE(tasks->topLevelItemCount(), 3);
    QVERIFY(press(Views::kGoals, "Command4"));
    QCOMPARE(tasks->topLevelItemCount(), 0);
    QVERIFY(!column(goals, 2).contains("明天到期"));
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE mubiao = 1").toInt(), 0);
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu").toInt(), 1);
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
    auto* tasks = ctl(Views::kGoals, "ListView2");
    pickGoal("明天到期");
    QVERIFY(chooseRowMenuItem(tasks, row, item));
    const qint64 id = tasks->topLevelItem(row)->text(0).toLongLong();
    QCOMPARE(run.scalar("SELECT zhuangtai FROM renwu WHERE id = ?", {id}).toInt(), state);
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
    const QStringList goalItems{"目标", "kaishi:开始执行", "wancheng:目标完成", "zanting:暂停执行",
                                "weiwancheng:转未完成"};
    QTest::newRow("themes, goal menu") << Views::kRoles << "mubiao" << goalItems;
    QTest::newRow("goals, goal menu") << Views::kGoals << "mubiao" << goalItems;
    QTest::newRow("goals, task menu") << Views::kGoals << "renwu"
                                      << QStringList{"任务", "zfine:任务完成", "zover:任务放弃",
                                                     "zweiwancheng:转未完成"};
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
    QVERIFY(start(run, Seed{{"事业"}, {}, {}}, Views::kGoals));
    for (const char* b : {"Command3", "Command4", "Command6", "Command7"})
        QVERIFY(press(Views::kGoals, b));
    QCOMPARE(run.messages,
             (QStringList{"没有可编辑的目标！", "没有可删除的目标！", "没有可编辑的任务！", "没有可删除的任务！"}));
    // A task needs a goal to belong to.
    run.messages.clear();
    QVERIFY(press(Views::kGoals, "Command5"));
    QCOMPARE(run.messages, QStringList{"请先选择目标，再输入任务！"});
    QVERIFY(!shown("dlogaddrw"));
}

void GoalsTest::taskDialogsFromGoalsView()
{
    ProgramRun run;
    QVERIFY(start(run, kThreeGoals, Views::kGoals));
    auto* goals = ctl(Views::kGoals, "ListView1");
    auto* tasks = ctl(Views::kGoals, "ListView2");
    // The new task belongs to the goal selected, and shows in its list.
    QVERIFY(clickRow(goals, int(column(goals, 2).indexOf("健康目标"))));
    QVERIFY(press(Views::kGoals, "Command5"));
    QVERIFY(shown("dlogaddrw"));
    QCOMPARE(ctl<QComboBox>("dlogaddrw", "Combo4")->currentText(), QStringLiteral("健康目标"));
    ctl<QLineEdit>("dlogaddrw", "Text1")->setText("新跑步任务");
    ctl<QLineEdit>("dlogaddrw", "Text3")->setText("2");
    QVERIFY(press("dlogaddrw", "OKButton"));
    settle();
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(run.scalar("SELECT mubiao || '|' || juese FROM renwu WHERE title = '新跑步任务'").toString(),
             QStringLiteral("5|2"));
    QCOMPARE(column(tasks, 2), (QStringList{"健康任务", "新跑步任务"}));

    // The edit dialog edits the task selected there; the list follows the save.
    QVERIFY(clickRow(tasks, 0, 2, true));
    QVERIFY(shown("Dlogmodrw"));
    QCOMPARE(ctl<QLineEdit>("Dlogmodrw", "Text1")->text(), QStringLiteral("健康任务"));
    ctl<QLineEdit>("Dlogmodrw", "Text1")->setText("改名任务");
    QVERIFY(press("Dlogmodrw", "Command3"));
    settle();
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(column(tasks, 2), (QStringList{"改名任务", "新跑步任务"}));
    QCOMPARE(tasks->currentItem()->text(2), QStringLiteral("改名任务"));
}

QTEST_MAIN(GoalsTest)
#include "test_goals.moc"
