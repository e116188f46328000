#include "views/tasks/frmrw.h"

#include "data/db.h"
#include "data/tasks.h"
#include "data/themes.h"
#include "gui/appinfo.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/droplist.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"
#include "views/tasks/dlogaddrw.h"
#include "views/tasks/dlogmodrw.h"
#include "views/tasks/dlogmtime.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
using Gui::button;
using Gui::dropDown;
using Gui::fieldLabel;
using Gui::LinkLabel;

const QString kUnplanned = QStringLiteral("未安排");
const QString kNoReminder = QStringLiteral("非提醒任务");

// Columns of ListView2.
constexpr int kStateColumn = 1;
constexpr int kTitleColumn = 2;
constexpr int kDayColumn = 3;
constexpr int kOrderColumn = 4;

QString dayText(const QDate& day)
{
    return day.isValid() ? Gui::day(day) : kUnplanned;
}

QString timeText(const QTime& time)
{
    return time.isValid() ? Gui::time(time) : kNoReminder;
}

} // namespace

Frmrw::Frmrw(QWidget* parent) : QWidget(parent)
{
    buildControls();

    // Changes made elsewhere (the task dialogs, the reminders) show the default list again and
    // the day's tasks as they now are. This view shows its own changes in place, and so does the
    // time dialog in the day list.
    Deletion::installShortcut(this);
    connect(&Changes::instance(), &Changes::tasksChanged, this, [this](QObject* origin) {
        if (origin == this || qobject_cast<Dlogmtime*>(origin))
            return;
        Db::run([this] {
            renwuliebiao();
            dayList();
        });
    });
    // The filter's choices follow renamed or deleted themes and goals.
    connect(&Changes::instance(), &Changes::themesChanged, this, [this] { Db::run([this] { fillThemes(); }); });
    connect(&Changes::instance(), &Changes::goalsChanged, this,
            [this] { Db::run([this] { fillGoals(Combo1->currentData().toLongLong()); }); });
}

