#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/myicon.h"
#include "shell/reminderservice.h"
#include "testsupport.h"

#include "gui/helpers.h"
#include "views/desktop/frmts.h"
#include "views/desktop/toolbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, u"H:mm:ss"_s));
}

// Says for the length of a test whether the desktop has a notification area.
class TrayPresent
{
public:
    explicit TrayPresent(bool present)
    {
        Shell::setTrayAvailableHook([present] { return present; });
    }
    ~TrayPresent() { Shell::setTrayAvailableHook({}); }
};

// Logs in at the given time, leaving earlier open tasks on their days.
bool loginAt(ProgramRun& run, const QString& time)
{
    run.setNow(at(time));
    run.answerNext(QMessageBox::No);
    const bool ok = run.login();
    run.messages.clear();
    return ok;
}

// Replaces today's tasks; each entry is "time|title|state", an empty time for no reminder.
void setTasks(ProgramRun& run, const QStringList& tasks)
{
    run.exec(u"DELETE FROM renwu WHERE today = ?"_s, {kDay.toString(Qt::ISODate)});
    for (const QString& entry : tasks) {
        const QStringList f = entry.split(u'|');
        run.exec(u"INSERT INTO renwu (title, content, today, intime, zhuangtai) VALUES (?, ?, ?, ?, ?)"_s,
                 {f[1], f[1] + u"的说明"_s, kDay.toString(Qt::ISODate),
                  f[0].isEmpty() ? QVariant() : QVariant(QTime::fromString(f[0], u"H:mm:ss"_s).toString(u"HH:mm:ss"_s)),
                  f[2].toInt()});
    }
}

int stateOf(ProgramRun& run, const QString& title)
{
    return run.scalar(u"SELECT zhuangtai FROM renwu WHERE title = ?"_s, {title}).toInt();
}

// Opens the bar with the frame's button "桌面任务栏".
[[nodiscard]] bool openBar()
{
    if (!click(control<QToolButton>(u"MDIfrm"_s, u"Command2"_s)))
        return false;
    settle();
    return shown(u"ToolBar"_s);
}

QTreeWidget* barList()
{
    return control<QTreeWidget>(u"ToolBar"_s, u"ListView1"_s);
}

// The rows of the bar as "time|title|state".
QStringList barRows()
{
    QStringList rows;
    QTreeWidget* list = barList();
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* r = list->topLevelItem(i);
        rows << r->text(1) + u'|' + r->text(2) + u'|' + r->text(3);
    }
    return rows;
}

QColor colourOf(int row)
{
    return barList()->topLevelItem(row)->foreground(2).color();
}

bool boldOf(int row)
{
    return barList()->topLevelItem(row)->font(2).bold();
}

[[nodiscard]] bool clickImage(const QString& window, const char* name)
{
    auto* image = control<QWidget>(window, QLatin1StringView(name));
    if (!QTest::qVerify(image != nullptr, "image", name, __FILE__, __LINE__))
        return false;
    QTest::mouseClick(image, Qt::LeftButton);
    settle();
    return true;
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

QSystemTrayIcon* trayIcon()
{
    QWidget* tray = find<QWidget>(u"myicon"_s);
    return tray ? tray->findChild<QSystemTrayIcon*>(u"TrayIcon"_s) : nullptr;
}

// Picks an item of the tray menu as a click of the given kind on the icon would.
bool trayMenuItem(QSystemTrayIcon::ActivationReason reason, const QString& item)
{
    QSystemTrayIcon* icon = trayIcon();
    return icon && chooseMenuItem([&] { emit icon->activated(reason); }, item);
}

QTimer* trayTimer()
{
    return find<QWidget>(u"myicon"_s) ? reminderTimer() : nullptr;
}

// Closes the frame as its close button does.
void closeFrame()
{
    find<MDIfrm>(u"MDIfrm"_s)->close();
    settle();
}
} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTodaysTasksInTimeOrder();
    void currentTaskIsOneRow();
    void stateActions_data();
    void stateActions();
    void popupShowsFirstOpenTaskAndDoneRefillsOnce();
    void imagesReturnCloseAndMinimise();
    void closingTheFrameHandsOverToTheTray_data();
    void closingTheFrameHandsOverToTheTray();
    void trayMenuEndsTheProgram_data();
    void trayMenuEndsTheProgram();
    void barLeftAfterTheTrayEndsTheProgram();
    void trayClockReminds();
    void closedBeforeItsFirstPictureStillReminds();
};

