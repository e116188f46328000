#include "views/goals/frmmb.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/tasks.h"
#include "data/themes.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/taskstates.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"
#include "views/goals/dlogmb.h"
#include "views/goals/dlomodmb.h"
#include "views/goals/goalforms.h"
#include "views/tasks/dlogaddrw.h"
#include "views/tasks/dlogmodrw.h"

#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Column of ListView2 holding the task state.
constexpr int kStateColumn = 1;

QLabel* label(QWidget* parent, const QString& name, const QString& text, QWidget* buddy)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

QHBoxLayout* buttonRow(QWidget* lead, const QList<QPushButton*>& buttons)
{
    auto* row = new QHBoxLayout;
    if (lead)
        row->addWidget(lead);
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

// The week that holds the day, Monday to Sunday; on a Sunday, the week that begins the next day.
QDate mondayFor(const QDate& day)
{
    const int fromSunday = day.dayOfWeek() % 7 + 1; // Sunday 1 ... Saturday 7
    return day.addDays(2 - fromSunday);
}
} // namespace

Frmmb::Frmmb(QWidget* parent) : QWidget(parent)
{
    buildControls();

    Deletion::installShortcut(this);
    Changes& changes = Changes::instance();
    connect(&changes, &Changes::goalsChanged, this, [this](QObject* origin) {
        if (origin == this)
            return;
        Db::run([this] {
            MBList();
            WeekMB();
        });
    });
    connect(&changes, &Changes::tasksChanged, this, [this](QObject* origin) {
        if (origin != this)
            RwList();
    });
    connect(&changes, &Changes::themesChanged, this, [this] { MBList(); });
}