void Frmrw::buildControls()
{
    // The filter.
    Frame1 = new QGroupBox(QStringLiteral("筛选任务"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Combo1 = dropDown(Frame1, QStringLiteral("Combo1"));
    Combo2 = dropDown(Frame1, QStringLiteral("Combo2"));
    Combo3 = dropDown(Frame1, QStringLiteral("Combo3"));
    Command6 = button(Frame1, QStringLiteral("Command6"), QStringLiteral("筛选"));
    Command6->setMinimumWidth(80);

    auto* filter = new QGridLayout(Frame1);
    filter->setHorizontalSpacing(8);
    filter->setVerticalSpacing(6);
    filter->addWidget(fieldLabel(QStringLiteral("任务名称："), Text1), 0, 0);
    filter->addWidget(Text1, 0, 1);
    filter->addWidget(fieldLabel(QStringLiteral("任务状态："), Combo3), 0, 2);
    filter->addWidget(Combo3, 0, 3);
    filter->addWidget(fieldLabel(QStringLiteral("行动主题："), Combo1), 1, 0);
    filter->addWidget(Combo1, 1, 1);
    filter->addWidget(fieldLabel(QStringLiteral("目    标："), Combo2), 1, 2);
    filter->addWidget(Combo2, 1, 3);
    filter->addWidget(Command6, 0, 4, 2, 1, Qt::AlignVCenter);
    filter->setColumnStretch(1, 1);
    filter->setColumnStretch(3, 1);

    // The task list.
    Frame2 = new QGroupBox(QStringLiteral("任务列表"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* taskList = new Gui::DropList(Frame2, QStringLiteral("ListView2"));
    Gui::shapeReportList(taskList, taskList->objectName(),
                         {{QStringLiteral("状态"), Gui::twips(1500)},
                          {QStringLiteral("任务名称"), Gui::twips(5000)},
                          {QStringLiteral("预定日期"), Gui::twips(1500)},
                          {QStringLiteral("序号"), Gui::twips(776)}});
    taskList->onDrop = [this] { ListView2_OLEDragDrop(); };
    ListView2 = taskList;
    // The names take the width the view has to spare.
    ListView2->header()->setStretchLastSection(false);
    ListView2->header()->setSectionResizeMode(kTitleColumn, QHeaderView::Stretch);
    Check1 = new QCheckBox(QStringLiteral("只显示与正在进行中的目标相关的任务"), Frame2);
    Check1->setObjectName(QStringLiteral("Check1"));
    Command1 = button(Frame2, QStringLiteral("Command1"), QStringLiteral("新增"));
    Command2 = button(Frame2, QStringLiteral("Command2"), QStringLiteral("编辑"));
    Command3 = button(Frame2, QStringLiteral("Command3"), QStringLiteral("删除"));
    Command7 = button(Frame2, QStringLiteral("Command7"), QStringLiteral("上一页"));
    Command8 = button(Frame2, QStringLiteral("Command8"), QStringLiteral("下一页"));
    Label7 = new QLabel(Frame2);
    Label7->setObjectName(QStringLiteral("Label7"));
    auto* link = new LinkLabel(QStringLiteral("如何根据第四代时间管理原则安排一周任务？"), Frame2);
    link->onClick = [this] { Label5_Click(); };
    Label5 = link;
    Label5->setObjectName(QStringLiteral("Label5"));

    auto* listOptions = new QHBoxLayout;
    listOptions->addWidget(Check1);
    listOptions->addStretch(1);
    listOptions->addWidget(Label7);

    auto* listButtons = new QHBoxLayout;
    for (QPushButton* b : {Command1, Command2, Command3})
        listButtons->addWidget(b);
    listButtons->addStretch(1);
    listButtons->addWidget(Command7);
    listButtons->addWidget(Command8);

    auto* tasks = new QVBoxLayout(Frame2);
    tasks->setSpacing(6);
    tasks->addWidget(ListView2, 1);
    tasks->addLayout(listOptions);
    tasks->addLayout(listButtons);
    tasks->addWidget(Label5, 0, Qt::AlignRight);

    // The calendar and the day's tasks.
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    MonthView1->setFirstDayOfWeek(Qt::Monday);
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    MonthView1->setMinimumHeight(200);

    Frame3 = new QGroupBox(QStringLiteral("今日任务"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    auto* dayTasks = new Gui::DropList(Frame3, QStringLiteral("ListView1"));
    Gui::shapeReportList(
        dayTasks, dayTasks->objectName(),
        {{QStringLiteral("任务名称"), Gui::twips(2800)}, {QStringLiteral("预定时间"), Gui::twips(1200)}});
    dayTasks->onDrop = [this] { ListView1_OLEDragDrop(); };
    ListView1 = dayTasks;
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    Command4 = button(Frame3, QStringLiteral("Command4"), QStringLiteral("更改时间"));
    Command5 = button(Frame3, QStringLiteral("Command5"), QStringLiteral("移除"));
    auto* dayButtons = new QHBoxLayout;
    dayButtons->addStretch(1);
    dayButtons->addWidget(Command4);
    dayButtons->addWidget(Command5);
    auto* day = new QVBoxLayout(Frame3);
    day->setSpacing(6);
    day->addWidget(ListView1, 1);
    day->addLayout(dayButtons);

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(MonthView1);
    right->addWidget(Frame3, 1);
    auto* rightPanel = new QWidget(this);
    rightPanel->setLayout(right);
    rightPanel->setFixedWidth(300);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(Frame1);
    left->addWidget(Frame2, 1);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(12);
    root->addLayout(left, 1);
    root->addWidget(rightPanel);

    const QList<QWidget*> tabOrder = {Text1,      Combo3,    Combo1,   Combo2,   Command6, ListView2,
                                      Check1,     Command1,  Command2, Command3, Command7, Command8,
                                      MonthView1, ListView1, Command4, Command5};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(Combo1, &QComboBox::activated, this, &Frmrw::Combo1_Click);
    connect(Command6, &QPushButton::clicked, this, &Frmrw::Command6_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &Frmrw::Command6_Click);
    connect(Check1, &QCheckBox::clicked, this, &Frmrw::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &Frmrw::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmrw::Command2_Click);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &Frmrw::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmrw::Command3_Click);
    connect(Command7, &QPushButton::clicked, this, &Frmrw::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Frmrw::Command8_Click);
    connect(MonthView1, &QCalendarWidget::selectionChanged, this, &Frmrw::MonthView1_Click);
    connect(MonthView1, &QCalendarWidget::clicked, this, &Frmrw::MonthView1_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmrw::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Frmrw::Command5_Click);
}

void Frmrw::Form_Load()
{
    page_ = 1;
    {
        const QSignalBlocker quiet(MonthView1);
        MonthView1->setSelectedDate(Clock::today());
    }
    Combo3->clear();
    Combo3->addItem(QStringLiteral("未选择"), TaskList::Filter::AnyDay);
    Combo3->addItem(kUnplanned, TaskList::Filter::Unplanned);
    Combo3->addItem(QStringLiteral("未开始"), TaskList::Filter::NotStarted);
    Combo3->addItem(QStringLiteral("已过期"), TaskList::Filter::Overdue);
    // One edge for the whole load: the first failure stops it with one message.
    Db::run([this] {
        dayList();
        fillThemes();
        renwuliebiao();
    });
}

void Frmrw::fillThemes()
{
    const qint64 chosen = Combo1->currentData().toLongLong();
    const QList<Themes::Choice> themes = Themes::all();
    Combo1->clear();
    Combo1->addItem(QStringLiteral("未选择"), 0);
    for (const Themes::Choice& theme : themes)
        Combo1->addItem(theme.name, theme.id);
    const int index = Combo1->findData(chosen);
    Combo1->setCurrentIndex(std::max(index, 0));
    fillGoals(Combo1->currentData().toLongLong());
}

void Frmrw::fillGoals(qint64 themeId)
{
    const qint64 chosen = Combo2->currentData().toLongLong();
    const QList<Themes::Choice> goals = Themes::goalsOf(themeId);
    Combo2->clear();
    Combo2->addItem(QStringLiteral("未选择"), 0);
    for (const Themes::Choice& goal : goals)
        Combo2->addItem(goal.name, goal.id);
    const int index = Combo2->findData(chosen);
    Combo2->setCurrentIndex(std::max(index, 0));
}

void Frmrw::Combo1_Click()
{
    Db::run([this] {
        // A new theme starts with no goal chosen.
        Combo2->setCurrentIndex(-1);
        fillGoals(Combo1->currentData().toLongLong());
    });
}

TaskList::Filter Frmrw::filterFromFields() const
{
    TaskList::Filter f;
    f.openUnplanned = false;
    f.name = Text1->text();
    f.dayState = Combo3->currentData().toInt();
    f.theme = Combo1->currentData().toLongLong();
    f.goal = Combo2->currentData().toLongLong();
    return f;
}

void Frmrw::Command6_Click()
{
    renwuliebiao(filterFromFields());
}

void Frmrw::Check1_Click()
{
    renwuliebiao(filter_);
}

void Frmrw::renwuliebiao()
{
    renwuliebiao(TaskList::Filter());
}

void Frmrw::renwuliebiao(const TaskList::Filter& filter)
{
    filter_ = filter;
    filter_.goalsInProgress = Check1->isChecked();
    ListView2->clear();
    firstShown_.reset();
    lastShown_.reset();
    const auto page = Db::get([this] { return TaskList::page(filter_, Clock::today(), page_); });
    if (!page)
        return;
    // A page past the end of a shorter list shows its last page, which becomes the current one.
    page_ = page->total > 0 ? page->offset / TaskList::kPageSize + 1 : 1;
    showPage(*page);
}

void Frmrw::showBeside(bool after)
{
    const int target = after ? page_ + 1 : page_ - 1;
    if (target < 1)
        return;
    const std::optional<TaskList::Row> edge = after ? lastShown_ : firstShown_;
    const int shownPage = page_;
    page_ = target;
    if (!edge || target == 1) {
        renwuliebiao(filter_);
        return;
    }
    const auto page = Db::get([&] { return TaskList::pageBeside(filter_, Clock::today(), *edge, after, target); });
    if (!page) {
        page_ = shownPage;
        return;
    }
    // When the list has changed meanwhile so that the page would be empty, short, or beyond the
    // count, it is counted from the top instead.
    const int rows = int(page->rows.size());
    if (rows == 0 || (!after && rows < TaskList::kPageSize) || page->offset + rows > page->total) {
        renwuliebiao(filter_);
        return;
    }
    ListView2->clear();
    showPage(*page);
}

void Frmrw::showPage(const Db::Page<TaskList::Row>& page)
{
    // The rows go into the list together: one insertion for the view to handle, not 25.
    QList<QTreeWidgetItem*> rows;
    rows.reserve(page.rows.size());
    for (const TaskList::Row& task : page.rows)
        rows << taskItem(task);
    ListView2->addTopLevelItems(rows);
    ShowStatusText(ListView2, kStateColumn);
    firstShown_.reset();
    lastShown_.reset();
    if (!page.rows.isEmpty()) {
        firstShown_ = page.rows.first();
        lastShown_ = page.rows.last();
    }

    Command7->setEnabled(page_ > 1);
    Command8->setEnabled(page.total > page_ * TaskList::kPageSize);
    // The counter names the rows shown, never more.
    const int shown = int(page.rows.size());
    const int first = shown == 0 ? 0 : page.offset + 1;
    const int last = shown == 0 ? 0 : page.offset + shown;
    Label7->setText(QStringLiteral("共%1条 当前第%2条—%3条").arg(page.total).arg(first).arg(last));
}

int Frmrw::pageNumber() const
{
    return page_;
}

void Frmrw::setPageNumber(int page)
{
    page_ = std::max(page, 1);
}

const TaskList::Filter& Frmrw::filter() const
{
    return filter_;
}

QTreeWidgetItem* Frmrw::addTaskRow(const TaskList::Row& task)
{
    QTreeWidgetItem* row = taskItem(task);
    ListView2->addTopLevelItem(row);
    return row;
}

QTreeWidgetItem* Frmrw::taskItem(const TaskList::Row& task)
{
    auto* row = new QTreeWidgetItem;
    row->setText(0, QString::number(task.id));
    row->setText(kStateColumn, QString::number(task.state));
    row->setText(kTitleColumn, task.title);
    row->setToolTip(kTitleColumn, task.title);
    row->setIcon(kTitleColumn, Gui::quadrantIcon(Gui::quadrantImage(task.important, task.urgent)));
    row->setText(kDayColumn, dayText(task.day));
    row->setText(kOrderColumn, Tasks::orderText(task.order));
    return row;
}

QTreeWidgetItem* Frmrw::taskRow(qint64 id) const
{
    for (int i = 0; i < ListView2->topLevelItemCount(); ++i) {
        if (Gui::rowId(ListView2->topLevelItem(i)) == id)
            return ListView2->topLevelItem(i);
    }
    return nullptr;
}

qint64 Frmrw::selectedTaskId() const
{
    return Gui::selectedId(ListView2);
}

qint64 Frmrw::selectedDayTaskId() const
{
    return Gui::selectedId(ListView1);
}

QString Frmrw::selectedDayTaskTime() const
{
    const QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    return row ? row->text(2) : QString();
}

void Frmrw::showDayTaskTime(qint64 id, const QTime& time)
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (Gui::rowId(ListView1->topLevelItem(i)) == id)
            ListView1->topLevelItem(i)->setText(2, timeText(time));
    }
}

void Frmrw::Command1_Click()
{
    dlogaddrw::showShared();
}

void Frmrw::Command2_Click()
{
    if (ListView2->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供编辑的任务！"));
        return;
    }
    if (selectedTaskId() == 0)
        return; // the editor would have no task to open
    Dlogmodrw::showShared();
}

void Frmrw::Command3_Click()
{
    if (ListView2->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供删除的任务！"));
        return;
    }
    const qint64 id = selectedTaskId();
    if (id == 0) {
        MsgBox(QStringLiteral("请先选择要删除的任务！"));
        return;
    }
    if (!Db::run([id] { Tasks::remove(id); }))
        return;
    // The page and its counter move up by the deleted row; the day list loses it too.
    Db::run([this] {
        renwuliebiao(filter_);
        dayList();
    });
    Deletion::done(this, this);
}

void Frmrw::Command7_Click()
{
    showBeside(false);
}

void Frmrw::Command8_Click()
{
    showBeside(true);
}

void Frmrw::Label5_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/7.asp"))));
}

void Frmrw::MonthView1_Click()
{
    Db::run([this] { dayList(); });
}

void Frmrw::dayList()
{
    const QDate day = MonthView1->selectedDate();
    Frame3->setTitle(day == Clock::today() ? QStringLiteral("今日任务") : Gui::day(day) + QStringLiteral(" 任务"));
    ListView1->clear();
    const auto tasks = Db::get([&] { return Tasks::ofDay(day); });
    if (!tasks)
        return;
    for (const Tasks::Task& t : *tasks) {
        auto* row = new QTreeWidgetItem(ListView1);
        row->setText(0, QString::number(t.id));
        row->setText(1, t.title);
        row->setToolTip(1, t.title);
        row->setText(2, timeText(t.time));
    }
}

void Frmrw::Command4_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供更改时间的任务！"));
        return;
    }
    if (selectedDayTaskId() == 0)
        return;
    Dlogmtime::showShared();
}

