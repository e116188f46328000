#include "views/tasks/dlogmtime.h"

#include "data/db.h"
#include "data/tasklist.h"
#include "gui/changes.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/tasks/daytaskselection.h"
#include "views/tasks/timeslider.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace {
const QString kNoReminder = QStringLiteral("非提醒任务");
// The time offered to a task that has none yet.
const QString kEvening = QStringLiteral("23:00:00");
} // namespace

Dlogmtime::Dlogmtime(QWidget* parent) : FormDialog(parent)
{
    setWindowTitle(QStringLiteral("时间设定"));

    const TimeSlider::Row timeRow = TimeSlider::makeRow(this, QStringLiteral("Command3"), QStringLiteral("Command2"));
    Slider1 = timeRow.slider;
    Slider1->setMinimumWidth(260);
    Text2 = timeRow.box;
    Command3 = timeRow.up;
    Command2 = timeRow.down;
    OKButton = new QPushButton(QStringLiteral("确定"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("取消"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    for (QPushButton* b : {OKButton, Command1})
        b->setMinimumWidth(80);

    TimeSlider::addScale(timeRow, this);
    QGridLayout* time = timeRow.layout;

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(Command1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 14);
    outer->setSpacing(14);
    outer->addLayout(time);
    outer->addLayout(buttons);

    setTabOrder(Slider1, Text2);
    setTabOrder(Text2, Command3);
    setTabOrder(Command3, Command2);
    setTabOrder(Command2, OKButton);
    setTabOrder(OKButton, Command1);

    connect(Slider1, &QSlider::valueChanged, this, &Dlogmtime::Slider1_Change);
    connect(Slider1, &QSlider::sliderReleased, this, &Dlogmtime::Slider1_MouseUp);
    connect(Command3, &QPushButton::clicked, this, &Dlogmtime::Command3_Click);
    connect(Command2, &QPushButton::clicked, this, &Dlogmtime::Command2_Click);
    connect(OKButton, &QPushButton::clicked, this, &Dlogmtime::OKButton_Click);
    connect(Command1, &QPushButton::clicked, this, &Dlogmtime::Command1_Click);
}

Dlogmtime* Dlogmtime::showShared()
{
    return Forms::show<Dlogmtime>();
}

bool Dlogmtime::Form_Load()
{
    Class1::zhiqian(this);
    WindowPlace::besideFrame(this);

    const DayTaskSelection* day = Forms::openAs<DayTaskSelection>(Views::kTasks);
    if (!day || day->selectedDayTaskId() == 0)
        return false;
    taskId_ = day->selectedDayTaskId();
    const QString shown = day->selectedDayTaskTime();
    Text2->setText(shown == kNoReminder ? kEvening : shown);
    {
        const QSignalBlocker quiet(Slider1);
        Slider1->setValue(TimeSlider::positionOf(TimeSlider::parse(Text2->text()).value_or(QTime())));
    }
    Slider1_MouseUp();
    return true;
}

qint64 Dlogmtime::taskId() const
{
    return taskId_;
}

void Dlogmtime::Slider1_Change()
{
    Text2->setText(TimeSlider::textAt(Slider1->value()));
    Slider1_MouseUp();
}

void Dlogmtime::Slider1_MouseUp()
{
    Slider1->setToolTip(TimeSlider::textAt(Slider1->value()));
}

void Dlogmtime::Command3_Click()
{
    Text2->setText(TimeSlider::shifted(Text2->text(), 1));
}

void Dlogmtime::Command2_Click()
{
    Text2->setText(TimeSlider::shifted(Text2->text(), -1));
}

void Dlogmtime::OKButton_Click()
{
    // Only a time of day is stored; "24:00:00" is the end of the day.
    const std::optional<QTime> time = TimeSlider::parse(Text2->text());
    if (!time) {
        MsgBox(QStringLiteral("请输入正确的时间！"));
        Text2->setFocus();
        Text2->selectAll();
        return;
    }
    if (!Db::run([&] { TaskList::setTime(taskId_, *time); }))
        return;
    if (DayTaskSelection* day = Forms::openAs<DayTaskSelection>(Views::kTasks))
        day->showDayTaskTime(taskId_, *time);
    // The frame rebuilds today's reminder times; the day list shows the time already.
    Changes::announce(Changes::Tasks, this);
    Forms::unload(this);
}

void Dlogmtime::Command1_Click()
{
    Forms::unload(this);
}
