#include "testsupport.h"

#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "shell/mdifrm.h"
#include "views/desktop/frmts.h"
#include "views/finance/piechart.h"
#include "views/tasks/dlogaddrw.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWindow>
#include <cmath>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
template <class T = QTreeWidget>
T* ctl(const QString& window, const QString& name)
{
    return control<T>(window, name);
}

[[nodiscard]] bool press(const QString& window, const QString& name)
{
    return click(ctl<QPushButton>(window, name));
}

void openView(ProgramRun& run, const QString& view)
{
    QVERIFY(run.login());
    find<MDIfrm>(u"MDIfrm"_s)->showView(view);
    settle();
    QVERIFY(shown(view));
    run.messages.clear();
}

QStringList column(const QTreeWidget* list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(c);
    return texts;
}

int rowOf(const QTreeWidget* list, const QString& text, int c = 1)
{
    return int(column(list, c).indexOf(text));
}

// WCAG contrast of a colour against white.
double contrastOnWhite(const QColor& colour)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const double l =
        0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
    return 1.05 / (l + 0.05);
}

// Runs `act` with real message boxes and returns the first box it shows (closed at once), with
// the window it was modal to.
struct SeenBox
{
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* owner = nullptr;
};
SeenBox realBox(const std::function<void()>& act)
{
    SeenBox seen;
    setMsgBoxResponder({});
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = {box->text(), box->icon(), box->windowModality(), box->parentWidget()};
            probe.stop();
            box->done(QMessageBox::No);
        }
    });
    probe.start();
    act();
    // Boxes answered again (by their default) for the rest of the run.
    setMsgBoxResponder([](const QString&, QMessageBox::StandardButtons buttons) {
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    });
    return seen;
}
} // namespace

class ForgivingTest : public QObject
{
    Q_OBJECT

private slots:
    void contactEditsAsked_data();
    void contactEditsAsked();
    void editDialogsAskOnClose_data();
    void editDialogsAskOnClose();
    void accountKeepsTypeNotListed();
    void goalDueTodayIsListed();
    void firstRunMovesGoalStarts();
    void reportFollowsRecords();
    void percentagesAddUp();
    void leftOverOccurrenceNotDoubled();
    void repeatRowOnlyFromRule();
    void plannedOccurrencesShown();
    void todayFollowsMidnight_data();
    void todayFollowsMidnight();
    void overdueQuestionOnceADay();
    void magazineSearchWithoutDirection();
    void firstRunLoginShowsPassword();
    void dialogsStayAboveFrame();
    void boxesModalToTheirWindow_data();
    void boxesModalToTheirWindow();
    void todayMenuWithoutCurrentTask();
    void helpPageThatCannotOpen();
    void windowsFitTheScreen();
    void popupBesideDesktopBar();
    void stateColoursReadable();
};

// A changed field of a contact is saved, dropped or kept when another contact is clicked.
void ForgivingTest::contactEditsAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("stays");
    QTest::newRow("是") << int(QMessageBox::Yes) << true << false;
    QTest::newRow("否") << int(QMessageBox::No) << false << false;
    QTest::newRow("取消") << int(QMessageBox::Cancel) << false << true;
}

void ForgivingTest::contactEditsAsked()
{
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(bool, stays);
    ProgramRun run;
    openView(run, Views::kContacts);
    QTreeWidget* list = ctl(u"Frmrj"_s, u"ListView1"_s);
    QVERIFY(list->topLevelItemCount() >= 2);
    QVERIFY(clickRow(list, 0));
    const qint64 first = list->topLevelItem(0)->text(0).toLongLong();
    const QString before = run.scalar(u"SELECT tel FROM renji WHERE id = ?"_s, {first}).toString();
    ctl<QLineEdit>(u"Frmrj"_s, u"Text3"_s)->setText(u"010-12345678"_s);
    run.answerNext(QMessageBox::StandardButton(answer));
    QVERIFY(clickRow(list, 1));
    QCOMPARE(run.messages, QStringList{u"是否保存对联系人的修改？"_s});
    QVERIFY(run.messageButtons.first().testFlag(QMessageBox::Cancel));
    QCOMPARE(run.scalar(u"SELECT tel FROM renji WHERE id = ?"_s, {first}).toString(),
             saved ? QStringLiteral("010-12345678") : before);
    QCOMPARE(Gui::selectedId(list), stays ? first : list->topLevelItem(1)->text(0).toLongLong());
    QCOMPARE(ctl<QLineEdit>(u"Frmrj"_s, u"Text3"_s)->text() == "010-12345678"_L1, stays);
    // Unchanged details are not asked about.
    run.messages.clear();
    if (!stays) {
        QVERIFY(clickRow(list, 0));
        QVERIFY(run.messages.isEmpty());
    }
}