void Frmmb::buildControls()
{
    // The search.
    Frame1 = new QGroupBox(QStringLiteral("搜索目标"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    DTP1 = GoalForms::datePicker(Frame1, QStringLiteral("DTP1"));
    DTP2 = GoalForms::datePicker(Frame1, QStringLiteral("DTP2"));
    Combo1 = Gui::dropDown(Frame1, QStringLiteral("Combo1"), 10);
    Command1 = Gui::button(Frame1, QStringLiteral("Command1"), QStringLiteral("筛选"));
    auto* search = new QHBoxLayout(Frame1);
    search->addWidget(label(Frame1, QStringLiteral("Label1"), QStringLiteral("目标："), Text1));
    search->addWidget(Text1, 1);
    search->addSpacing(10);
    search->addWidget(label(Frame1, QStringLiteral("Label2"), QStringLiteral("预期："), DTP1));
    search->addWidget(DTP1);
    search->addWidget(label(Frame1, QStringLiteral("Label5"), QStringLiteral("至"), DTP2));
    search->addWidget(DTP2);
    search->addSpacing(10);
    search->addWidget(label(Frame1, QStringLiteral("Label4"), QStringLiteral("主题："), Combo1));
    search->addWidget(Combo1);
    search->addSpacing(10);
    search->addWidget(Command1);

    // The goals. Columns a little narrower than the twips of the form, so the view fits 1024.
    Frame2 = new QGroupBox(QStringLiteral("目标(或时间进度的节点)"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ListView1 = Gui::reportList(Frame2, QStringLiteral("ListView1"),
                                {{QStringLiteral("行动主题"), Gui::twips(1500)},
                                 {QStringLiteral("目标"), Gui::twips(3400)},
                                 {QStringLiteral("完成期限"), Gui::twips(1500)}});
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    Check2 = new QCheckBox(QStringLiteral("显示所有目标"), Frame2);
    Check2->setObjectName(QStringLiteral("Check2"));
    Command2 = Gui::button(Frame2, QStringLiteral("Command2"), QStringLiteral("新增"));
    Command3 = Gui::button(Frame2, QStringLiteral("Command3"), QStringLiteral("编辑"));
    Command4 = Gui::button(Frame2, QStringLiteral("Command4"), QStringLiteral("删除"));
    auto* goals = new QVBoxLayout(Frame2);
    goals->addWidget(ListView1, 1);
    goals->addLayout(buttonRow(Check2, {Command2, Command3, Command4}));

    // The tasks of the selected goal; a row dropped on another takes its place.
    Frame3 = new QGroupBox(QStringLiteral("相关任务"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    ListView2 = Gui::reportList(Frame3, QStringLiteral("ListView2"),
                                {{QStringLiteral("状态"), Gui::twips(1200)},
                                 {QStringLiteral("任务名称"), Gui::twips(3300)},
                                 {QStringLiteral("执行日期"), Gui::twips(1500)},
                                 {QStringLiteral("排序"), Gui::twips(700)}});
    ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    ListView2->setDragEnabled(true);
    ListView2->setAcceptDrops(true);
    ListView2->viewport()->setAcceptDrops(true);
    ListView2->setDragDropMode(QAbstractItemView::DragDrop);
    ListView2->setDropIndicatorShown(false);
    ListView2->viewport()->installEventFilter(this);
    Check1 = new QCheckBox(QStringLiteral("只显示等待完成的任务"), Frame3);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command5 = Gui::button(Frame3, QStringLiteral("Command5"), QStringLiteral("新增"));
    Command6 = Gui::button(Frame3, QStringLiteral("Command6"), QStringLiteral("编辑"));
    Command7 = Gui::button(Frame3, QStringLiteral("Command7"), QStringLiteral("删除"));
    auto* tasks = new QVBoxLayout(Frame3);
    tasks->addWidget(ListView2, 1);
    tasks->addLayout(buttonRow(Check1, {Command5, Command6, Command7}));

    // The week.
    Frame4 = new QGroupBox(QStringLiteral("本周目标"), this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    ListView3 = Gui::reportList(Frame4, QStringLiteral("ListView3"),
                                {{QStringLiteral("目标名称"), Gui::twips(3400)},
                                 {QStringLiteral("预计完成时间"), Gui::twips(1500)},
                                 {QStringLiteral("相关主题"), Gui::twips(1500)}});
    Command8 = Gui::button(Frame4, QStringLiteral("Command8"), QStringLiteral("上一周"));
    Command9 = Gui::button(Frame4, QStringLiteral("Command9"), QStringLiteral("下一周"));
    Command10 = Gui::button(Frame4, QStringLiteral("Command10"), QStringLiteral("本周"));
    auto* week = new QVBoxLayout(Frame4);
    week->addWidget(ListView3, 1);
    week->addLayout(buttonRow(nullptr, {Command8, Command9, Command10}));

    mubiao = GoalForms::stateMenu(this, [this](int state) { setGoalState(state); });
    renwu = new QMenu(QStringLiteral("任务"), this);
    renwu->setObjectName(QStringLiteral("renwu"));
    // Named apart from the goal menu's items, which share the window.
    TaskStates::addItems(renwu, ListView2, kStateColumn,
                         {{Tasks::Done, QStringLiteral("zfine")},
                          {Tasks::Abandoned, QStringLiteral("zover")},
                          {Tasks::Open, QStringLiteral("zweiwancheng")}},
                         this);

    // Search across the top; goals over the week on the left, the tasks on the right.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(Frame1, 0, 0, 1, 2);
    grid->addWidget(Frame2, 1, 0);
    grid->addWidget(Frame4, 2, 0);
    grid->addWidget(Frame3, 1, 1, 2, 1);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(2, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    setMinimumSize(960, 520);

    connect(Command1, &QPushButton::clicked, this, &Frmmb::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &Frmmb::Command1_Click);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmmb::ListView1_ItemClick);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &Frmmb::ListView1_DblClick);
    connect(ListView1, &QWidget::customContextMenuRequested, this, &Frmmb::ListView1_MouseUp);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &Frmmb::ListView2_DblClick);
    connect(ListView2, &QWidget::customContextMenuRequested, this, &Frmmb::ListView2_MouseUp);
    connect(Check1, &QCheckBox::toggled, this, &Frmmb::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &Frmmb::Check2_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmmb::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmmb::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmmb::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Frmmb::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Frmmb::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Frmmb::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, [this] { showWeek(monday_.addDays(-7)); });
    connect(Command9, &QPushButton::clicked, this, [this] { showWeek(monday_.addDays(7)); });
    connect(Command10, &QPushButton::clicked, this, [this] { showWeek(mondayFor(Clock::today())); });
}

void Frmmb::Form_Load()
{
    const QDate today = Clock::today();
    DTP1->setDate(today.addDays(-30));
    DTP2->setDate(today.addDays(30));
    monday_ = mondayFor(today);
    sunday_ = monday_.addDays(6);
    // One edge for the whole load: a failing database stops it with one message.
    Db::run([&] {
        MBList();
        if (ListView1->topLevelItemCount() > 0)
            RwList();
        Combo1->clear();
        Combo1->addItem(QStringLiteral("无"), 0);
        for (const Themes::Choice& theme : Themes::all())
            Combo1->addItem(theme.name, theme.id);
        Combo1->setCurrentIndex(0);
        WeekMB();
    });
}

void Frmmb::MBList()
{
    const auto goals = Db::get([&] { return Goals::listed(Check2->isChecked()); });
    if (goals)
        fillGoals(*goals);
}

void Frmmb::fillGoals(const QList<Goals::Goal>& goals)
{
    const qint64 selected = Gui::selectedId(ListView1);
    bool shownStays = false;
    {
        const QSignalBlocker quiet(ListView1);
        GoalForms::clearRows(ListView1);
        QList<QTreeWidgetItem*> rows;
        rows.reserve(goals.size());
        for (const Goals::Goal& g : goals) {
            auto* row = new QTreeWidgetItem({QString::number(g.id), g.themeName, g.title,
                                             g.end.isValid() ? GoalForms::day(g.end) : QStringLiteral("还未安排")});
            GoalForms::tipIfLong(row, 2);
            row->setIcon(2, GoalForms::stateIcon(g.state));
            row->setData(2, Qt::UserRole, g.state);
            shownStays = shownStays || g.id == shownGoalId_;
            rows.append(row);
        }
        ListView1->addTopLevelItems(rows);
        // The goal the user picked stays picked when it is still listed; else the first is, unless
        // the user has just deleted the picked one here.
        if (!GoalForms::reselect(ListView1, rows, selected) && (!filled_ || selected != 0))
            Gui::selectFirst(ListView1);
        filled_ = true;
    }
    // Tasks of a goal that has left the list are not shown under another one.
    if (!shownStays) {
        ListView2->clear();
        shownGoalId_ = 0;
    }
}

void Frmmb::RwList()
{
    // The list follows "只显示等待完成的任务" whatever refills it.
    fillTasks(Check1->isChecked());
}

void Frmmb::fillTasks(bool openOnly)
{
    // The selected task stays selected when it is listed again.
    const qint64 selectedTask = shownGoalId_ == selectedGoalId() ? selectedTaskId() : 0;
    dropTarget_ = nullptr;
    GoalForms::clearRows(ListView2);
    shownGoalId_ = selectedGoalId();
    if (shownGoalId_ == 0)
        return;
    const auto tasks = Db::get([&] { return Goals::tasks(shownGoalId_, openOnly); });
    if (!tasks)
        return;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(tasks->size());
    for (const Goals::TaskRow& t : *tasks) {
        const int image = Gui::quadrantImage(t.important, t.urgent);
        auto* row = new QTreeWidgetItem({QString::number(t.id), QString::number(t.state), t.title,
                                         t.day.isValid() ? GoalForms::day(t.day) : QStringLiteral("还未安排"),
                                         Tasks::orderText(t.order)});
        GoalForms::tipIfLong(row, 2);
        row->setIcon(2, Gui::quadrantIcon(image));
        row->setData(2, Qt::UserRole, image);
        rows.append(row);
    }
    ListView2->addTopLevelItems(rows);
    {
        // The words and colours come in one repaint rather than a change signal per cell.
        const QSignalBlocker quiet(ListView2->model());
        ShowStatusText(ListView2, kStateColumn);
    }
    ListView2->viewport()->update();
    GoalForms::reselect(ListView2, rows, selectedTask);
}

void Frmmb::WeekMB()
{
    const bool current = monday_ == mondayFor(Clock::today());
    Frame4->setTitle(QStringLiteral("%1（%2 至 %3）")
                         .arg(current ? QStringLiteral("本周目标") : QStringLiteral("周目标"), Gui::day(monday_),
                              Gui::day(sunday_)));
    GoalForms::clearRows(ListView3);
    const auto goals = Db::get([&] { return Goals::ofWeek(monday_, sunday_); });
    if (!goals)
        return;
    QList<QTreeWidgetItem*> rows;
    for (const Goals::Goal& g : *goals) {
        auto* row = new QTreeWidgetItem(
            {QString::number(g.id), g.title, g.end.isValid() ? GoalForms::day(g.end) : QString(), g.themeName});
        GoalForms::tipIfLong(row, 1);
        rows.append(row);
    }
    ListView3->addTopLevelItems(rows);
}

void Frmmb::showWeek(const QDate& monday)
{
    monday_ = monday;
    sunday_ = monday.addDays(6);
    WeekMB();
}

qint64 Frmmb::selectedGoalId() const
{
    return Gui::selectedId(ListView1);
}

qint64 Frmmb::selectedTaskId() const
{
    return Gui::selectedId(ListView2);
}

void Frmmb::Command1_Click()
{
    const QString text = Text1->text();
    const qint64 theme = Combo1->currentData().toLongLong();
    const auto goals = Db::get([&] { return Goals::search(DTP1->date(), DTP2->date(), text, theme); });
    if (goals)
        fillGoals(*goals);
}

void Frmmb::ListView1_ItemClick()
{
    if (Gui::selectedRow(ListView1))
        RwList();
}

void Frmmb::ListView1_DblClick()
{
    if (Gui::selectedRow(ListView1))
        Forms::show<dlomodmb>();
}

void Frmmb::ListView1_MouseUp(const QPoint& pos)
{
    if (QTreeWidgetItem* row = ListView1->itemAt(pos))
        ListView1->setCurrentItem(row);
    mubiao->popup(ListView1->viewport()->mapToGlobal(pos));
}

void Frmmb::ListView2_DblClick()
{
    if (selectedTaskId() != 0)
        Dlogmodrw::showShared();
}

void Frmmb::ListView2_MouseUp(const QPoint& pos)
{
    TaskStates::popupOverRow(renwu, ListView2, pos);
}

void Frmmb::Check1_Click()
{
    RwList();
}

void Frmmb::Check2_Click()
{
    MBList();
}

void Frmmb::Command2_Click()
{
    Forms::show<Dlogmb>();
}

void Frmmb::Command3_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可编辑的目标！"));
        return;
    }
    Forms::show<dlomodmb>();
}

void Frmmb::Command4_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可删除的目标！"));
        return;
    }
    const qint64 id = selectedGoalId();
    if (id == 0) {
        MsgBox(QStringLiteral("请先选择要删除的目标！"));
        return;
    }
    if (!GoalForms::removeGoal(id))
        return;
    Gui::dropRow(ListView1, Gui::rowWithId(ListView1, id));
    dropTarget_ = nullptr;
    ListView2->clear();
    shownGoalId_ = 0;
    Deletion::done(this, this);
    WeekMB();
}

void Frmmb::Command5_Click()
{
    dlogaddrw::showShared();
}

void Frmmb::Command6_Click()
{
    if (ListView2->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可编辑的任务！"));
        return;
    }
    if (selectedTaskId() != 0)
        Dlogmodrw::showShared();
}

void Frmmb::Command7_Click()
{
    if (ListView2->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可删除的任务！"));
        return;
    }
    QTreeWidgetItem* row = Gui::selectedRow(ListView2);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要删除的任务！"));
        return;
    }
    if (!Db::run([id = Gui::rowId(row)] { Tasks::remove(id); }))
        return;
    if (row == dropTarget_)
        dropTarget_ = nullptr;
    Gui::dropRow(ListView2, row);
    Deletion::done(this, this);
}

