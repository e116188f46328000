#include "views/today/frmmain.h"

#include "data/db.h"
#include "data/diary.h"
#include "data/passwords.h"
#include "data/recurrence.h"
#include "data/statements.h"
#include "data/tasks.h"
#include "data/users.h"
#include "gui/appinfo.h"
#include "gui/appstate.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/offthread.h"
#include "gui/prompt.h"
#include "gui/shell.h"
#include "gui/taskstates.h"
#include "gui/undonotice.h"
#include "gui/views.h"
#include "gui/widgets.h"
#include "views/desktop/frmts.h"
#include "views/plan/frmdate.h"
#include "views/plan/frmguihua.h"
#include "views/recurring/occurrences.h"
#include "views/tasks/dlogaddrw.h"
#include "views/tasks/dlogmodrw.h"
#include "views/today/dlogsm.h"

#include <QAction>
#include <QBrush>
#include <QCalendarWidget>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
using Gui::button;
using Gui::LinkLabel;
using Gui::textBox;

const QString kMotto = QStringLiteral("警句");

// Column of ListView1 holding the state, and the role of column 1 keeping the quadrant image.
constexpr int kStateColumn = 3;
constexpr int kImageRole = Qt::UserRole;

void fillStatements(QTreeWidget* list, Statements::Kind kind)
{
    list->clear();
    Db::run([&] {
        for (const Statements::Item& s : Statements::of(kind)) {
            auto* row = new QTreeWidgetItem(list);
            row->setText(0, QString::number(s.id));
            row->setText(1, s.title);
            row->setToolTip(1, s.title);
        }
    });
}

} // namespace

Frmmain::Frmmain(QWidget* parent) : QWidget(parent)
{
    buildControls();

    // Other windows' changes refill the lists; this view's own state changes show in their row.
    Deletion::installShortcut(this);
    Changes& changes = Changes::instance();
    connect(&changes, &Changes::tasksChanged, this, [this](QObject* origin) {
        if (origin == this)
            return;
        followToday();
        RwList(false);
    });
    dayTimer_ = new QTimer(this);
    dayTimer_->setObjectName(QStringLiteral("dayTimer"));
    dayTimer_->setInterval(30 * 1000);
    connect(dayTimer_, &QTimer::timeout, this, [this] {
        if (followedDay_.isValid() && Clock::today() != followedDay_ && calendarDate() == followedDay_)
            showCalendarDay(); // followToday() moves it first
    });
    dayTimer_->start();
    connect(&changes, &Changes::statementsChanged, this, [this] {
        Lsv2Show();
        Lsv3Show();
    });
}

Frmmain::~Frmmain()
{
    // The description box loses its focus while it is destroyed, after this view's members.
    RichTextBox1->removeEventFilter(this);
}