// Edit dialogs closed with their close button ask about changed fields.
void ForgivingTest::editDialogsAskOnClose_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");
    for (auto [answer, word] :
         {std::pair{QMessageBox::Yes, "是"}, {QMessageBox::No, "否"}, {QMessageBox::Cancel, "取消"}}) {
        QTest::addRow("knowledge %s", word) << "Dlogmodff" << int(answer) << "是否保存对知识的修改？";
        QTest::addRow("goal %s", word) << "dlomodmb" << int(answer) << "是否保存对目标的修改？";
        QTest::addRow("theme %s", word) << "Dlogmodjs" << int(answer) << "是否保存对行动主题的修改？";
        QTest::addRow("task %s", word) << "Dlogmodrw" << int(answer) << "是否保存对任务的修改？";
    }
}

void ForgivingTest::editDialogsAskOnClose()
{
    QFETCH(QString, dialog);
    QFETCH(int, answer);
    QFETCH(QString, question);
    ProgramRun run;
    QString table;
    qint64 id = 0;
    if (dialog == "Dlogmodff"_L1) {
        openView(run, Views::kKnowledge);
        QVERIFY(clickRow(ctl(u"Frmff"_s, u"ListView1"_s), rowOf(ctl(u"Frmff"_s, u"ListView1"_s), u"理财知识"_s, 0), 0));
        QVERIFY(clickRow(ctl(u"Frmff"_s, u"ListView2"_s), 0));
        id = ctl(u"Frmff"_s, u"ListView2"_s)->topLevelItem(0)->text(0).toLongLong();
        QVERIFY(press(u"Frmff"_s, u"Command2"_s));
        table = u"fangfa"_s;
    } else if (dialog == "dlomodmb"_L1) {
        openView(run, Views::kRoles);
        QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView2"_s), 0));
        id = ctl(u"Frmjs"_s, u"ListView2"_s)->topLevelItem(0)->text(0).toLongLong();
        QTest::mouseDClick(
            ctl(u"Frmjs"_s, u"ListView2"_s)->viewport(), Qt::LeftButton, {},
            ctl(u"Frmjs"_s, u"ListView2"_s)->visualItemRect(ctl(u"Frmjs"_s, u"ListView2"_s)->topLevelItem(0)).center());
        table = u"mubiao"_s;
    } else if (dialog == "Dlogmodjs"_L1) {
        openView(run, Views::kRoles);
        QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 0));
        id = ctl(u"Frmjs"_s, u"ListView1"_s)->topLevelItem(0)->text(0).toLongLong();
        QTest::mouseDClick(
            ctl(u"Frmjs"_s, u"ListView1"_s)->viewport(), Qt::LeftButton, {},
            ctl(u"Frmjs"_s, u"ListView1"_s)->visualItemRect(ctl(u"Frmjs"_s, u"ListView1"_s)->topLevelItem(0)).center());
        table = u"juese"_s;
    } else {
        openView(run, Views::kToday);
        QVERIFY(clickRow(ctl(u"Frmmain"_s, u"ListView1"_s), 0));
        id = ctl(u"Frmmain"_s, u"ListView1"_s)->topLevelItem(0)->text(0).toLongLong();
        QVERIFY(press(u"Frmmain"_s, u"Command4"_s));
        table = u"renwu"_s;
    }
    settle();
    QVERIFY(shown(dialog));
    const QString column = table == "juese"_L1 ? u"name"_s : u"title"_s;
    const QString before = run.scalar(u"SELECT %1 FROM %2 WHERE id = ?"_s.arg(column, table), {id}).toString();
    // Closing without a change asks nothing; here the title is changed first.
    ctl<QLineEdit>(dialog, u"Text1"_s)->setText(u"改过的名字"_s);
    run.answerNext(QMessageBox::StandardButton(answer));
    find<QWidget>(dialog)->close();
    settle();
    QCOMPARE(run.messages.value(0), question);
    QCOMPARE(run.scalar(u"SELECT %1 FROM %2 WHERE id = ?"_s.arg(column, table), {id}).toString(),
             answer == QMessageBox::Yes ? QStringLiteral("改过的名字") : before);
    QCOMPARE(shown(dialog), answer == QMessageBox::Cancel);
}

