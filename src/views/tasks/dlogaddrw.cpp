#include "views/tasks/dlogaddrw.h"

#include "app/clock.h"
#include "app/forms.h"
#include "app/helpers.h"
#include "app/mdifrm.h"
#include "app/prompt.h"
#include "app/ui.h"
#include "app/windowplace.h"
#include "views/tasks/timeslider.h"
#include "views/today/frmmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString kGoalsView = QStringLiteral("Frmmb");
const QString kTaskListView = QStringLiteral("Frmrw");
} // namespace

dlogaddrw::dlogaddrw(QWidget* parent)
    : TaskEditor({.caption = QStringLiteral("添加任务"),
                  .unscheduled = QStringLiteral("暂不安排"),
                  .saveName = QStringLiteral("OKButton"),
                  .saveText = QStringLiteral("添加任务"),
                  .emptyOrder = QStringLiteral("请输入任务排序！"),
                  .badOrder = QStringLiteral("任务排序只能输入数字！"),
                  .withGuides = true},
                 parent)
{
    Check2->setChecked(true);
    Check1->setChecked(true);
    Text3->setText(QStringLiteral("0"));

    connect(Slider1, &QSlider::valueChanged, this, &dlogaddrw::Slider1_Change);
    connect(Slider1, &QSlider::sliderReleased, this, &dlogaddrw::Slider1_MouseUp);
    connect(Combo4, &QComboBox::currentIndexChanged, this, &dlogaddrw::Combo4_Click);
    connect(Combo5, &QComboBox::activated, this, &dlogaddrw::Combo5_Click);
    connect(DTPicker1, &QDateEdit::userDateChanged, this, &dlogaddrw::DTPicker1_Change);
    connect(saveButton, &QPushButton::clicked, this, &dlogaddrw::OKButton_Click);

    refused_ = !Form_Load();
}

dlogaddrw* dlogaddrw::showShared()
{
    if (dlogaddrw* open = Forms::find<dlogaddrw>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    dlogaddrw* dialog = Forms::instance<dlogaddrw>();
    if (dialog->refused_) {
        Forms::unload(dialog);
        return nullptr;
    }
    dialog->show();
    return dialog;
}

bool dlogaddrw::Form_Load()
{
    place();

    // The box keeps the exact time; the slider goes to the nearest position it has.
    const QTime now = Clock::now().time();
    Text2->setText(Ui::time(now));
    setSliderQuietly(TimeSlider::positionOf(now));
    setDayQuietly(Clock::today());

    fillLevels(0, 0);
    Combo3->clear();
    addKinds();
    Combo3->setCurrentIndex(1);

    if (Forms::isOpen(kGoalsView)) {
        // The task belongs to the goal selected in the goals view, and nowhere else.
        const std::optional<GoalPick> pick = goalFromGoalsView();
        if (!pick) {
            MsgBox(QStringLiteral("请先选择目标，再输入任务！"));
            return false;
        }
        Combo5->clear();
        Combo5->addItem(pick->themeName, pick->goal.juese);
        Combo4->clear();
        Combo4->addItem(pick->goal.title, pick->goal.id);
    } else {
        fillThemes(0);
        const QList<Themes::Choice> unthemed = Themes::goalsOf(0).value_or(QList<Themes::Choice>());
        Combo4->clear();
        if (unthemed.isEmpty())
            Combo4->addItem(QStringLiteral("无"), 0);
        for (const Themes::Choice& goal : unthemed)
            Combo4->addItem(goal.name, goal.id);
    }

    if (Forms::isOpen(QStringLiteral("Frmmain"))) {
        Check2->setChecked(false);
        setDayQuietly(Forms::find<Frmmain>()->calendarDate());
    }
    return true;
}

std::optional<dlogaddrw::GoalPick> dlogaddrw::goalFromGoalsView() const
{
    // The goals view lists its goals in ListView1: the goal id in the hidden column 0, the
    // theme's name in column 1. Its selected row (the first when none is) is the goal.
    QWidget* view = Forms::find(kGoalsView);
    const auto* goals = view ? view->findChild<QTreeWidget*>(QStringLiteral("ListView1")) : nullptr;
    if (!goals || goals->topLevelItemCount() == 0)
        return std::nullopt;
    const QTreeWidgetItem* row = Ui::selectedRow(goals) ? Ui::selectedRow(goals) : goals->topLevelItem(0);
    const std::optional<Themes::Goal> goal = Themes::goal(Ui::rowId(row));
    if (!goal)
        return std::nullopt;
    return GoalPick{*goal, row->text(1)};
}

void dlogaddrw::refreshOpenViews()
{
    if (Forms::isOpen(kGoalsView)) {
        // Frmmb::RwList(): the tasks of the goal selected there.
    }
    if (Forms::isOpen(kTaskListView)) {
        // Frmrw::renwuliebiao(...) with its default list: open tasks without a day.
    }
    if (Forms::isOpen(QStringLiteral("Frmmain")))
        Forms::find<Frmmain>()->RwList(false);
    if (auto* frame = Forms::find<MDIfrm>())
        frame->ModRenwu();
}

void dlogaddrw::Slider1_Change()
{
    showSliderTime();
}

void dlogaddrw::Slider1_MouseUp()
{
    showSliderTip();
}

void dlogaddrw::Combo4_Click()
{
    if (Combo4->currentIndex() < 0)
        return;
    // The new task goes to the end of the goal's tasks (for "无", of the tasks without a goal).
    if (const std::optional<int> count = Tasks::countOfGoal(chosen(Combo4)))
        Text3->setText(QString::number(*count));
}

void dlogaddrw::Combo5_Click()
{
    fillGoalChoices(Themes::goalsOf(chosen(Combo5)).value_or(QList<Themes::Choice>()));
}

void dlogaddrw::DTPicker1_Change()
{
    Check2->setChecked(false);
}

void dlogaddrw::OKButton_Click()
{
    const std::optional<Tasks::Task> task = taskFromFields();
    if (!task || !Tasks::insert(*task))
        return;
    refreshOpenViews();
    Forms::unload(this);
}
