#include "views/tasks/dlogmodrw.h"

#include "app/clock.h"
#include "app/forms.h"
#include "app/mdifrm.h"
#include "app/prompt.h"
#include "app/ui.h"
#include "views/tasks/timeslider.h"
#include "views/today/frmmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

namespace {
const QString kGoalsView = QStringLiteral("Frmmb");
const QString kTaskListView = QStringLiteral("Frmrw");
const QString kTodayView = QStringLiteral("Frmmain");

// The time a task without a reminder time shows, should the user give it one.
const QTime kEvening(23, 0);

// The task id in the selected row of a view's list (hidden column 0); 0 when none is selected.
qint64 selectedIn(const QString& view, const QString& list)
{
    QWidget* window = Forms::find(view);
    return window ? Ui::selectedId(window->findChild<QTreeWidget*>(list)) : 0;
}
} // namespace

Dlogmodrw::Dlogmodrw(QWidget* parent)
    : TaskEditor({.caption = QStringLiteral("修改任务"),
                  .unscheduled = QStringLiteral("暂时不安排"),
                  .saveName = QStringLiteral("Command3"),
                  .saveText = QStringLiteral("修改任务"),
                  .emptyOrder = QStringLiteral("请输入任务排序号码！"),
                  .badOrder = QStringLiteral("任务排序号码一定要是整数！"),
                  .withGuides = false},
                 parent)
{
    // The box and the slider agree from the start.
    Text2->setText(Ui::time(kEvening));
    setSliderQuietly(TimeSlider::positionOf(kEvening));

    connect(Slider1, &QSlider::valueChanged, this, &Dlogmodrw::Slider1_Change);
    connect(Slider1, &QSlider::sliderReleased, this, &Dlogmodrw::Slider1_MouseUp);
    connect(Combo5, &QComboBox::activated, this, &Dlogmodrw::Combo5_Click);
    connect(saveButton, &QPushButton::clicked, this, &Dlogmodrw::Command3_Click);

    Form_Load();
}

Dlogmodrw* Dlogmodrw::showShared()
{
    return Forms::show<Dlogmodrw>();
}

qint64 Dlogmodrw::taskId() const
{
    return taskId_;
}

qint64 Dlogmodrw::taskIdFromOpenView()
{
    if (Forms::isOpen(kGoalsView))
        return selectedIn(kGoalsView, QStringLiteral("ListView2"));
    if (Forms::isOpen(kTaskListView))
        return selectedIn(kTaskListView, QStringLiteral("ListView2"));
    if (Forms::isOpen(kTodayView))
        return Forms::find<Frmmain>()->selectedTaskId();
    return 1;
}

void Dlogmodrw::Form_Load()
{
    place();
    setDayQuietly(Clock::today());

    const qint64 id = taskIdFromOpenView();
    const std::optional<Tasks::Task> task = id > 0 ? Tasks::load(id) : std::nullopt;
    if (!task)
        return;
    taskId_ = task->id;

    Text1->setText(task->title);
    Text3->setText(Tasks::orderText(task->xuhao));
    RichTextBox1->setPlainText(task->content);

    if (!task->today.isValid()) {
        Check2->setChecked(true);
        Check1->setChecked(true);
    } else {
        Check2->setChecked(false);
        setDayQuietly(task->today);
        if (!task->intime.isValid()) {
            Check1->setChecked(true);
            Text2->setText(Ui::time(kEvening));
        } else {
            Check1->setChecked(false);
            setSliderQuietly(TimeSlider::positionOf(task->intime));
            Text2->setText(Ui::time(task->intime));
        }
    }

    fillLevels(task->zhongyao, task->jinpo);

    // The stored kind comes first, then both kinds to choose from.
    Combo3->clear();
    if (task->type1 == 0 || task->type1 == 1)
        Combo3->addItem(task->type1 == 1 ? QStringLiteral("一次性") : QStringLiteral("经常性"), task->type1);
    addKinds();
    Combo3->setCurrentIndex(0);

    fillThemes(task->juese);

    // Only the task's own goal; the other goals of a theme come when the user picks the theme.
    Combo4->clear();
    Combo4->addItem(QStringLiteral("无"), 0);
    if (task->mubiao != 0) {
        if (const std::optional<Themes::Goal> goal = Themes::goal(task->mubiao))
            Combo4->addItem(goal->title, goal->id);
    }
    Combo4->setCurrentIndex(Combo4->count() - 1);
}

void Dlogmodrw::refreshOpenView()
{
    if (Forms::isOpen(kGoalsView)) {
        // Frmmb::RwList(): the tasks of the goal selected there.
    } else if (Forms::isOpen(kTaskListView)) {
        // Frmrw::renwuliebiao(...) with its default list: open tasks without a day.
    } else if (Forms::isOpen(kTodayView)) {
        Forms::find<Frmmain>()->RwList(false);
    }
    if (auto* frame = Forms::find<MDIfrm>())
        frame->ModRenwu();
}

void Dlogmodrw::Slider1_Change()
{
    // A drag shows its time when the button is released; keys and clicks on the groove move
    // the slider without a drag, and the box follows them at once.
    if (!Slider1->isSliderDown())
        showSliderTime();
}

void Dlogmodrw::Slider1_MouseUp()
{
    showSliderTime();
}

void Dlogmodrw::Combo5_Click()
{
    const qint64 theme = chosen(Combo5);
    fillGoalChoices(theme != 0 ? Themes::goalsOf(theme).value_or(QList<Themes::Choice>())
                               : QList<Themes::Choice>());
}

void Dlogmodrw::Command3_Click()
{
    // The task shown is the one saved, whatever the views select meanwhile.
    if (taskId_ == 0 || !Tasks::exists(taskId_)) {
        MsgBox(QStringLiteral("该任务已不存在！"));
        return;
    }
    std::optional<Tasks::Task> task = taskFromFields();
    if (!task)
        return;
    task->id = taskId_;
    if (!Tasks::update(*task))
        return;
    refreshOpenView();
    Forms::unload(this);
}