// An account whose type was deleted keeps that type when it is saved.
void ForgivingTest::accountKeepsTypeNotListed()
{
    ProgramRun run;
    QVERIFY(run.start());
    const QString type = run.scalar(u"SELECT leixing FROM zhanghao ORDER BY id LIMIT 1 OFFSET 1"_s).toString();
    QVERIFY(!type.isEmpty());
    run.exec(u"DELETE FROM zhanghaotype WHERE typename = ?"_s, {type});
    openView(run, Views::kFinance);
    ctl<QTabWidget>(Views::kFinance, u"SSTab1"_s)->setCurrentIndex(1);
    QTreeWidget* accounts = ctl(Views::kFinance, u"ListView1"_s);
    QVERIFY(clickRow(accounts, 0)); // another type is shown first
    QVERIFY(clickRow(accounts, 1));
    QCOMPARE(ctl<QComboBox>(Views::kFinance, u"Combo1"_s)->currentText(), type);
    QVERIFY(press(Views::kFinance, u"Command2"_s));
    const qint64 id = accounts->topLevelItem(1)->text(0).toLongLong();
    QCOMPARE(run.scalar(u"SELECT leixing FROM zhanghao WHERE id = ?"_s, {id}).toString(), type);
}

// A goal added with the default day (today) is listed at once.
void ForgivingTest::goalDueTodayIsListed()
{
    ProgramRun run;
    openView(run, Views::kRoles);
    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 0));
    ctl<QToolBar>(u"Frmjs"_s, u"Toolbar1"_s)->findChild<QAction*>(u"Button1"_s)->trigger();
    settle();
    QVERIFY(shown(u"Dlogmb"_s));
    ctl<QLineEdit>(u"Dlogmb"_s, u"Text1"_s)->setText(u"今天到期的目标"_s);
    QVERIFY(press(u"Dlogmb"_s, u"Command1"_s));
    settle();
    QVERIFY(rowOf(ctl(u"Frmjs"_s, u"ListView2"_s), u"今天到期的目标"_s) >= 0);
}

// On a first run years after the sample's day (on another weekday), this week's goals are the
// sample's.
void ForgivingTest::firstRunMovesGoalStarts()
{
    ProgramRun run(QDateTime(QDate(2026, 3, 4), QTime(9, 0)));
    openView(run, Views::kGoals);
    QCOMPARE(run.scalar(u"SELECT min(ksdate) > '2026-01-01' FROM mubiao"_s).toInt(), 1);
    QVERIFY(ctl(Views::kGoals, u"ListView3"_s)->topLevelItemCount() > 0);
}

