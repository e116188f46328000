#include "shell/myicon.h"

#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/frameaccess.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "shell/reminderservice.h"
#include "views/desktop/frmmissed.h"
#include "views/desktop/frmts.h"

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

    connect(TrayIcon, &QSystemTrayIcon::activated, this, &myicon::TrayIcon_Activated);
    connect(showItem, &QAction::triggered, this, &myicon::show_Click);
    connect(exitItem, &QAction::triggered, this, &myicon::exit_Click);
}

myicon::~myicon()
{
    QApplication::setQuitOnLastWindowClosed(true);
}

void myicon::Form_Load()
{
    TrayIcon->show();
}

void myicon::frameClosed()
{
    if (!Shell::trayAvailable()) {
        // Without a notification area a hidden program could not be reached again: it ends
        // with the frame (open reminder popups stay until they are closed).
        ReminderService::instance().stop();
        Forms::unload(Views::kDesktopBar);
        MsgBox(QStringLiteral("桌面没有通知区域，无法在后台提醒，程序将退出。"));
        return;
    }
    myicon* tray = Forms::find<myicon>();
    if (!tray) {
        tray = new myicon();
        Forms::track(tray);
        tray->Form_Load();
    }
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
    ReminderService::instance().stop();
    QApplication::setQuitOnLastWindowClosed(true);
    // The reminder popups and the missed list go with the program: being tool windows, they
    // would not end it when closed later, and it would run on with nothing on the screen.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (qobject_cast<Frmts*>(w) || qobject_cast<FrmMissed*>(w)))
            w->close();
    }
    // The desktop bar, when left open, is still a way back to the frame.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !qobject_cast<QMenu*>(w))
            return;
    }
    QCoreApplication::quit();
}

void myicon::removeIcon()
{
    TrayIcon->hide();
}

void myicon::closeEvent(QCloseEvent* event)
{
    removeIcon();
    QWidget::closeEvent(event);
    Forms::forget(this);
}