void Frmmain::buildControls()
{
    // Left: the calendar, the password change and the help link, then mottos and missions.
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    MonthView1->setFirstDayOfWeek(Qt::Monday);
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    MonthView1->setGridVisible(false);
    MonthView1->setMinimumHeight(220);

    auto* passwordLabel = new QLabel(QStringLiteral("新密码："), this);
    passwordLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(Text2);
    auto* confirmLabel = new QLabel(QStringLiteral("确认："), this);
    confirmLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TextConfirm = new QLineEdit(this);
    TextConfirm->setObjectName(QStringLiteral("TextConfirm"));
    TextConfirm->setEchoMode(QLineEdit::Password);
    confirmLabel->setBuddy(TextConfirm);
    Command3 = button(this, QStringLiteral("Command3"), QStringLiteral("更改登录密码"));

    auto* link = new LinkLabel(QStringLiteral("每日时间管理准则？"), this);
    link->onClick = [this] { Label3_Click(); };
    Label3 = link;
    Label3->setObjectName(QStringLiteral("Label3"));

    SSTab2 = new QTabWidget(this);
    SSTab2->setObjectName(QStringLiteral("SSTab2"));
    ListView2 = Gui::reportList(SSTab2, QStringLiteral("ListView2"), {{QStringLiteral("人生格言"), Gui::twips(7056)}});
    ListView3 = Gui::reportList(SSTab2, QStringLiteral("ListView3"), {{QString(), Gui::twips(7056)}});
    ListView3->setHeaderHidden(true);
    SSTab2->addTab(ListView2, kMotto);
    SSTab2->addTab(ListView3, QStringLiteral("使命"));
    Command7 = button(this, QStringLiteral("Command7"), QStringLiteral("增加"));
    Command9 = button(this, QStringLiteral("Command9"), QStringLiteral("删除"));

    // Right: today's tasks with their description and actions, and the diary.
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));

    auto* tasksPage = new QWidget(SSTab1);
    ListView1 = Gui::reportList(tasksPage, QStringLiteral("ListView1"),
                                {{QStringLiteral("任务名称"), Gui::twips(4410)},
                                 {QStringLiteral("时间安排"), Gui::twips(2470)},
                                 {QStringLiteral("状态"), Gui::twips(1764)}});
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    // The name takes the width the time and state leave.
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* descriptionLabel = new QLabel(QStringLiteral("任务说明："), tasksPage);
    RichTextBox1 = textBox(tasksPage, QStringLiteral("RichTextBox1"));
    descriptionLabel->setBuddy(RichTextBox1);
    RichTextBox1->installEventFilter(this);
    RichTextBox1->setEnabled(false); // until a task is chosen
    Command1 = button(tasksPage, QStringLiteral("Command1"), QStringLiteral("增加任务"));
    Command4 = button(tasksPage, QStringLiteral("Command4"), QStringLiteral("修改任务"));
    Command2 = button(tasksPage, QStringLiteral("Command2"), QStringLiteral("删除任务"));
    Command6 = button(tasksPage, QStringLiteral("Command6"), QStringLiteral("修改说明"));
    Command10 = button(tasksPage, QStringLiteral("Command10"), QStringLiteral("按时间查看规划"));
    Command8 = button(tasksPage, QStringLiteral("Command8"), QStringLiteral("按事务查看规划"));

    auto* taskButtons = new QHBoxLayout;
    for (QPushButton* b : {Command1, Command4, Command2, Command6})
        taskButtons->addWidget(b);
    taskButtons->addStretch();
    taskButtons->addWidget(Command10);
    taskButtons->addWidget(Command8);

    auto* tasksLayout = new QVBoxLayout(tasksPage);
    tasksLayout->addWidget(ListView1, 3);
    tasksLayout->addSpacing(4);
    tasksLayout->addWidget(descriptionLabel);
    tasksLayout->addWidget(RichTextBox1, 1);
    tasksLayout->addLayout(taskButtons);
    SSTab1->addTab(tasksPage, QStringLiteral("今日任务"));

    auto* diaryPage = new QWidget(SSTab1);
    Label2 = new QLabel(QStringLiteral("日志的作用？日志可以记一些什么内容？"), diaryPage);
    Label2->setObjectName(QStringLiteral("Label2"));
    RichTextBox2 = textBox(diaryPage, QStringLiteral("RichTextBox2"));
    Command5 = button(diaryPage, QStringLiteral("Command5"), QStringLiteral("记录"));
    auto* diaryButtons = new QHBoxLayout;
    diaryButtons->addStretch();
    diaryButtons->addWidget(Command5);
    auto* diaryLayout = new QVBoxLayout(diaryPage);
    diaryLayout->addWidget(Label2);
    diaryLayout->addWidget(RichTextBox2, 1);
    diaryLayout->addLayout(diaryButtons);
    SSTab1->addTab(diaryPage, QStringLiteral("今日日志"));

    zhuangtai = TaskStates::newMenu(this, QStringLiteral("完成情况"), [this] { zuomian_Click(); });
    TaskStates::addItems(zhuangtai, ListView1, kStateColumn, {Tasks::Done, Tasks::Abandoned, Tasks::Open}, this);
    // "当前任务" marks a row of the desktop bar only; here it would do nothing, so it is not offered.
    Occurrences::addStopItem(
        zhuangtai, [this] { return selectedTaskId(); }, this);

    // Layout.
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(passwordLabel);
    passwordRow->addWidget(Text2, 1);
    passwordRow->addWidget(confirmLabel);
    passwordRow->addWidget(TextConfirm, 1);
    passwordRow->addWidget(Command3);

    auto* statementButtons = new QHBoxLayout;
    statementButtons->addStretch();
    statementButtons->addWidget(Command7);
    statementButtons->addWidget(Command9);

    auto* left = new QVBoxLayout;
    left->addWidget(MonthView1);
    left->addLayout(passwordRow);
    left->addWidget(Label3, 0, Qt::AlignRight);
    left->addSpacing(6);
    left->addWidget(SSTab2, 1);
    left->addLayout(statementButtons);

    auto* leftPanel = new QWidget(this);
    leftPanel->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    // A third of the room, up to the width of the statement column; the tasks take the rest.
    leftPanel->setMinimumWidth(300);
    leftPanel->setMaximumWidth(Gui::twips(7056) + 30);

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(12);
    root->addWidget(leftPanel, 1);
    root->addWidget(SSTab1, 2);

    // Tab order follows the reading order: left column top to bottom, then the tasks.
    setTabOrder(MonthView1, Text2);
    setTabOrder(Text2, TextConfirm);
    setTabOrder(TextConfirm, Command3);
    setTabOrder(Command3, SSTab2);
    setTabOrder(SSTab2, ListView2);
    setTabOrder(ListView2, ListView3);
    setTabOrder(ListView3, Command7);
    setTabOrder(Command7, Command9);
    setTabOrder(Command9, SSTab1);
    setTabOrder(SSTab1, ListView1);
    setTabOrder(ListView1, RichTextBox1);
    setTabOrder(RichTextBox1, Command1);
    setTabOrder(Command1, Command4);
    setTabOrder(Command4, Command2);
    setTabOrder(Command2, Command6);
    setTabOrder(Command6, RichTextBox2);
    setTabOrder(RichTextBox2, Command5);

    connect(MonthView1, &QCalendarWidget::selectionChanged, this, &Frmmain::MonthView1_SelectionChanged);
    connect(MonthView1, &QCalendarWidget::clicked, this, &Frmmain::MonthView1_Click);
    if (auto* days = MonthView1->findChild<QTableView*>())
        days->viewport()->installEventFilter(this);
    connect(ListView1, &QTreeWidget::itemClicked, this, &Frmmain::ListView1_ItemClick);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmmain::ListView1_SelectionChanged);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &Frmmain::ListView1_DblClick);
    connect(ListView1, &QWidget::customContextMenuRequested, this, &Frmmain::ListView1_MouseUp);
    connect(Command1, &QPushButton::clicked, this, &Frmmain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmmain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Frmmain::Command3_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &Frmmain::Command3_Click);
    connect(TextConfirm, &QLineEdit::returnPressed, this, &Frmmain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Frmmain::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Frmmain::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Frmmain::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Frmmain::Command7_Click);
    connect(Command9, &QPushButton::clicked, this, &Frmmain::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, [] { Forms::show<FrmDate>(); });
    connect(Command8, &QPushButton::clicked, this, [] { Forms::show<FrmGuiHua>(); });
    connect(SSTab2, &QTabWidget::currentChanged, this, &Frmmain::SSTab2_Click);
}

