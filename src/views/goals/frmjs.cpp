#include "views/goals/frmjs.h"

#include "data/db.h"
#include "data/dependants.h"
#include "data/goals.h"
#include "data/themes.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/undonotice.h"
#include "gui/widgets.h"
#include "views/goals/dlogmb.h"
#include "views/goals/dlogmodjs.h"
#include "views/goals/dlomodmb.h"
#include "views/goals/frmaddjuese.h"
#include "views/goals/goalforms.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

Frmjs::Frmjs(QWidget* parent) : QWidget(parent)
{
    Frame1 = new QGroupBox(QStringLiteral("行动主题"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListView1 =
        Gui::reportList(Frame1, QStringLiteral("ListView1"), {{QStringLiteral("您的行动主题"), Gui::twips(4304)}});
    ListView1->viewport()->installEventFilter(this);
    Command1 = Gui::button(Frame1, QStringLiteral("Command1"), QStringLiteral("增加"));
    Command2 = Gui::button(Frame1, QStringLiteral("Command2"), QStringLiteral("删除"));
    auto* themeButtons = new QHBoxLayout;
    themeButtons->addStretch();
    themeButtons->addWidget(Command1);
    themeButtons->addWidget(Command2);
    auto* themeArea = new QVBoxLayout(Frame1);
    themeArea->addWidget(ListView1, 1);
    themeArea->addLayout(themeButtons);
    Frame1->setFixedWidth(Gui::twips(4304) + 40);

    Frame2 = new QGroupBox(QStringLiteral("目标（或时间节点进度表）"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Toolbar1 = new QToolBar(Frame2);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto tool = [this](const QString& name, const QString& icon, const QString& tip, void (Frmjs::*slot)()) {
        QAction* a = Toolbar1->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(icon)), tip);
        a->setObjectName(name);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
    };
    tool(QStringLiteral("Button1"), QStringLiteral("goals_add"), QStringLiteral("新增目标"), &Frmjs::newGoal);
    tool(QStringLiteral("Button2"), QStringLiteral("goals_edit"), QStringLiteral("编辑目标"), &Frmjs::editGoal);
    tool(QStringLiteral("Button3"), QStringLiteral("goals_delete"), QStringLiteral("删除目标"), &Frmjs::deleteGoal);

    // Columns narrower than the twips of the form where needed, so the view fits a 1024 screen.
    ListView2 = Gui::reportList(Frame2, QStringLiteral("ListView2"),
                                {{QStringLiteral("目标名称"), Gui::twips(4500)},
                                 {QStringLiteral("预算时间"), Gui::twips(1900)},
                                 {QStringLiteral("相关主题"), Gui::twips(2540)}});
    ListView2->setContextMenuPolicy(Qt::CustomContextMenu);
    Check1 = new QCheckBox(QStringLiteral("显示所有时间的目标(不选择，则过期的目标会被隐藏掉)"), Frame2);
    Check1->setObjectName(QStringLiteral("Check1"));
    auto* goalArea = new QVBoxLayout(Frame2);
    goalArea->addWidget(Toolbar1);
    goalArea->addWidget(ListView2, 1);
    goalArea->addWidget(Check1);

    mubiao = GoalForms::stateMenu(this, [this](int state) { setGoalState(state); });

    auto* root = new QHBoxLayout(this);
    root->setContentsMargins(10, 10, 10, 10);
    root->setSpacing(12);
    root->addWidget(Frame1);
    root->addWidget(Frame2, 1);
    setMinimumSize(900, 500);

    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, &Frmjs::ListView1_ItemClick);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &Frmjs::ListView2_DblClick);
    connect(ListView2, &QWidget::customContextMenuRequested, this, &Frmjs::ListView2_MouseUp);
    connect(Command1, &QPushButton::clicked, this, &Frmjs::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Frmjs::Command2_Click);
    connect(Check1, &QCheckBox::toggled, this, &Frmjs::Check1_Click);

    Deletion::installShortcut(this);

    // Others' changes refill the lists; this view's own changes show already.
    Changes& changes = Changes::instance();
    connect(&changes, &Changes::themesChanged, this, [this](QObject* origin) {
        if (origin != this)
            Db::run([this] { JsList(); });
    });
    connect(&changes, &Changes::goalsChanged, this, [this](QObject* origin) {
        if (origin != this)
            MBList();
    });
}

void Frmjs::Form_Load()
{
    JsList();
}

void Frmjs::JsList()
{
    const qint64 selected = Gui::selectedId(ListView1);
    const auto themes = Db::get([] { return Themes::all(); });
    {
        const QSignalBlocker quiet(ListView1);
        ListView1->clear();
        for (const Themes::Choice& theme : themes.value_or(QList<Themes::Choice>())) {
            auto* row = new QTreeWidgetItem(ListView1);
            row->setText(0, QString::number(theme.id));
            row->setText(1, theme.name);
            row->setToolTip(1, theme.name);
            if (theme.id == selected)
                ListView1->setCurrentItem(row);
        }
        // The theme the goals are listed for is always the one shown selected: the first one when
        // the list opens, or when the picked one has gone elsewhere. After a deletion here none
        // is picked for the user.
        if (!Gui::selectedRow(ListView1) && (!filled_ || selected != 0))
            Gui::selectFirst(ListView1);
        filled_ = true;
    }
    MBList();
}

