#include "views/tasks/dlogaddrw.h"

#include "data/db.h"
#include "data/recurrence.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/tasks/timeslider.h"

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
}

dlogaddrw* dlogaddrw::showShared()
{
    if (dlogaddrw* open = Forms::find<dlogaddrw>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return open;
    }
    return Forms::show<dlogaddrw>();
}

bool dlogaddrw::Form_Load()
{
    place();

    // The box keeps the exact time; the slider goes to the nearest position it has.
    const QTime now = Clock::now().time();
    Text2->setText(Gui::time(now));
    setSliderQuietly(TimeSlider::positionOf(now));
    setDayQuietly(Clock::today());

    fillLevels(0, 0);
    Combo3->clear();
    addKinds();
    Combo3->setCurrentIndex(1);

    bool noGoal = false;
    const bool loaded = Db::run([&] {
        if (const GoalSelection* goals = Forms::openAs<GoalSelection>(Views::kGoals)) {
            // The task belongs to the goal the goals view works on, and nowhere else.
            const std::optional<Themes::Goal> goal = Themes::goal(goals->selectedGoalId());
            if (!goal) {
                noGoal = true;
                return;
            }
            Combo5->clear();
            Combo5->addItem(Themes::name(goal->theme), goal->theme);
            Combo4->clear();
            Combo4->addItem(goal->title, goal->id);
        } else {
            fillThemes(0);
            const QList<Themes::Choice> unthemed = Themes::goalsOf(0);
            Combo4->clear();
            if (unthemed.isEmpty())
                Combo4->addItem(QStringLiteral("无"), 0);
            for (const Themes::Choice& goal : unthemed)
                Combo4->addItem(goal.name, goal.id);
        }
    });
    if (!loaded)
        return false;
    if (noGoal) {
        MsgBox(QStringLiteral("请先选择目标，再输入任务！"));
        return false;
    }

    if (const DaySelection* today = Forms::openAs<DaySelection>(Views::kToday)) {
        Check2->setChecked(false);
        setDayQuietly(today->chosenDay());
    }
    return true;
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
    if (const std::optional<int> count = Db::get([&] { return Tasks::countOfGoal(chosen(Combo4)); }))
        Text3->setText(QString::number(*count));
}

void dlogaddrw::Combo5_Click()
{
    const qint64 theme = chosen(Combo5);
    fillGoalChoices(Db::get([theme] { return Themes::goalsOf(theme); }).value_or(QList<Themes::Choice>()));
}

void dlogaddrw::DTPicker1_Change()
{
    Check2->setChecked(false);
}

void dlogaddrw::OKButton_Click()
{
    const std::optional<Tasks::Task> task = taskFromFields();
    if (!task || !checkRecurringDay(*task))
        return;
    // A recurring task is the first occurrence of its rule, stored with it.
    const bool saved = Db::run([&] {
        Db::transaction([&] {
            const qint64 id = Tasks::insert(*task);
            if (task->kind == 0)
                Recurrence::create(ruleFromFields(*task), id);
        });
    });
    if (!saved)
        return;
    Changes::announce(Changes::Tasks, this);
    Forms::unload(this);
}