void Frmmain::Form_Load()
{
    const QDate today = Clock::today();
    {
        const QSignalBlocker quiet(MonthView1);
        MonthView1->setSelectedDate(today);
    }
    followedDay_ = today;
    // One edge for the whole load: a database that fails stops it at the first step, with one
    // message.
    Db::run([&] {
        // Open tasks left on earlier days may move to today; the question comes once a day.
        const int overdue = Tasks::overdueAskedOn(today) ? 0 : Tasks::overdueCount(today);
        if (overdue > 0) {
            Tasks::markOverdueAsked(today);
            if (MsgBox(QStringLiteral("您以前有 %1 个未完成任务，是否放置到今天？").arg(overdue),
                       QMessageBox::Yes | QMessageBox::No)
                == QMessageBox::Yes) {
                Tasks::moveOverdueTo(today);
                Changes::announce(Changes::Tasks, this);
            }
        }
        RwList(true);
        DiaryShow();
        Lsv2Show();
        Lsv3Show();
    });
}

void Frmmain::RwList(bool frist)
{
    const QDate day = frist ? Clock::today() : calendarDate();
    // What is typed in the description is stored before the list changes under it.
    saveDescription();
    const qint64 described = loadedTaskId_;
    ListView1->clear();
    const auto tasks = Db::get([&] { return Tasks::ofDay(day); });
    if (!tasks) {
        clearDescription();
        return;
    }
    QTreeWidgetItem* describedRow = nullptr;
    for (const Tasks::Task& t : *tasks) {
        auto* row = new QTreeWidgetItem(ListView1);
        const int image = Gui::quadrantImage(t.important, t.urgent);
        row->setText(0, QString::number(t.id));
        row->setText(1, t.title);
        row->setToolTip(1, t.title + QLatin1Char('\n') + Gui::quadrantTip(image));
        row->setIcon(1, Gui::quadrantIcon(image));
        row->setData(1, kImageRole, image);
        row->setText(2, t.time.isValid() ? Gui::time(t.time) : QStringLiteral("非提醒任务"));
        row->setText(kStateColumn, QString::number(t.state));
        if (t.id == described)
            describedRow = row;
    }
    ShowStatusText(ListView1, kStateColumn);
    // The occurrences recurring tasks will make on a coming day, before they are made: shown in
    // grey as planned, and not chosen for any action (they are no task yet).
    const auto planned = Db::get([&] { return Recurrence::planned(day, Clock::today()); });
    for (const Tasks::Task& t : planned.value_or(QList<Tasks::Task>())) {
        auto* row = new QTreeWidgetItem(ListView1);
        row->setText(0, QStringLiteral("0"));
        row->setText(1, t.title);
        row->setText(2, t.time.isValid() ? Gui::time(t.time) : QStringLiteral("非提醒任务"));
        row->setText(kStateColumn, QStringLiteral("计划中"));
        row->setToolTip(1, t.title + QStringLiteral("\n重复任务，到这一天时生成"));
        row->setIcon(1, Gui::quadrantIcon(Gui::quadrantImage(t.important, t.urgent)));
        row->setFlags(Qt::ItemIsEnabled);
        for (int c = 1; c < ListView1->columnCount(); ++c)
            row->setForeground(c, QBrush(StateColour::kPlanned));
    }
    // The box belongs to the selected task: a task still listed stays selected with its
    // description as stored now; otherwise nothing is selected and the box is closed.
    if (describedRow) {
        const QSignalBlocker quiet(ListView1);
        ListView1->setCurrentItem(describedRow);
        loadedTaskId_ = 0;
        loadDescription(describedRow);
    } else {
        clearDescription();
    }
}