// The report is summed again after records change, and after a category is renamed.
void ForgivingTest::reportFollowsRecords()
{
    ProgramRun run;
    openView(run, Views::kFinance);
    ctl<QDateEdit>(Views::kFinance, u"DTPicker4"_s)->setDate(QDate(2000, 1, 1));
    QVERIFY(press(Views::kFinance, u"Command10"_s));
    QTreeWidget* report = ctl(Views::kFinance, u"ListView4"_s);
    const int rows = report->topLevelItemCount();
    const QString total = ctl<QWidget>(Views::kFinance, u"Frame4"_s)->property("title").toString();

    ctl<QTabWidget>(Views::kFinance, u"SSTab1"_s)->setCurrentIndex(2);
    ctl<QLineEdit>(Views::kFinance, u"Text5"_s)->setText(u"稿费"_s);
    ctl<QLineEdit>(Views::kFinance, u"Text6"_s)->setText(u"100"_s);
    QVERIFY(press(Views::kFinance, u"Command4"_s));
    QCOMPARE(report->topLevelItemCount(), rows + 1);
    QVERIFY(ctl<QWidget>(Views::kFinance, u"Frame4"_s)->property("title").toString() != total);

    // A renamed category carries its records along.
    const QString category = ctl<QComboBox>(Views::kFinance, u"Combo3"_s)->currentText();
    const int records =
        run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = ? AND shouzhi = 0"_s, {category}).toInt();
    QVERIFY(press(Views::kFinance, u"Command8"_s));
    QTreeWidget* categories = ctl(u"Dlogszlb"_s, u"ListView1"_s);
    QVERIFY(clickRow(categories, rowOf(categories, category)));
    ctl<QLineEdit>(u"Dlogszlb"_s, u"Text1"_s)->setText(u"新名字"_s);
    QVERIFY(press(u"Dlogszlb"_s, u"Command2"_s));
    settle();
    QCOMPARE(run.scalar(u"SELECT count(*) FROM shouzhi WHERE leixing = '新名字' AND shouzhi = 0"_s).toInt(), records);
    // The report was summed again at once: the records show under the new name.
    QVERIFY(rowOf(report, u"新名字"_s) >= 0);
    QCOMPARE(rowOf(report, category), -1);
}

void ForgivingTest::percentagesAddUp()
{
    PieChart chart(u"收入构成"_s, {});
    chart.resize(400, 300);
    chart.setTotals({{u"甲"_s, 10000}, {u"乙"_s, 10000}, {u"丙"_s, 10000}});
    QCOMPARE(chart.legend(), (QStringList{u"甲 1 (33.4%)"_s, u"乙 1 (33.3%)"_s, u"丙 1 (33.3%)"_s}));
    chart.setTotals({{u"甲"_s, 9990}, {u"乙"_s, 5}, {u"丙"_s, 5}});
    QCOMPARE(chart.legend(), (QStringList{u"甲 0.999 (99.9%)"_s, u"乙 0.0005 (0.1%)"_s, u"丙 0.0005 (0.0%)"_s}));
}

// A left-over occurrence of a daily rule does not join today's occurrence: today keeps one row.
void ForgivingTest::leftOverOccurrenceNotDoubled()
{
    ProgramRun run(QDateTime(QDate(2009, 2, 2), QTime(9, 0)));
    QVERIFY(run.start());
    run.exec(
        u"INSERT INTO chongfu (id, title, pinlv, ksday, lastday) VALUES (50, '晨跑', 0, '2009-01-30', '2009-02-01')"_s);
    for (const QString& day : {u"2009-01-30"_s, u"2009-01-31"_s, u"2009-02-01"_s})
        run.exec(u"INSERT INTO renwu (title, type1, today, chongfu, cfday) VALUES ('晨跑', 0, ?, 50, ?)"_s, {day, day});
    run.exec(u"DELETE FROM renwu WHERE today < '2009-02-02' AND chongfu = 0"_s);
    run.exec(u"INSERT INTO renwu (title, today) VALUES ('昨天剩下的', '2009-02-01')"_s);
    run.exec(u"DELETE FROM overdue_asked"_s);
    run.answerNext(QMessageBox::Yes);
    QVERIFY(run.login());
    // Only the plain task is counted and moved; today's occurrence of the rule is the only one.
    QCOMPARE(run.messages.value(0), QStringLiteral("您以前有 1 个未完成任务，是否放置到今天？"));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE chongfu = 50 AND today = '2009-02-02'"_s).toInt(), 1);
    const QStringList titles = column(ctl(u"Frmmain"_s, u"ListView1"_s), 1);
    QCOMPARE(titles.count(u"晨跑"_s), 1);
    QVERIFY(titles.contains(u"昨天剩下的"_s));
}