void DesktopTest::listsTodaysTasksInTimeOrder()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    setTasks(run, {u"10:00:00|写报告|0"_s, u"|整理书桌|1"_s, u"9:00:00|晨跑|2"_s, u"9:00:00|回信|3"_s});
    QVERIFY(openBar());
    QCOMPARE(find<QWidget>(u"ToolBar"_s)->windowTitle(), QStringLiteral("今日任务"));
    QVERIFY(find<QWidget>(u"ToolBar"_s)->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(barRows(), (QStringList{u"非提醒任务|整理书桌|已经完成"_s, u"9:00:00|晨跑|已经放弃"_s,
                                     u"9:00:00|回信|时间拖延"_s, u"10:00:00|写报告|正在进行"_s}));
    QCOMPARE(menuItems(control<QMenu>(u"ToolBar"_s, u"zhuangtai"_s)),
             (QStringList{u"完成状态"_s, u"zuomian:桌面显示"_s, u"wancheng:任务完成"_s, u"fangqi:放弃任务"_s,
                          u"weiwancheng:转未完成"_s, u"dangqian:当前任务"_s}));

    // Tasks changed elsewhere appear at once.
    run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('午餐', '2009-01-31', '12:00:00')"_s);
    Changes::announce(Changes::Tasks);
    settle();
    QCOMPARE(barRows().size(), 5);
    QCOMPARE(barRows().last(), QStringLiteral("12:00:00|午餐|正在进行"));
}

void DesktopTest::currentTaskIsOneRow()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    setTasks(run, {u"9:00:00|晨跑|0"_s, u"10:00:00|写报告|0"_s, u"11:00:00|开会|0"_s});
    QVERIFY(openBar());
    auto* bar = find<QWidget>(u"ToolBar"_s);

    QVERIFY(chooseRowMenuItem(barList(), 0, u"dangqian"_s));
    QVERIFY(chooseRowMenuItem(barList(), 1, u"dangqian"_s));
    QCOMPARE(barRows(),
             (QStringList{u"9:00:00|晨跑|正在进行"_s, u"10:00:00|写报告|当前任务"_s, u"11:00:00|开会|正在进行"_s}));
    QCOMPARE(colourOf(0), QColor(0, 0, 0));
    QVERIFY(!boldOf(0));
    QCOMPARE(colourOf(1), StateColour::kRed);
    QVERIFY(boldOf(1));
    QCOMPARE(bar->windowTitle(), QStringLiteral("写报告"));
    QCOMPARE(control<QLabel>(u"ToolBar"_s, u"Caption"_s)->text(), QStringLiteral("写报告"));
    QCOMPARE(run.scalar(u"SELECT count(*) FROM renwu WHERE today = '2009-01-31' AND zhuangtai <> 0"_s).toInt(), 0);

    // The mark outlives a refill while the task stays open ...
    Changes::announce(Changes::Tasks);
    settle();
    QCOMPARE(barRows().at(1), QStringLiteral("10:00:00|写报告|当前任务"));
    QVERIFY(boldOf(1));
    // ... and goes with the task's state change.
    QVERIFY(chooseRowMenuItem(barList(), 1, u"wancheng"_s));
    QCOMPARE(barRows().at(1), QStringLiteral("10:00:00|写报告|已经完成"));
    QVERIFY(!boldOf(1));
    QCOMPARE(bar->windowTitle(), QStringLiteral("今日任务"));
}

void DesktopTest::stateActions_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QColor>("refilled");
    QTest::newRow("done") << 0 << "wancheng" << 1 << "已经完成" << StateColour::kDone << StateColour::kDone;
    QTest::newRow("abandon: red, blue once refilled")
        << 0 << "fangqi" << 2 << "已经放弃" << StateColour::kRed << QColor(0, 0, 255);
    QTest::newRow("back to open") << 3 << "weiwancheng" << 0 << "正在进行" << QColor(0, 0, 0) << QColor(0, 0, 0);
}

void DesktopTest::stateActions()
{
    QFETCH(int, before);
    QFETCH(QString, item);
    QFETCH(int, after);
    QFETCH(QString, word);
    QFETCH(QColor, colour);
    QFETCH(QColor, refilled);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    setTasks(run, {u"9:00:00|晨跑|"_s + QString::number(before), u"10:00:00|写报告|0"_s});
    QVERIFY(openBar());

    QVERIFY(chooseRowMenuItem(barList(), 0, item));
    QCOMPARE(stateOf(run, u"晨跑"_s), after);
    QCOMPARE(stateOf(run, u"写报告"_s), 0);
    QCOMPARE(barList()->topLevelItem(0)->text(3), word);
    QCOMPARE(colourOf(0), colour);
    QVERIFY(run.messages.isEmpty());

    find<ToolBar>(u"ToolBar"_s)->ShowRw();
    QCOMPARE(barList()->topLevelItem(0)->text(3), word);
    QCOMPARE(colourOf(0), refilled);
}