void Frmmain::Lsv2Show()
{
    fillStatements(ListView2, Statements::Motto);
}

void Frmmain::Lsv3Show()
{
    fillStatements(ListView3, Statements::Mission);
}

qint64 Frmmain::selectedTaskId() const
{
    return Gui::selectedId(ListView1);
}

QDate Frmmain::chosenDay() const
{
    return calendarDate();
}

QDate Frmmain::calendarDate() const
{
    return MonthView1->selectedDate();
}

QString Frmmain::statementTab() const
{
    return SSTab2->tabText(SSTab2->currentIndex());
}

bool Frmmain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == RichTextBox1 && event->type() == QEvent::FocusOut)
        RichTextBox1_LostFocus();
    // A mouse press on the calendar's days may change the selection; its click follows.
    if (watched != RichTextBox1 && event->type() == QEvent::MouseButtonPress)
        dayPressed_ = true;
    return QWidget::eventFilter(watched, event);
}

void Frmmain::hideEvent(QHideEvent* event)
{
    // Leaving the view (another view of the bar, closing the frame) keeps a description being
    // typed and asks about a diary being written; minimising the frame leaves both alone.
    if (!event->spontaneous()) {
        if (RichTextBox1->hasFocus())
            RichTextBox1_LostFocus();
        confirmDiary();
    }
    QWidget::hideEvent(event);
}