// A recurring task without a rule shows no repeat row.
void ForgivingTest::repeatRowOnlyFromRule()
{
    ProgramRun run;
    openView(run, Views::kToday);
    const qint64 id = ctl(u"Frmmain"_s, u"ListView1"_s)->topLevelItem(0)->text(0).toLongLong();
    run.exec(u"UPDATE renwu SET type1 = 0, chongfu = 0 WHERE id = ?"_s, {id});
    QVERIFY(clickRow(ctl(u"Frmmain"_s, u"ListView1"_s), 0));
    QVERIFY(press(u"Frmmain"_s, u"Command4"_s));
    QVERIFY(shown(u"Dlogmodrw"_s));
    QCOMPARE(ctl<QComboBox>(u"Dlogmodrw"_s, u"Combo3"_s)->currentText(), QStringLiteral("经常性"));
    QVERIFY(!ctl<QWidget>(u"Dlogmodrw"_s, u"repeatRow"_s)->isVisible());
    // Saving it starts no rule.
    QVERIFY(click(ctl<QPushButton>(u"Dlogmodrw"_s, u"Command3"_s)));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM chongfu"_s).toInt(), 0);
}

// A coming day of the calendar shows the occurrences its rules will make, as planned.
void ForgivingTest::plannedOccurrencesShown()
{
    ProgramRun run;
    QVERIFY(run.start());
    run.exec(u"INSERT INTO chongfu (id, title, pinlv, xingqi, ksday, lastday) VALUES (60, '周会', 2, 1, '2009-01-26', "
             "'2009-01-31')"_s);
    openView(run, Views::kToday);
    auto* calendar = ctl<QCalendarWidget>(u"Frmmain"_s, u"MonthView1"_s);
    QTreeWidget* tasks = ctl(u"Frmmain"_s, u"ListView1"_s);
    calendar->setSelectedDate(QDate(2009, 2, 2)); // a Monday
    const int row = rowOf(tasks, u"周会"_s);
    QVERIFY(row >= 0);
    QCOMPARE(tasks->topLevelItem(row)->text(3), QStringLiteral("计划中"));
    QVERIFY(!(tasks->topLevelItem(row)->flags() & Qt::ItemIsSelectable));
    calendar->setSelectedDate(QDate(2009, 2, 3)); // no meeting on Tuesday
    QCOMPARE(rowOf(tasks, u"周会"_s), -1);
}

void ForgivingTest::todayFollowsMidnight_data()
{
    QTest::addColumn<bool>("picked");
    QTest::newRow("today shown") << false;
    QTest::newRow("another day picked") << true;
}

void ForgivingTest::todayFollowsMidnight()
{
    QFETCH(bool, picked);
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(23, 59, 0)));
    openView(run, Views::kToday);
    auto* calendar = ctl<QCalendarWidget>(u"Frmmain"_s, u"MonthView1"_s);
    if (picked)
        calendar->setSelectedDate(QDate(2009, 1, 20));
    const QDate shownBefore = calendar->selectedDate();
    run.exec(u"INSERT INTO renwu (title, today) VALUES ('新一天的任务', '2009-02-01')"_s);
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(0, 0, 30)));
    QVERIFY(tick(find<QTimer>(u"dayTimer"_s)));
    QCOMPARE(calendar->selectedDate(), picked ? shownBefore : QDate(2009, 2, 1));
    QCOMPARE(rowOf(ctl(u"Frmmain"_s, u"ListView1"_s), u"新一天的任务"_s) >= 0, !picked);
}

// The move-to-today question: not about the sample at the first login, then once a day with the count.
void ForgivingTest::overdueQuestionOnceADay()
{
    ProgramRun run;
    QVERIFY(run.login());
    QVERIFY(!run.messages.join(u""_s).contains(u"是否放置到今天"_s));
    const int open = run.scalar(u"SELECT count(*) FROM renwu WHERE zhuangtai = 0 AND today < '2009-02-01'"_s).toInt();
    QVERIFY(open > 0);
    closeEverything();
    run.setNow(QDateTime(QDate(2009, 2, 1), QTime(8, 0)));
    run.messages.clear();
    run.answerNext(QMessageBox::No);
    QVERIFY(run.login());
    QCOMPARE(run.messages, QStringList{u"您以前有 %1 个未完成任务，是否放置到今天？"_s.arg(open)});
    auto* frame = find<MDIfrm>(u"MDIfrm"_s);
    frame->showView(Views::kGoals);
    settle();
    frame->showView(Views::kToday);
    settle();
    QCOMPARE(run.messages.size(), 1);
}

