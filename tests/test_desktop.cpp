#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/shell.h"
#include "shell/mdifrm.h"
#include "shell/myicon.h"
#include "testsupport.h"

#include "gui/helpers.h"
#include "views/desktop/frmts.h"
#include "views/desktop/toolbar.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using namespace TestSupport;

namespace {
const QDate kDay(2009, 1, 31);

QDateTime at(const QString& time, const QDate& day = kDay)
{
    return QDateTime(day, QTime::fromString(time, "H:mm:ss"));
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
    run.exec("DELETE FROM renwu WHERE today = ?", {kDay.toString(Qt::ISODate)});
    for (const QString& entry : tasks) {
        const QStringList f = entry.split('|');
        run.exec("INSERT INTO renwu (title, content, today, intime, zhuangtai) VALUES (?, ?, ?, ?, ?)",
                 {f[1], f[1] + "的说明", kDay.toString(Qt::ISODate),
                  f[0].isEmpty() ? QVariant() : QVariant(QTime::fromString(f[0], "H:mm:ss").toString("HH:mm:ss")),
                  f[2].toInt()});
    }
}

int stateOf(ProgramRun& run, const QString& title)
{
    return run.scalar("SELECT zhuangtai FROM renwu WHERE title = ?", {title}).toInt();
}

// Opens the bar with the frame's button "桌面任务栏".
[[nodiscard]] bool openBar()
{
    if (!click(control<QToolButton>("MDIfrm", "Command2")))
        return false;
    settle();
    return shown("ToolBar");
}

QTreeWidget* barList()
{
    return control<QTreeWidget>("ToolBar", "ListView1");
}

// The rows of the bar as "time|title|state".
QStringList barRows()
{
    QStringList rows;
    QTreeWidget* list = barList();
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* r = list->topLevelItem(i);
        rows << r->text(1) + '|' + r->text(2) + '|' + r->text(3);
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
    auto* image = control<QWidget>(window, name);
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
    QWidget* tray = find<QWidget>("myicon");
    return tray ? tray->findChild<QSystemTrayIcon*>("TrayIcon") : nullptr;
}

// Picks an item of the tray menu as a click of the given kind on the icon would.
bool trayMenuItem(QSystemTrayIcon::ActivationReason reason, const QString& item)
{
    QSystemTrayIcon* icon = trayIcon();
    return icon && chooseMenuItem([&] { emit icon->activated(reason); }, item);
}

QTimer* trayTimer()
{
    return find<QWidget>("myicon") ? reminderTimer() : nullptr;
}

// Closes the frame as its close button does.
void closeFrame()
{
    find<MDIfrm>("MDIfrm")->close();
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
};

void DesktopTest::listsTodaysTasksInTimeOrder()
{
    ProgramRun run;
    QVERIFY(loginAt(run, "8:00:00"));
    setTasks(run, {"10:00:00|写报告|0", "|整理书桌|1", "9:00:00|晨跑|2", "9:00:00|回信|3"});
    QVERIFY(openBar());
    QCOMPARE(find<QWidget>("ToolBar")->windowTitle(), QStringLiteral("今日任务"));
    QVERIFY(find<QWidget>("ToolBar")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(barRows(), (QStringList{"非提醒任务|整理书桌|已经完成", "9:00:00|晨跑|已经放弃", "9:00:00|回信|时间拖延",
                                     "10:00:00|写报告|正在进行"}));
    QCOMPARE(menuItems(control<QMenu>("ToolBar", "zhuangtai")),
             (QStringList{"完成状态", "zuomian:桌面显示", "wancheng:任务完成", "fangqi:放弃任务",
                          "weiwancheng:转未完成", "dangqian:当前任务"}));

    // Tasks changed elsewhere appear at once.
    run.exec("INSERT INTO renwu (title, today, intime) VALUES ('午餐', '2009-01-31', '12:00:00')");
    Changes::announce(Changes::Tasks);
    settle();
    QCOMPARE(barRows().size(), 5);
    QCOMPARE(barRows().last(), QStringLiteral("12:00:00|午餐|正在进行"));
}

void DesktopTest::currentTaskIsOneRow()
{
    ProgramRun run;
    QVERIFY(loginAt(run, "8:00:00"));
    setTasks(run, {"9:00:00|晨跑|0", "10:00:00|写报告|0", "11:00:00|开会|0"});
    QVERIFY(openBar());
    auto* bar = find<QWidget>("ToolBar");

    QVERIFY(chooseRowMenuItem(barList(), 0, "dangqian"));
    QVERIFY(chooseRowMenuItem(barList(), 1, "dangqian"));
    QCOMPARE(barRows(), (QStringList{"9:00:00|晨跑|正在进行", "10:00:00|写报告|当前任务", "11:00:00|开会|正在进行"}));
    QCOMPARE(colourOf(0), QColor(0, 0, 0));
    QVERIFY(!boldOf(0));
    QCOMPARE(colourOf(1), StateColour::kRed);
    QVERIFY(boldOf(1));
    QCOMPARE(bar->windowTitle(), QStringLiteral("写报告"));
    QCOMPARE(control<QLabel>("ToolBar", "Caption")->text(), QStringLiteral("写报告"));
    QCOMPARE(run.scalar("SELECT count(*) FROM renwu WHERE today = '2009-01-31' AND zhuangtai <> 0").toInt(), 0);

    // The mark outlives a refill while the task stays open ...
    Changes::announce(Changes::Tasks);
    settle();
    QCOMPARE(barRows().at(1), QStringLiteral("10:00:00|写报告|当前任务"));
    QVERIFY(boldOf(1));
    // ... and goes with the task's state change.
    QVERIFY(chooseRowMenuItem(barList(), 1, "wancheng"));
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
    QVERIFY(loginAt(run, "8:00:00"));
    setTasks(run, {"9:00:00|晨跑|" + QString::number(before), "10:00:00|写报告|0"});
    QVERIFY(openBar());

    QVERIFY(chooseRowMenuItem(barList(), 0, item));
    QCOMPARE(stateOf(run, "晨跑"), after);
    QCOMPARE(stateOf(run, "写报告"), 0);
    QCOMPARE(barList()->topLevelItem(0)->text(3), word);
    QCOMPARE(colourOf(0), colour);
    QVERIFY(run.messages.isEmpty());

    find<ToolBar>("ToolBar")->ShowRw();
    QCOMPARE(barList()->topLevelItem(0)->text(3), word);
    QCOMPARE(colourOf(0), refilled);
}

void DesktopTest::popupShowsFirstOpenTaskAndDoneRefillsOnce()
{
    ProgramRun run;
    QVERIFY(loginAt(run, "8:00:00"));
    setTasks(run, {"8:30:00|晨跑|1", "9:00:00|回信|0", "9:00:00|写报告|0", "11:00:00|开会|0"});
    QVERIFY(openBar());

    // One popup for the bar: a second "桌面显示" shows it afresh.
    QVERIFY(chooseRowMenuItem(barList(), 3, "zuomian"));
    QVERIFY(chooseRowMenuItem(barList(), 0, "zuomian"));
    settle();
    QCOMPARE(popups().size(), 1);
    Frmts* popup = popups().first();
    // Today's first open task by time, the newest of the two at 9:00.
    QCOMPARE(popup->findChild<QLineEdit*>("Text1")->text(), QStringLiteral("写报告"));

    QTest::mouseClick(popup->findChild<QWidget*>("Image2"), Qt::LeftButton);
    settle();
    QCOMPARE(run.messages, QStringList{"恭喜，继续努力！"});
    QCOMPARE(stateOf(run, "写报告"), 1);
    QVERIFY(popups().isEmpty());
    QCOMPARE(barRows(), (QStringList{"8:30:00|晨跑|已经完成", "9:00:00|回信|正在进行", "9:00:00|写报告|已经完成",
                                     "11:00:00|开会|正在进行"}));
}

void DesktopTest::imagesReturnCloseAndMinimise()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, "8:00:00"));
    QVERIFY(openBar());
    QVERIFY(clickImage("ToolBar", "Image3"));
    QVERIFY(find<QWidget>("ToolBar")->isMinimized());

    // Close the frame as well: the tray takes over.
    QVERIFY(clickImage("ToolBar", "Image2"));
    QVERIFY(!find<QWidget>("ToolBar"));
    QVERIFY(!find<QWidget>("MDIfrm"));
    QVERIFY(find<QWidget>("myicon"));

    // The bar left open while in the tray brings the frame back, unminimised, with the today view.
    Forms::show<ToolBar>();
    settle();
    QVERIFY(clickImage("ToolBar", "Image1"));
    QVERIFY(!find<QWidget>("ToolBar"));
    QVERIFY(shown("MDIfrm"));
    QVERIFY(!find<QWidget>("MDIfrm")->isMinimized());
    QVERIFY(shown("Frmmain"));
    QVERIFY(!find<QWidget>("myicon"));
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
    QVERIFY(loginAt(run, "8:00:00"));
    QVERIFY(openBar());
    closeFrame();
    QVERIFY(!find<QWidget>("MDIfrm"));

    if (!present) {
        // Said once; nothing hidden is left behind.
        QCOMPARE(run.messages, QStringList{"桌面没有通知区域，无法在后台提醒，程序将退出。"});
        QVERIFY(!find<QWidget>("myicon"));
        QVERIFY(!find<QWidget>("ToolBar"));
        QVERIFY(QApplication::quitOnLastWindowClosed());
        return;
    }
    QVERIFY(run.messages.isEmpty());
    QVERIFY(find<QWidget>("myicon"));
    QVERIFY(!find<QWidget>("myicon")->isVisible());
    QVERIFY(shown("ToolBar")); // the bar stays on the desktop
    QVERIFY(trayIcon()->isVisible());
    QCOMPARE(trayIcon()->toolTip(), QStringLiteral("Vantorel时间管理软件"));
    QVERIFY(!QApplication::quitOnLastWindowClosed());

    // A double click is no menu click; the menu holds its two items.
    QVERIFY(!trayMenuItem(QSystemTrayIcon::DoubleClick, "show"));
    auto* menu = find<QWidget>("myicon")->findChild<QMenu*>("sys");
    QStringList items;
    for (QAction* a : menu->actions())
        items << a->objectName() + '=' + a->text();
    QCOMPARE(items, (QStringList{"show=显示", "exit=关闭"}));

    run.answerNext(QMessageBox::No);
    QVERIFY(trayMenuItem(reason == "left" ? QSystemTrayIcon::Trigger : QSystemTrayIcon::Context, "show"));
    QVERIFY(shown("MDIfrm"));
    QVERIFY(shown("Frmmain"));
    QVERIFY(!find<QWidget>("myicon"));
    QVERIFY(QApplication::quitOnLastWindowClosed());
    // The frame's second closing hands over again.
    closeFrame();
    QVERIFY(find<QWidget>("myicon"));
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
    QVERIFY(loginAt(run, "8:00:00"));
    closeFrame();
    QVERIFY(trayIcon());
    QPointer<Frmts> popup = popupOpen ? Frmts::openNew() : nullptr;
    if (popupOpen)
        QVERIFY(popup && popup->isVisible());
    // The program's event loop ends on "关闭"; a guard ends it otherwise.
    QTimer::singleShot(0, [] { trayMenuItem(QSystemTrayIcon::Trigger, "exit"); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    settle();
    QVERIFY(!find<QWidget>("myicon"));
    QVERIFY(QApplication::quitOnLastWindowClosed());
    QVERIFY(!popup || !popup->isVisible());
}

void DesktopTest::barLeftAfterTheTrayEndsTheProgram()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, "8:00:00"));
    QVERIFY(openBar());
    closeFrame();
    QVERIFY(trayMenuItem(QSystemTrayIcon::Context, "exit"));
    QVERIFY(!find<QWidget>("myicon"));
    QVERIFY(shown("ToolBar")); // still a way back to the frame
    // Closing the frame "as well" from the bar leaves nothing: the program ends.
    QTimer::singleShot(0, [] { (void)clickImage("ToolBar", "Image2"); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    settle();
    QVERIFY(!find<QWidget>("ToolBar"));
}

void DesktopTest::trayClockReminds()
{
    const TrayPresent tray(true);
    ProgramRun run;
    QVERIFY(loginAt(run, "8:59:58"));
    setTasks(run, {"9:00:00|晨跑|1", "23:59:59|睡觉|0"});
    run.exec("INSERT INTO renwu (title, today, intime) VALUES ('早餐', '2009-02-01', '00:00:30')");
    Changes::announce(Changes::Tasks);
    closeFrame();
    QVERIFY(trayTimer());

    // tick time -> popups open after the tick
    const QList<QPair<QDateTime, int>> ticks = {
        {at("8:59:59"), 0},
        {at("9:00:00"), 1}, // even a finished task is reminded at its time
        {at("9:00:01"), 1},
        {at("0:00:02", kDay.addDays(1)), 2}, // the tick that jumped over midnight keeps 23:59:59
        {at("0:00:29", kDay.addDays(1)), 2},
        {at("0:00:31", kDay.addDays(1)), 3}, // the new day's times, a second late
    };
    for (const auto& [now, expected] : ticks) {
        run.setNow(now);
        QVERIFY(tick(trayTimer()));
        QCOMPARE(popups().size(), expected);
        QCOMPARE(run.playedSounds.size(), expected);
    }
    QVERIFY(run.playedSounds.first().endsWith("5.wav"));

    // A task timed while only the tray is present is reminded too.
    run.exec("INSERT INTO renwu (title, today, intime) VALUES ('午餐', '2009-02-01', '12:00:00')");
    Changes::announce(Changes::Tasks);
    run.setNow(at("12:00:00", kDay.addDays(1)));
    QVERIFY(tick(trayTimer()));
    QCOMPARE(popups().size(), 4);
}

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