// The calendar date's tasks and diary; the description box keeps its text.
void Frmmain::MonthView1_SelectionChanged()
{
    // A day picked with the mouse has loaded here and its click must not load it again.
    loadedByPress_ = dayPressed_;
    showCalendarDay();
}

// A click on the day already selected reloads it (no selection change comes first).
void Frmmain::MonthView1_Click()
{
    if (!loadedByPress_)
        showCalendarDay();
    loadedByPress_ = false;
    dayPressed_ = false;
}

void Frmmain::followToday()
{
    const QDate today = Clock::today();
    if (!followedDay_.isValid() || today == followedDay_)
        return;
    // A day the user picked stays; the day that was today gives way to the new one.
    if (calendarDate() == followedDay_) {
        confirmDiary();
        const QSignalBlocker quiet(MonthView1);
        MonthView1->setSelectedDate(today);
        DiaryShow();
    }
    followedDay_ = today;
}

void Frmmain::showCalendarDay()
{
    followToday();
    confirmDiary();
    Db::run([this] {
        RwList(false);
        DiaryShow();
    });
}

void Frmmain::ListView1_ItemClick(QTreeWidgetItem* item)
{
    loadDescription(item);
}

void Frmmain::ListView1_SelectionChanged()
{
    // Moving the selection with the keyboard shows the description as a click does.
    const QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (row && Gui::rowId(row) != loadedTaskId_)
        loadDescription(row);
}

void Frmmain::ListView1_DblClick()
{
    if (selectedTaskId() != 0)
        Dlogmodrw::showShared();
}

void Frmmain::ListView1_MouseUp(const QPoint& pos)
{
    TaskStates::popupOverRow(zhuangtai, ListView1, pos);
}

void Frmmain::RichTextBox1_LostFocus()
{
    if (selectedTaskId() != 0)
        saveDescription();
}

void Frmmain::loadDescription(const QTreeWidgetItem* row)
{
    const qint64 id = Gui::rowId(row);
    if (id == 0)
        return;
    // Replacing the text while the box still has the focus counts as its focus loss.
    if (RichTextBox1->hasFocus())
        RichTextBox1_LostFocus();
    const auto task = Db::get([id] { return Tasks::load(id); }).value_or(std::nullopt);
    if (!task)
        return;
    loadedTaskId_ = id;
    loadedText_ = task->content;
    RichTextBox1->setPlainText(task->content);
    RichTextBox1->setEnabled(true);
}

void Frmmain::saveDescription()
{
    const QString text = RichTextBox1->toPlainText();
    if (loadedTaskId_ == 0 || text == loadedText_)
        return;
    storeDescription(text);
}

void Frmmain::clearDescription()
{
    loadedTaskId_ = 0;
    loadedText_.clear();
    RichTextBox1->clear();
    // Closed until a row is chosen: nothing can be typed that has no task to go to.
    RichTextBox1->setEnabled(false);
}

void Frmmain::Command1_Click()
{
    dlogaddrw::showShared();
    ShowStatusText(ListView1, kStateColumn);
}

void Frmmain::Command2_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供删除的任务"));
        return;
    }
    QTreeWidgetItem* row = Gui::selectedRow(ListView1);
    if (!row) {
        MsgBox(QStringLiteral("请先选择要删除的任务！"));
        return;
    }
    if (!Db::run([id = Gui::rowId(row)] { Tasks::remove(id); }))
        return;
    Gui::dropRow(ListView1, row);
    clearDescription();
    // A deleted task must not go on raising reminders today.
    Deletion::done(this, this);
}

