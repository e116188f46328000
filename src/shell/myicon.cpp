#include "shell/myicon.h"

#include "data/db.h"
#include "data/reminders.h"
#include "data/tasks.h"
#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/views.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QTimer>

myicon::myicon(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("myicon"));
    setWindowTitle(AppInfo::kTitle);
    // Only the icon stands for the program now: closing the last window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    sys = new QMenu(QStringLiteral("系统菜单"), this);
    sys->setObjectName(QStringLiteral("sys"));
    showItem = sys->addAction(QStringLiteral("显示"));
    showItem->setObjectName(QStringLiteral("show"));
    exitItem = sys->addAction(QStringLiteral("关闭"));
    exitItem->setObjectName(QStringLiteral("exit"));

    TrayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/icons/app.svg")), this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setToolTip(AppInfo::kTitle);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    connect(TrayIcon, &QSystemTrayIcon::activated, this, &myicon::TrayIcon_Activated);
    connect(showItem, &QAction::triggered, this, &myicon::show_Click);
    connect(exitItem, &QAction::triggered, this, &myicon::exit_Click);
    connect(Timer1, &QTimer::timeout, this, &myicon::Timer1_Timer);
    // Tasks added or re-timed meanwhile are reminded too.
    connect(&Changes::instance(), &Changes::tasksChanged, this, &myicon::ModRenwu);
}

myicon::~myicon()
{
    QApplication::setQuitOnLastWindowClosed(true);
}

void myicon::Form_Load()
{
    TrayIcon->show();
    ModRenwu();
    Timer1->start();
}

void myicon::frameClosed(const ReminderClock& clock)
{
    if (!Shell::trayAvailable()) {
        // Without a notification area a hidden program could not be reached again: it ends
        // with the frame (open reminder popups stay until they are closed).
        Forms::unload(Views::kDesktopBar);
        MsgBox(QStringLiteral("桌面没有通知区域，无法在后台提醒，程序将退出。"));
        return;
    }
    myicon* tray = Forms::find<myicon>();
    if (!tray) {
        tray = new myicon();
        Forms::track(tray);
        tray->clock_ = clock; // no second lost or repeated between the two clocks
        tray->Form_Load();
    }
}

void myicon::ModRenwu()
{
    const QDateTime now = Clock::now();
    const auto due = Db::get([&] { return Reminders::ofDay(now.date()); });
    clock_.setReminders(now.date(), due.value_or(QList<Reminders::Due>()), now);
}

void myicon::TrayIcon_Activated(QSystemTrayIcon::ActivationReason reason)
{
    // A left or a right click on the icon opens the menu.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
        sys->popup(QCursor::pos());
}

void myicon::show_Click()
{
    removeIcon();
    FrameAccess::get().showFrame(); // the frame's load unloads this window
    Forms::unload(this);
}

void myicon::exit_Click()
{
    removeIcon();
    Forms::unload(this);
    QApplication::setQuitOnLastWindowClosed(true);
    // Reminder popups still open keep the program until the last of them is closed.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !qobject_cast<QMenu*>(w))
            return;
    }
    QCoreApplication::quit();
}

void myicon::removeIcon()
{
    // The clock stops here (the frame takes over, or the program ends): its check is kept.
    if (Timer1->isActive())
        clock_.keepLastCheck();
    Timer1->stop();
    TrayIcon->hide();
}

void myicon::closeEvent(QCloseEvent* event)
{
    removeIcon();
    QWidget::closeEvent(event);
    Forms::forget(this);
}

void myicon::Timer1_Timer()
{
    // As the frame's clock: after midnight yesterday's last seconds are looked at, then the
    // times of the new day replace them.
    clock_.tick(Clock::now(), [this] { ModRenwu(); });
}