void Frmmb::setGoalState(int state)
{
    const qint64 id = Gui::selectedId(ListView1);
    if (id == 0 || !Db::run([&] { Goals::setState(id, state); }))
        return;
    Changes::announce(Changes::Goals, this);
    if (state == Goals::Completed)
        MsgDone(QStringLiteral("恭喜，目标完成，继续努力！"));
    MBList();
}

bool Frmmb::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ListView2->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        markDropTarget(ListView2->itemAt(drag->position().toPoint()));
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::DragLeave:
        markDropTarget(nullptr);
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // Accepted as a copy: the list's own drag code must not remove the dragged row again.
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        dropTask(drop->position().toPoint());
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void Frmmb::markDropTarget(QTreeWidgetItem* row)
{
    if (row == dropTarget_)
        return;
    if (dropTarget_) {
        for (int c = 1; c < ListView2->columnCount(); ++c)
            dropTarget_->setBackground(c, QBrush());
    }
    dropTarget_ = row;
    if (row) {
        const QColor mark = ListView2->palette().color(QPalette::Highlight).lighter(170);
        for (int c = 1; c < ListView2->columnCount(); ++c)
            row->setBackground(c, mark);
    }
}

void Frmmb::dropTask(const QPoint& pos)
{
    QTreeWidgetItem* target = ListView2->itemAt(pos);
    QTreeWidgetItem* dragged = Gui::selectedRow(ListView2);
    markDropTarget(nullptr);
    if (!target || !dragged)
        return;
    const int to = ListView2->indexOfTopLevelItem(target);
    ListView2->takeTopLevelItem(ListView2->indexOfTopLevelItem(dragged));
    ListView2->insertTopLevelItem(to, dragged);
    ListView2->setCurrentItem(dragged);

    QList<qint64> order;
    order.reserve(ListView2->topLevelItemCount());
    for (int i = 0; i < ListView2->topLevelItemCount(); ++i)
        order.append(Gui::rowId(ListView2->topLevelItem(i)));
    if (!Db::run([&] { Goals::renumber(order); })) {
        RwList(); // nothing was stored: show the order that holds
        return;
    }
    Changes::announce(Changes::Tasks, this);
    RwList();
}