void Frmrw::Command5_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供移除的任务！"));
        return;
    }
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    const qint64 id = Gui::rowId(row);
    if (id == 0 || !Db::run([id] { TaskList::unplan(id); }))
        return;
    delete row;
    renwuliebiao(filter_);
    Changes::announce(Changes::Tasks, this);
}

// A task of the list dropped on the day list is planned for the calendar's day.
void Frmrw::ListView1_OLEDragDrop()
{
    QTreeWidgetItem* source = Gui::selectedRow(ListView2);
    const qint64 id = Gui::rowId(source);
    if (id == 0)
        return;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (Gui::rowId(ListView1->topLevelItem(i)) == id) {
            MsgBox(QStringLiteral("已经有该任务了！"));
            return;
        }
    }
    const QDate day = MonthView1->selectedDate();
    // The task keeps the time it has, and its row says so.
    const auto task = Db::get([&] {
        TaskList::planOn(id, day);
        return Tasks::load(id);
    });
    if (!task)
        return;
    auto* row = new QTreeWidgetItem(ListView1);
    row->setText(0, QString::number(id));
    row->setText(1, source->text(kTitleColumn));
    row->setToolTip(1, source->text(kTitleColumn));
    row->setText(2, timeText(*task ? (*task)->time : QTime()));
    source->setText(kDayColumn, Gui::day(day));
    Changes::announce(Changes::Tasks, this);
}

// A day task dropped on the task list is taken off its day, time and all.
void Frmrw::ListView2_OLEDragDrop()
{
    QTreeWidgetItem* source = Gui::selectedRow(ListView1);
    const qint64 id = Gui::rowId(source);
    if (id == 0)
        return;
    const auto task = Db::get([id] {
        TaskList::unplan(id);
        return TaskList::row(id);
    });
    if (!task)
        return;
    if (QTreeWidgetItem* row = taskRow(id)) {
        row->setText(kDayColumn, kUnplanned);
    } else if (*task) {
        addTaskRow(**task);
        ShowStatusText(ListView2, kStateColumn);
    }
    delete source;
    Changes::announce(Changes::Tasks, this);
}
