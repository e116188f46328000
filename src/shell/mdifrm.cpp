#include "shell/mdifrm.h"

#include "data/db.h"
#include "data/reminders.h"
#include "data/tasks.h"
#include "gui/afterpaint.h"
#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/shell.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "shell/myicon.h"
#include "shell/reminderservice.h"
#include "views/backup/dlogbackup.h"
#include "views/contacts/frmrj.h"
#include "views/desktop/toolbar.h"
#include "views/exchange/dlogexchange.h"
#include "views/finance/frmcw.h"
#include "views/goals/frmjs.h"
#include "views/goals/frmmb.h"
#include "views/knowledge/frmff.h"
#include "views/magazine/frmzazhi.h"
#include "views/quadrant/frmquadrant.h"
#include "views/sync/dlogsync.h"
#include "views/sync/syncservice.h"
#include "views/tasks/frmrw.h"
#include "views/today/frmmain.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindowStateChangeEvent>

namespace {

struct ViewEntry
{
    const char* caption;
    const char* viewName;
    const char* icon;
    // Loads the view's shared instance; null while the view is not part of the program yet.
    QWidget* (*load)();
};

// The view bar, in its order.
template <class View>
QWidget* load()
{
    return Forms::instance<View>();
}

// clang-format off
const ViewEntry kViews[] = {
    {"今日安排", "Frmmain", "nav_today", &load<Frmmain>},
    {"行动主题", "Frmjs", "nav_roles", &load<Frmjs>},
    {"我的目标", "Frmmb", "nav_goals", &load<Frmmb>},
    {"我的任务", "Frmrw", "nav_tasks", &load<Frmrw>},
    {"我的财务", "Frmcw", "nav_finance", &load<Frmcw>},
    {"人际关系", "Frmrj", "nav_contacts", &load<Frmrj>},
    {"知识管理", "Frmff", "nav_knowledge", &load<Frmff>},
    {"商业杂志", "FrmZazhi", "nav_magazine", &load<FrmZazhi>},
    {"四象限", "FrmQuadrant", "nav_quadrant", &load<FrmQuadrant>},
};
// clang-format on

const ViewEntry* entryFor(const QString& viewName)
{
    for (const ViewEntry& e : kViews) {
        if (viewName == QLatin1String(e.viewName))
            return &e;
    }
    return nullptr;
}

QIcon icon(const char* name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

MDIfrm::MDIfrm(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(AppInfo::kTitle);
    // No maximise button and no maximise item in the window menu.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    setContextMenuPolicy(Qt::NoContextMenu);

    int index = 0;
    for (const ViewEntry& e : kViews) {
        QAction* button = Toolbar1->addAction(icon(e.icon), QString::fromUtf8(e.caption));
        button->setObjectName(QStringLiteral("Button%1").arg(index + 1));
        button->setEnabled(e.load != nullptr);
        connect(button, &QAction::triggered, this, [this, index] { Toolbar1_ButtonClick(index); });
        if (QWidget* w = Toolbar1->widgetForAction(button))
            w->setMinimumWidth(64);
        ++index;
    }

    // A tool button of the bar beside the view buttons.
    auto toolButton = [this](const QString& name, const QString& text, const char* iconName) {
        auto* b = new QToolButton(Toolbar1);
        b->setObjectName(name);
        b->setText(text);
        b->setIcon(icon(iconName));
        b->setIconSize(QSize(32, 32));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setMinimumWidth(64);
        Toolbar1->addWidget(b);
        return b;
    };

    // The copies of the database, after the views.
    Command3 = toolButton(QStringLiteral("Command3"), QStringLiteral("数据备份"), "backup_nav");
    connect(Command3, &QToolButton::clicked, this, [] { Forms::show<Dlogbackup>(); });
    Command4 = toolButton(QStringLiteral("Command4"), QStringLiteral("导入导出"), "exchange_nav");
    connect(Command4, &QToolButton::clicked, this, [] { Forms::show<DlogExchange>(); });
    // Two-way sync of the tasks with a calendar server.
    Command5 = toolButton(QStringLiteral("Command5"), QStringLiteral("同步"), "sync_nav");
    Command5->setToolTip(QStringLiteral("任务同步（CalDAV）"));
    // Two characters: narrower than the others, so the bar still fits a 1024-pixel screen.
    Command5->setMinimumWidth(44);
    connect(Command5, &QToolButton::clicked, this, [] { Forms::show<DlogSync>(); });

    auto* spacer = new QWidget(Toolbar1);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar1->addWidget(spacer);
    Command2 = toolButton(QStringLiteral("Command2"), QStringLiteral("桌面任务栏"), "desktop_bar");
    Command2->setToolTip(QStringLiteral("在桌面显示今日任务"));
    connect(Command2, &QToolButton::clicked, this, &MDIfrm::Command2_Click);
    Command1 = new QToolButton(Toolbar1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setText(QStringLiteral("软件使用视频演示"));
    Command1->setIcon(icon("video"));
    Command1->setIconSize(QSize(32, 32));
    Command1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Command1->setAutoRaise(true);
    Toolbar1->addWidget(Command1);
    connect(Command1, &QToolButton::clicked, this, &MDIfrm::Command1_Click);

    area_ = new QMdiArea(this);
    area_->setObjectName(QStringLiteral("MdiArea"));
    area_->setBackground(QColor(0xe9, 0xee, 0xf1));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->viewport()->installEventFilter(this);
    setCentralWidget(area_);
}

void MDIfrm::Form_Load()
{
    // Size and centre; the login goes. The rest waits for the frame's first picture.
    QSize size(1200, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(16, 48));
    resize(size);
    WindowPlace::centreOnScreen(this);
    Forms::unload(Views::kLogin);
    Forms::unload(Views::kTray);
    Gui::afterFirstPaint(this, [this] { startWork(); });
}

void MDIfrm::startWork()
{
    // Recurring tasks' occurrences up to today before anything reads them, today's reminders,
    // and the clock running (it goes on where it was when the frame comes back from the tray).
    ReminderService::instance().start();
    // The automatic task sync, when the user turned it on.
    SyncService::instance().applyAutoSetting();
    // A question the today view asks while loading (the overdue tasks) comes over the frame.
    if (!current_)
        showView(Views::kToday);
    QWidget* shown = current_ && current_->widget() ? current_->widget() : this;
    Gui::afterFirstPaint(shown, [this] {
        // What passed while the program was closed, once per run.
        ReminderService::instance().reportMissedWhileClosed();
        ready_ = true;
        emit ready();
    });
}

MDIfrm* MDIfrm::showFrame()
{
    return Forms::show<MDIfrm>();
}

void MDIfrm::ModRenwu()
{
    ReminderService::instance().reload();
}

const ReminderClock& MDIfrm::reminderClock() const
{
    return ReminderService::instance().clock();
}

void MDIfrm::showView(const QString& viewName)
{
    const ViewEntry* entry = entryFor(viewName);
    if (!entry || !entry->load)
        return;
    if (current_) {
        if (QWidget* view = current_->widget())
            Forms::unload(view);
        else
            current_->deleteLater();
        current_ = nullptr;
    }
    QWidget* view = entry->load();
    if (!view)
        return; // the view refused to open and has said why
    auto* sub = new QMdiSubWindow(area_, Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWidget(view);
    area_->addSubWindow(sub);
    current_ = sub;
    fillClientArea();
    sub->show();
    view->setFocus();
}

void MDIfrm::fillClientArea()
{
    if (!current_)
        return;
    const QSize viewport = area_->viewport()->size();
    const QSize wanted = current_->widget() ? current_->widget()->minimumSizeHint() : QSize();
    current_->setGeometry(0, 0, std::max(viewport.width(), wanted.width()),
                          std::max(viewport.height(), wanted.height()));
}

bool MDIfrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area_->viewport() && event->type() == QEvent::Resize)
        fillClientArea();
    return QMainWindow::eventFilter(watched, event);
}

void MDIfrm::changeEvent(QEvent* event)
{
    // The frame is never maximised, whatever asks for it (a window manager's double click).
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

void MDIfrm::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    Forms::forget(this); // unloaded with its views: showing it again loads it afresh
    // Closed to the tray before its first picture: the reminders start all the same.
    if (!ready_ && !ReminderService::instance().isRunning())
        ReminderService::instance().start();
    myicon::frameClosed();
}

void MDIfrm::Toolbar1_ButtonClick(int index)
{
    showView(QLatin1String(kViews[index].viewName));
}

void MDIfrm::Command1_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/jiaocheng/class-1.asp"))));
}

void MDIfrm::Command2_Click()
{
    Forms::show<ToolBar>();
}