void Frmmain::Command3_Click()
{
    // Login trims what is typed, so a password is kept without surrounding blanks.
    const QString password = Text2->text().trimmed();
    if (password.isEmpty()) {
        MsgBox(QStringLiteral("请输入更新密码"));
        Text2->setFocus();
        return;
    }
    // Both boxes are masked: the second catches a typo that would lock the user out.
    if (TextConfirm->text().trimmed() != password) {
        MsgBox(QStringLiteral("两次输入的新密码不一致"));
        TextConfirm->setFocus();
        TextConfirm->selectAll();
        return;
    }
    // The slow hash runs off the window's thread; only the hash is stored.
    QPointer<Frmmain> self(this);
    if (!Db::run([&] {
            const QString hashed = OffThread::wait([password] { return Passwords::hash(password); });
            Users::changePassword(hashed);
        }))
        return;
    MsgDone(QStringLiteral("密码更改成功！"));
    if (!self)
        return;
    Text2->clear();
    TextConfirm->clear();
}

void Frmmain::Command4_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供修改选择的今日任务"));
        return;
    }
    if (selectedTaskId() == 0)
        return; // the editor would have no task to open
    Dlogmodrw::showShared();
}

void Frmmain::Command5_Click()
{
    const auto saved = storeDiary(calendarDate());
    if (!saved)
        return;
    if (*saved == Diary::Saved::Added) {
        MsgDone(QStringLiteral("添加日志成功！"));
        Command5->setText(QStringLiteral("修改"));
    } else {
        MsgDone(QStringLiteral("修改日志成功！"));
    }
}

void Frmmain::Command6_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可供修改的任务说明"));
        return;
    }
    const qint64 selected = selectedTaskId();
    if (selected == 0)
        return;
    // The box belongs to the task it was loaded from; an emptied box is written to the selected task.
    if (loadedTaskId_ == 0)
        loadedTaskId_ = selected;
    storeDescription(RichTextBox1->toPlainText());
}

void Frmmain::storeDescription(const QString& text)
{
    if (!Db::run([&] { Tasks::setContent(loadedTaskId_, text); }))
        return;
    loadedText_ = text;
    Changes::announce(Changes::Tasks, this);
}

void Frmmain::Command7_Click()
{
    Forms::show<DlogSM>();
}

void Frmmain::Command9_Click()
{
    QTreeWidget* list = statementTab() == kMotto ? ListView2 : ListView3;
    if (list->topLevelItemCount() == 0)
        return; // an empty list: nothing to delete
    const qint64 id = Gui::selectedId(list);
    if (id == 0) {
        MsgBox(statementTab() == kMotto ? QStringLiteral("请先选择要删除的警句！")
                                        : QStringLiteral("请先选择要删除的使命！"));
        return;
    }
    if (!Db::run([id] { Statements::remove(id); }))
        return;
    Deletion::done(this, this);
}

// An open add-statement dialog always says which list it adds to.
void Frmmain::SSTab2_Click()
{
    if (auto* dialog = Forms::find<DlogSM>())
        dialog->followTab();
}

void Frmmain::Label3_Click()
{
    Shell::openUrl(QUrl(AppInfo::sitePage(QStringLiteral("/shuoming/8.asp"))));
}

std::optional<Diary::Saved> Frmmain::storeDiary(const QDate& day)
{
    const QString text = RichTextBox2->toPlainText();
    const auto saved = Db::get([&] { return Diary::save(day, text); });
    if (!saved)
        return std::nullopt;
    diaryText_ = text;
    Changes::announce(Changes::Diary | Changes::Knowledge, this);
    return saved;
}

void Frmmain::confirmDiary()
{
    if (!diaryDay_.isValid() || RichTextBox2->toPlainText() == diaryText_)
        return;
    if (MsgBox(QStringLiteral("日志内容已修改，是否保存？"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        storeDiary(diaryDay_);
    // Asked once: the text is stored or let go.
    diaryText_ = RichTextBox2->toPlainText();
}

void Frmmain::DiaryShow()
{
    const auto entry = Db::get([&] { return Diary::of(calendarDate()); });
    const bool exists = entry && entry->exists;
    diaryDay_ = calendarDate();
    diaryText_ = exists ? entry->text : QString();
    RichTextBox2->setPlainText(diaryText_);
    Command5->setText(exists ? QStringLiteral("修改") : QStringLiteral("记录"));
}

void Frmmain::zuomian_Click()
{
    if (selectedTaskId() == 0)
        return;
    Module1::ShowSelectedTask = true;
    Frmts::openNew();
}