// With the direction left at "搜索方向" the keyword is looked for in titles and contents.
void ForgivingTest::magazineSearchWithoutDirection()
{
    ProgramRun run;
    openView(run, Views::kMagazine);
    QTreeWidget* list = ctl(Views::kMagazine, u"ListView1"_s);
    const int all = list->topLevelItemCount();
    const QString title = list->topLevelItem(0)->text(1);
    ctl<QLineEdit>(Views::kMagazine, u"Text1"_s)->setText(title);
    QCOMPARE(ctl<QComboBox>(Views::kMagazine, u"Combo1"_s)->currentText(), QStringLiteral("搜索方向"));
    QVERIFY(press(Views::kMagazine, u"Command1"_s));
    QVERIFY(list->topLevelItemCount() >= 1);
    QVERIFY(list->topLevelItemCount() < all);
    QCOMPARE(list->topLevelItem(0)->text(1), title);
    ctl<QLineEdit>(Views::kMagazine, u"Text1"_s)->setText(u"没有这样的文字xyz"_s);
    QVERIFY(press(Views::kMagazine, u"Command1"_s));
    QCOMPARE(list->topLevelItemCount(), 0);
}

void ForgivingTest::firstRunLoginShowsPassword()
{
    ProgramRun run;
    QVERIFY(run.start());
    QVERIFY(ctl<QLabel>(u"frmlogin"_s, u"LabelHint"_s)->isVisible());
    QCOMPARE(ctl<QLabel>(u"frmlogin"_s, u"LabelHint"_s)->text(), QStringLiteral("初始密码：123456"));
    closeEverything();
    QVERIFY(run.start());
    QVERIFY(!ctl<QLabel>(u"frmlogin"_s, u"LabelHint"_s)->isVisible());
}

// Dialogs belong to the frame, so the window manager keeps them above it.
void ForgivingTest::dialogsStayAboveFrame()
{
    ProgramRun run;
    openView(run, Views::kRoles);
    QVERIFY(clickRow(ctl(u"Frmjs"_s, u"ListView1"_s), 0));
    QTest::mouseDClick(
        ctl(u"Frmjs"_s, u"ListView1"_s)->viewport(), Qt::LeftButton, {},
        ctl(u"Frmjs"_s, u"ListView1"_s)->visualItemRect(ctl(u"Frmjs"_s, u"ListView1"_s)->topLevelItem(0)).center());
    find<MDIfrm>(u"MDIfrm"_s)->showView(Views::kFinance);
    settle();
    QVERIFY(press(Views::kFinance, u"Command7"_s));
    QWindow* frame = find<QWidget>(u"MDIfrm"_s)->windowHandle();
    for (const QString& name : {u"Dlogmodjs"_s, u"Dlogzhlb"_s}) {
        QVERIFY2(shown(name), qPrintable(name));
        QCOMPARE(find<QWidget>(name)->windowHandle()->transientParent(), frame);
    }
}

// Real boxes: modal to the window that asks, and a congratulation has the information icon.
void ForgivingTest::boxesModalToTheirWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::newRow("question") << "是否继续？" << int(QMessageBox::Question);
    QTest::newRow("congratulation") << "恭喜，继续努力！" << int(QMessageBox::Information);
}

void ForgivingTest::boxesModalToTheirWindow()
{
    QFETCH(QString, text);
    QFETCH(int, icon);
    ProgramRun run;
    QVERIFY(run.login());
    QWidget* frame = find<QWidget>(u"MDIfrm"_s);
    frame->activateWindow();
    QApplication::setActiveWindow(frame);
    const SeenBox seen = realBox([&] {
        if (icon == QMessageBox::Information)
            MsgDone(text);
        else
            MsgBox(text, QMessageBox::Yes | QMessageBox::No);
    });
    QCOMPARE(seen.text, text);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.modality, Qt::WindowModal);
    QCOMPARE(seen.owner, frame);
}

void ForgivingTest::todayMenuWithoutCurrentTask()
{
    ProgramRun run;
    openView(run, Views::kToday);
    auto* menu = find<QMenu>(u"zhuangtai"_s);
    QVERIFY(menu);
    QVERIFY(!menu->findChild<QAction*>(u"dangqian"_s));
    QVERIFY(menu->findChild<QAction*>(u"wancheng"_s));
}