void DesktopTest::popupShowsFirstOpenTaskAndDoneRefillsOnce()
{
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    setTasks(run, {u"8:30:00|晨跑|1"_s, u"9:00:00|回信|0"_s, u"9:00:00|写报告|0"_s, u"11:00:00|开会|0"_s});
    QVERIFY(openBar());

    // One popup for the bar: a second "桌面显示" shows it afresh.
    QVERIFY(chooseRowMenuItem(barList(), 3, u"zuomian"_s));
    QVERIFY(chooseRowMenuItem(barList(), 0, u"zuomian"_s));
    settle();
    QCOMPARE(popups().size(), 1);
    Frmts* popup = popups().first();
    // Today's first open task by time, the newest of the two at 9:00.
    QCOMPARE(popup->findChild<QLineEdit*>(u"Text1"_s)->text(), QStringLiteral("写报告"));

    QTest::mouseClick(popup->findChild<QWidget*>(u"Image2"_s), Qt::LeftButton);
    settle();
    QCOMPARE(run.messages, QStringList{u"恭喜，继续努力！"_s});
    QCOMPARE(stateOf(run, u"写报告"_s), 1);
    QVERIFY(popups().isEmpty());
    QCOMPARE(barRows(), (QStringList{u"8:30:00|晨跑|已经完成"_s, u"9:00:00|回信|正在进行"_s,
                                     u"9:00:00|写报告|已经完成"_s, u"11:00:00|开会|正在进行"_s}));
}

void DesktopTest::imagesReturnCloseAndMinimise()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    QVERIFY(openBar());
    QVERIFY(clickImage(u"ToolBar"_s, "Image3"));
    QVERIFY(find<QWidget>(u"ToolBar"_s)->isMinimized());

    // Close the frame as well: the tray takes over.
    QVERIFY(clickImage(u"ToolBar"_s, "Image2"));
    QVERIFY(!find<QWidget>(u"ToolBar"_s));
    QVERIFY(!find<QWidget>(u"MDIfrm"_s));
    QVERIFY(find<QWidget>(u"myicon"_s));

    // The bar left open while in the tray brings the frame back, unminimised, with the today view.
    Forms::show<ToolBar>();
    settle();
    QVERIFY(clickImage(u"ToolBar"_s, "Image1"));
    QVERIFY(!find<QWidget>(u"ToolBar"_s));
    QVERIFY(shown(u"MDIfrm"_s));
    QVERIFY(!find<QWidget>(u"MDIfrm"_s)->isMinimized());
    QVERIFY(shown(u"Frmmain"_s));
    QVERIFY(!find<QWidget>(u"myicon"_s));
    // The today view loaded afresh does not ask again about the overdue tasks on the same day.
    QVERIFY(!run.messages.join(QString()).contains(QStringLiteral("是否放置到今天")));
}

void DesktopTest::closingTheFrameHandsOverToTheTray_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("reason");
    QTest::newRow("tray, left click") << true << "left";
    QTest::newRow("tray, right click") << true << "right";
    QTest::newRow("no notification area") << false << "";
}

void DesktopTest::closingTheFrameHandsOverToTheTray()
{
    QFETCH(bool, present);
    QFETCH(QString, reason);
    const TrayPresent tray(present);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    QVERIFY(openBar());
    closeFrame();
    QVERIFY(!find<QWidget>(u"MDIfrm"_s));

    if (!present) {
        // Said once; nothing hidden is left behind.
        QCOMPARE(run.messages, QStringList{u"桌面没有通知区域，无法在后台提醒，程序将退出。"_s});
        QVERIFY(!find<QWidget>(u"myicon"_s));
        QVERIFY(!find<QWidget>(u"ToolBar"_s));
        QVERIFY(QApplication::quitOnLastWindowClosed());
        return;
    }
    QVERIFY(run.messages.isEmpty());
    QVERIFY(find<QWidget>(u"myicon"_s));
    QVERIFY(!find<QWidget>(u"myicon"_s)->isVisible());
    QVERIFY(shown(u"ToolBar"_s)); // the bar stays on the desktop
    QVERIFY(trayIcon()->isVisible());
    QCOMPARE(trayIcon()->toolTip(), QStringLiteral("Vantorel时间管理软件"));
    QVERIFY(!QApplication::quitOnLastWindowClosed());

    // A double click is no menu click; the menu holds its two items.
    QVERIFY(!trayMenuItem(QSystemTrayIcon::DoubleClick, u"show"_s));
    auto* menu = find<QWidget>(u"myicon"_s)->findChild<QMenu*>(u"sys"_s);
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->objectName() + u'=' + a->text();
    QCOMPARE(items, (QStringList{u"show=显示"_s, u"exit=关闭"_s}));

    run.answerNext(QMessageBox::No);
    QVERIFY(trayMenuItem(reason == "left"_L1 ? QSystemTrayIcon::Trigger : QSystemTrayIcon::Context, u"show"_s));
    QVERIFY(shown(u"MDIfrm"_s));
    QVERIFY(shown(u"Frmmain"_s));
    QVERIFY(!find<QWidget>(u"myicon"_s));
    QVERIFY(QApplication::quitOnLastWindowClosed());
    // The frame's second closing hands over again.
    closeFrame();
    QVERIFY(find<QWidget>(u"myicon"_s));
}