void Frmjs::MBList()
{
    const qint64 selected = selectedGoalId();
    GoalForms::clearRows(ListView2);
    const qint64 theme = selectedThemeId();
    if (theme == 0)
        return;
    const auto goals = Db::get([&] { return Goals::ofTheme(theme, Check1->isChecked(), Clock::today()); });
    if (!goals)
        return;
    QList<QTreeWidgetItem*> rows;
    rows.reserve(goals->size());
    for (const Goals::Goal& g : *goals) {
        auto* row =
            new QTreeWidgetItem({QString::number(g.id), g.title,
                                 g.end.isValid() ? GoalForms::day(g.end) : QStringLiteral("暂未安排"), g.themeName});
        GoalForms::tipIfLong(row, 1);
        row->setIcon(1, GoalForms::stateIcon(g.state));
        row->setData(1, Qt::UserRole, g.state);
        rows.append(row);
    }
    ListView2->addTopLevelItems(rows);
    // The goal picked stays picked when it is listed again.
    GoalForms::reselect(ListView2, rows, selected);
}

qint64 Frmjs::selectedThemeId() const
{
    return Gui::selectedId(ListView1);
}

qint64 Frmjs::selectedGoalId() const
{
    return Gui::selectedId(ListView2);
}

bool Frmjs::eventFilter(QObject* watched, QEvent* event)
{
    // A double click anywhere on the theme list, an empty one included.
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        ListView1_DblClick();
    return QWidget::eventFilter(watched, event);
}

void Frmjs::ListView1_ItemClick()
{
    MBList();
}

void Frmjs::ListView1_DblClick()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可选择编辑的行动主题！"));
        return;
    }
    if (selectedThemeId() == 0) {
        MsgBox(QStringLiteral("请先选择要编辑的行动主题！"));
        return;
    }
    Forms::show<Dlogmodjs>();
}

void Frmjs::ListView2_DblClick()
{
    if (selectedGoalId() != 0)
        Forms::show<dlomodmb>();
}

void Frmjs::ListView2_MouseUp(const QPoint& pos)
{
    if (QTreeWidgetItem* row = ListView2->itemAt(pos))
        ListView2->setCurrentItem(row);
    mubiao->popup(ListView2->viewport()->mapToGlobal(pos));
}

void Frmjs::Command1_Click()
{
    Forms::show<Frmaddjuese>();
}

void Frmjs::Command2_Click()
{
    if (ListView1->topLevelItemCount() == 0) {
        MsgBox(QStringLiteral("没有可删除的行动主题！"));
        return;
    }
    const qint64 id = selectedThemeId();
    if (id == 0) {
        MsgBox(QStringLiteral("请先选择要删除的行动主题！"));
        return;
    }
    const auto with = Db::get([id] { return Dependants::ofTheme(id); });
    if (!with)
        return;
    // A theme goes with its goals and their tasks: say so first.
    if (with->goals + with->tasks > 0
        && !Deletion::confirm(QStringLiteral("删除主题“%1”及其 %2 个目标、%3 个任务？")
                                  .arg(with->name)
                                  .arg(with->goals)
                                  .arg(with->tasks)))
        return;
    if (!Db::run([id] { Themes::removeWithGoals(id); }))
        return;
    Gui::dropRow(ListView1, Gui::rowWithId(ListView1, id));
    ListView2->clear();
    Deletion::done(this, this);
}

void Frmjs::Check1_Click()
{
    MBList();
}

void Frmjs::newGoal()
{
    Forms::show<Dlogmb>();
}

void Frmjs::editGoal()
{
    if (selectedGoalId() == 0) {
        MsgBox(QStringLiteral("请先选择要编辑的目标！"));
        return;
    }
    Forms::show<dlomodmb>();
}

void Frmjs::deleteGoal()
{
    const qint64 id = selectedGoalId();
    if (id == 0) {
        MsgBox(QStringLiteral("请先选择要删除的目标！"));
        return;
    }
    if (!GoalForms::removeGoal(id))
        return;
    {
        // The next goal is not picked for the user: a second click must not delete it unseen.
        const QSignalBlocker quiet(ListView2);
        delete Gui::selectedRow(ListView2);
        ListView2->clearSelection();
    }
    Deletion::done(this, this);
}

void Frmjs::setGoalState(int state)
{
    const qint64 id = selectedGoalId();
    if (id == 0 || !Db::run([&] { Goals::setState(id, state); }))
        return;
    Changes::announce(Changes::Goals, this);
    if (state == Goals::Completed)
        MsgDone(QStringLiteral("恭喜您又前进了一步，加油，继续努力！"));
    MBList();
}