void ForgivingTest::helpPageThatCannotOpen()
{
    ProgramRun run;
    openView(run, Views::kToday);
    Shell::setOpenUrlResultHook([](const QUrl&) { return false; });
    QTest::mouseClick(ctl<QLabel>(u"Frmmain"_s, u"Label3"_s), Qt::LeftButton);
    Shell::setOpenUrlResultHook({});
    QCOMPARE(run.messages, QStringList{u"无法打开帮助页面"_s});
}

// The frame, the add-task dialog with its repeat row and the planning grids lie within the room
// the desktop leaves; the add-task dialog also fits a screen 800 pixels high with a panel.
void ForgivingTest::windowsFitTheScreen()
{
    ProgramRun run;
    openView(run, Views::kToday);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(area.contains(find<QWidget>(u"MDIfrm"_s)->frameGeometry()));
    QVERIFY(press(u"Frmmain"_s, u"Command1"_s));
    auto* add = find<QWidget>(u"dlogaddrw"_s);
    QVERIFY(add && add->isVisible());
    auto* kind = ctl<QComboBox>(u"dlogaddrw"_s, u"Combo3"_s);
    kind->setCurrentIndex(kind->findText(u"经常性"_s));
    settle();
    QVERIFY(ctl<QWidget>(u"dlogaddrw"_s, u"repeatRow"_s)->isVisible());
    QVERIFY2(add->height() <= 800 - 32 - 40, qPrintable(QString::number(add->height())));
    QVERIFY2(area.contains(add->frameGeometry()), qPrintable(u"%1,%2 %3x%4 in %5x%6"_s.arg(add->x())
                                                                 .arg(add->y())
                                                                 .arg(add->width())
                                                                 .arg(add->height())
                                                                 .arg(area.width())
                                                                 .arg(area.height())));
    add->close();
    for (const QString& button : {u"Command10"_s, u"Command8"_s}) {
        QVERIFY(press(u"Frmmain"_s, button));
        settle();
    }
    for (const QString& grid : {u"FrmDate"_s, u"FrmGuiHua"_s}) {
        QVERIFY2(shown(grid), qPrintable(grid));
        QVERIFY2(area.contains(find<QWidget>(grid)->frameGeometry()), qPrintable(grid));
    }
}

// A reminder popup rests beside the desktop bar, never under it.
void ForgivingTest::popupBesideDesktopBar()
{
    ProgramRun run(QDateTime(QDate(2009, 1, 31), QTime(10, 30)));
    QVERIFY(run.login());
    QVERIFY(click(ctl<QAbstractButton>(u"MDIfrm"_s, u"Command2"_s)));
    settle();
    QWidget* bar = find<QWidget>(u"ToolBar"_s);
    QVERIFY(bar && bar->isVisible());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    bar->move(area.right() - bar->width(), area.bottom() - bar->height());
    Frmts* popup = Frmts::openNew();
    QTRY_VERIFY(!popup->findChild<QTimer*>(u"Timer1"_s)->isActive());
    QVERIFY(!popup->geometry().intersects(bar->frameGeometry()));
    QVERIFY(area.contains(popup->geometry()));
}

// Every state colour reads at 4.5:1 or more on white, in the lists and in the menus' rows.
void ForgivingTest::stateColoursReadable()
{
    ProgramRun run;
    openView(run, Views::kToday);
    QTreeWidget* tasks = ctl(u"Frmmain"_s, u"ListView1"_s);
    QList<QColor> colours;
    for (const QString& item : {u"wancheng"_s, u"fangqi"_s}) {
        QVERIFY(chooseRowMenuItem(tasks, 0, item));
        colours << tasks->topLevelItem(0)->foreground(1).color();
    }
    QTreeWidget list;
    list.setColumnCount(2);
    for (const QString& code : {u"1"_s, u"2"_s, u"3"_s})
        new QTreeWidgetItem(&list, {QString(), code});
    ShowStatusText(&list, 1);
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        colours << list.topLevelItem(i)->foreground(1).color();
    colours << StateColour::kPlanned;
    for (const QColor& c : colours)
        QVERIFY2(contrastOnWhite(c) >= 4.5, qPrintable(c.name()));
    QCOMPARE(colours.first(), QColor("#1a7f37"));
}

QTEST_MAIN(ForgivingTest)
#include "test_forgiving.moc"