void DesktopTest::trayMenuEndsTheProgram_data()
{
    QTest::addColumn<bool>("popupOpen");
    QTest::newRow("nothing else open") << false;
    // A reminder popup left open must not keep a process running with no window and no icon.
    QTest::newRow("a reminder popup open") << true;
}

void DesktopTest::trayMenuEndsTheProgram()
{
    QFETCH(bool, popupOpen);
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    closeFrame();
    QVERIFY(trayIcon());
    QPointer<Frmts> popup = popupOpen ? Frmts::openNew() : nullptr;
    if (popupOpen)
        QVERIFY(popup && popup->isVisible());
    // The program's event loop ends on "关闭"; a guard ends it otherwise.
    QTimer::singleShot(0, [] { trayMenuItem(QSystemTrayIcon::Trigger, u"exit"_s); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    settle();
    QVERIFY(!find<QWidget>(u"myicon"_s));
    QVERIFY(QApplication::quitOnLastWindowClosed());
    QVERIFY(!popup || !popup->isVisible());
}

void DesktopTest::barLeftAfterTheTrayEndsTheProgram()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:00:00"_s));
    QVERIFY(openBar());
    closeFrame();
    QVERIFY(trayMenuItem(QSystemTrayIcon::Context, u"exit"_s));
    QVERIFY(!find<QWidget>(u"myicon"_s));
    QVERIFY(shown(u"ToolBar"_s)); // still a way back to the frame
    // Closing the frame "as well" from the bar leaves nothing: the program ends.
    QTimer::singleShot(0, [] { (void)clickImage(u"ToolBar"_s, "Image2"); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    settle();
    QVERIFY(!find<QWidget>(u"ToolBar"_s));
}

void DesktopTest::trayClockReminds()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, u"8:59:58"_s));
    setTasks(run, {u"9:00:00|晨跑|1"_s, u"23:59:59|睡觉|0"_s});
    run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('早餐', '2009-02-01', '00:00:30')"_s);
    Changes::announce(Changes::Tasks);
    closeFrame();
    QVERIFY(trayTimer());

    // tick time -> popups open after the tick
    const QList<QPair<QDateTime, int>> ticks = {
        {at(u"8:59:59"_s), 0},
        {at(u"9:00:00"_s), 1}, // even a finished task is reminded at its time
        {at(u"9:00:01"_s), 1},
        {at(u"0:00:02"_s, kDay.addDays(1)), 2}, // the tick that jumped over midnight keeps 23:59:59
        {at(u"0:00:29"_s, kDay.addDays(1)), 2},
        {at(u"0:00:31"_s, kDay.addDays(1)), 3}, // the new day's times, a second late
    };
    for (const auto& [now, expected] : ticks) {
        run.setNow(now);
        QVERIFY(tick(trayTimer()));
        QCOMPARE(popups().size(), expected);
        QCOMPARE(run.playedSounds.size(), expected);
    }
    QVERIFY(run.playedSounds.first().endsWith(u"5.wav"_s));

    // A task timed while only the tray is present is reminded too.
    run.exec(u"INSERT INTO renwu (title, today, intime) VALUES ('午餐', '2009-02-01', '12:00:00')"_s);
    Changes::announce(Changes::Tasks);
    run.setNow(at(u"12:00:00"_s, kDay.addDays(1)));
    QVERIFY(tick(trayTimer()));
    QCOMPARE(popups().size(), 4);
}

// The frame's start-up work waits for its first picture; a frame closed to the tray before
// then still leaves the reminders running.
void DesktopTest::closedBeforeItsFirstPictureStillReminds()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(run.start());
    control<QLineEdit>(u"frmlogin"_s, u"txtPassword"_s)->setText(kSamplePassword);
    QVERIFY(click(control<QPushButton>(u"frmlogin"_s, u"Command1"_s)));
    QVERIFY(!ReminderService::instance().isRunning());
    closeFrame();
    QVERIFY(find<QWidget>(u"myicon"_s));
    QVERIFY(ReminderService::instance().isRunning());
}

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
