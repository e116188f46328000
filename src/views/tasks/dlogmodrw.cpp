#include "views/tasks/dlogmodrw.h"

#include "data/db.h"
#include "data/recurrence.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "views/tasks/timeslider.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

namespace {
// The time a task without a reminder time shows, should the user give it one.
const QTime kEvening(23, 0);
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
    Text2->setText(Gui::time(kEvening));
    setSliderQuietly(TimeSlider::positionOf(kEvening));

    connect(Slider1, &QSlider::valueChanged, this, &Dlogmodrw::Slider1_Change);
    connect(Slider1, &QSlider::sliderReleased, this, &Dlogmodrw::Slider1_MouseUp);
    connect(Combo5, &QComboBox::activated, this, &Dlogmodrw::Combo5_Click);
    connect(saveButton, &QPushButton::clicked, this, &Dlogmodrw::Command3_Click);
}

Dlogmodrw* Dlogmodrw::showShared()
{
    // An open dialog asked for another task shows that task, once the user has agreed to let
    // go of changes made to the one it shows.
    if (Dlogmodrw* open = Forms::find<Dlogmodrw>()) {
        const qint64 wanted = taskIdFromOpenView();
        if (wanted > 0 && wanted != open->taskId_) {
            const bool keep =
                open->fieldsSnapshot() != open->loaded_
                && MsgBox(QStringLiteral("是否放弃对当前任务的修改？"), QMessageBox::Yes | QMessageBox::No)
                       != QMessageBox::Yes;
            if (!keep)
                open->loadTask();
        }
    }
    return Forms::show<Dlogmodrw>();
}

qint64 Dlogmodrw::taskId() const
{
    return taskId_;
}

qint64 Dlogmodrw::taskIdFromOpenView()
{
    for (const QString& view : {Views::kGoals, Views::kTasks, Views::kToday, Views::kQuadrant}) {
        if (const TaskSelection* tasks = Forms::openAs<TaskSelection>(view))
            return tasks->selectedTaskId();
    }
    return 1;
}

void Dlogmodrw::Form_Load()
{
    place();
    loadTask();
}

void Dlogmodrw::loadTask()
{
    setDayQuietly(Clock::today());

    const qint64 id = taskIdFromOpenView();
    const std::optional<Tasks::Task> task =
        id > 0 ? Db::get([id] { return Tasks::load(id); }).value_or(std::nullopt) : std::nullopt;
    if (!task)
        return;
    taskId_ = task->id;

    Text1->setText(task->title);
    Text3->setText(Tasks::orderText(task->order));
    RichTextBox1->setPlainText(task->content);

    if (!task->day.isValid()) {
        Check2->setChecked(true);
        Check1->setChecked(true);
    } else {
        Check2->setChecked(false);
        setDayQuietly(task->day);
        if (!task->time.isValid()) {
            Check1->setChecked(true);
            Text2->setText(Gui::time(kEvening));
        } else {
            Check1->setChecked(false);
            setSliderQuietly(TimeSlider::positionOf(task->time));
            Text2->setText(Gui::time(task->time));
        }
    }

    fillLevels(task->important, task->urgent);

    // The stored kind comes first, then both kinds to choose from.
    Combo3->clear();
    if (task->kind == 0 || task->kind == 1)
        Combo3->addItem(task->kind == 1 ? QStringLiteral("一次性") : QStringLiteral("经常性"), task->kind);
    addKinds();
    Combo3->setCurrentIndex(0);
    loadedKind_ = task->kind;
    loadedDay_ = task->day;
    ruleId_ = 0;
    if (task->kind == 0) {
        const qint64 id = task->id;
        if (const auto rule = Db::get([id] { return Recurrence::activeRuleOf(id); }).value_or(std::nullopt)) {
            ruleId_ = rule->id;
            showRule(*rule);
        }
    }
    ruleless_ = task->kind == 0 && ruleId_ == 0;
    showRepeatRow();

    fillThemes(task->theme);

    // Only the task's own goal; the other goals of a theme come when the user picks the theme.
    Combo4->clear();
    Combo4->addItem(QStringLiteral("无"), 0);
    if (task->goal != 0) {
        const qint64 goalId = task->goal;
        if (const auto goal = Db::get([goalId] { return Themes::goal(goalId); }).value_or(std::nullopt))
            Combo4->addItem(goal->title, goal->id);
    }
    Combo4->setCurrentIndex(Combo4->count() - 1);
    loaded_ = fieldsSnapshot();
    shown_ = task;
    guardEdits(QStringLiteral("是否保存对任务的修改？"), saveButton);
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
    fillGoalChoices(theme != 0 ? Db::get([theme] { return Themes::goalsOf(theme); }).value_or(QList<Themes::Choice>())
                               : QList<Themes::Choice>());
}

void Dlogmodrw::Command3_Click()
{
    // The task shown is the one saved, whatever the views select meanwhile.
    const std::optional<bool> exists = Db::get([this] { return Tasks::exists(taskId_); });
    if (!exists)
        return;
    if (taskId_ == 0 || !*exists) {
        MsgBox(QStringLiteral("该任务已不存在！"));
        return;
    }
    std::optional<Tasks::Task> task = taskFromFields();
    if (!task)
        return;
    task->id = taskId_;
    // Fields left as they were loaded keep what is stored now.
    if (shown_) {
        if (const auto stored = Db::get([this] { return Tasks::load(taskId_); }).value_or(std::nullopt)) {
            if (task->day == shown_->day && task->time == shown_->time) {
                task->day = stored->day;
                task->time = stored->time;
            }
            if (task->order == shown_->order)
                task->order = stored->order;
            if (task->title == shown_->title)
                task->title = stored->title;
            if (task->content == shown_->content)
                task->content = stored->content;
            if (task->important == shown_->important && task->urgent == shown_->urgent) {
                task->important = stored->important;
                task->urgent = stored->urgent;
            }
        }
    }

    // An occurrence changes alone or with its rule; choosing "一次性" ends the rule; a task made
    // recurring here starts a rule on its day.
    const bool recurring = task->kind == 0;
    const bool startsRule = recurring && ruleId_ == 0 && (loadedKind_ != 0 || Combo3->currentIndex() != 0);
    if (startsRule && !checkRecurringDay(*task))
        return;
    bool allLater = false;
    if (recurring && ruleId_ != 0) {
        const QMessageBox::StandardButton answer =
            MsgBoxChoice(QStringLiteral("只修改这一次，还是修改以后的所有任务？"), QStringLiteral("仅此一次"),
                         QStringLiteral("以后所有"));
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return; // closed without an answer: nothing is saved
        allLater = answer == QMessageBox::No;
    }
    const bool saved = Db::run([&] {
        Db::transaction([&] {
            Tasks::update(*task);
            if (startsRule) {
                Recurrence::create(ruleFromFields(*task), task->id);
            } else if (ruleId_ != 0 && !recurring) {
                Recurrence::stop(ruleId_);
            } else if (allLater) {
                Recurrence::Rule rule = ruleFromFields(*task);
                rule.id = ruleId_;
                Recurrence::changeFuture(rule, loadedDay_.isValid() ? loadedDay_ : task->day);
            }
        });
    });
    if (!saved)
        return;
    Changes::announce(Changes::Tasks, this);
    Forms::unload(this);
}
