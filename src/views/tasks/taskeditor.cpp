#include "views/tasks/taskeditor.h"

#include "data/db.h"

#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/gui.h"
#include "gui/helpers.h"
#include "gui/prompt.h"
#include "gui/widgets.h"
#include "gui/windowplace.h"
#include "views/tasks/taskname.h"
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
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QLabel* hintLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: #6b7280;"));
    label->setWordWrap(true);
    return label;
}

} // namespace

TaskEditor::TaskEditor(const Texts& texts, QWidget* parent) : FormDialog(parent), texts_(texts)
{
    setWindowTitle(texts.caption);

    // Controls in the order of the form, which is also the Tab order.
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    RichTextBox1 = new QPlainTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setTabChangesFocus(true);
    RichTextBox1->setMinimumHeight(96);

    const TimeSlider::Row timeRow = TimeSlider::makeRow(this, QStringLiteral("Command1"), QStringLiteral("Command2"));
    Slider1 = timeRow.slider;
    Text2 = timeRow.box;
    Command1 = timeRow.up;
    Command2 = timeRow.down;

    DTPicker1 = new QDateEdit(this);
    DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    Check2 = new QCheckBox(texts.unscheduled, this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check1 = new QCheckBox(QStringLiteral("非提醒任务"), this);
    Check1->setObjectName(QStringLiteral("Check1"));

    Combo1 = Gui::dropDown(this, QStringLiteral("Combo1"), 6);
    Combo2 = Gui::dropDown(this, QStringLiteral("Combo2"), 6);
    Combo3 = Gui::dropDown(this, QStringLiteral("Combo3"), 6);
    Combo5 = Gui::dropDown(this, QStringLiteral("Combo5"), 6);
    Combo4 = Gui::dropDown(this, QStringLiteral("Combo4"), 6);
    Text3 = new QLineEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));

    // The repeat row of a recurring task: how often, and until when.
    repeatRow = new QWidget(this);
    repeatRow->setObjectName(QStringLiteral("repeatRow"));
    ComboRepeat = Gui::dropDown(repeatRow, QStringLiteral("ComboRepeat"), 6);
    ComboRepeat->addItem(QStringLiteral("每天"), Recurrence::Daily);
    ComboRepeat->addItem(QStringLiteral("工作日"), Recurrence::Workdays);
    ComboRepeat->addItem(QStringLiteral("每周"), Recurrence::Weekly);
    ComboRepeat->addItem(QStringLiteral("每月"), Recurrence::Monthly);
    ComboRepeat->addItem(QStringLiteral("每隔几天"), Recurrence::EveryNDays);
    const QStringList weekdayNames = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                      QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六"),
                                      QStringLiteral("日")};
    for (int i = 0; i < 7; ++i) {
        auto* check = new QCheckBox(weekdayNames[i], repeatRow);
        check->setObjectName(QStringLiteral("CheckW%1").arg(i + 1));
        weekdayChecks.append(check);
    }
    SpinEvery = new QSpinBox(repeatRow);
    SpinEvery->setObjectName(QStringLiteral("SpinEvery"));
    SpinEvery->setRange(2, 365);
    SpinEvery->setSuffix(QStringLiteral(" 天"));
    CheckUntil = new QCheckBox(QStringLiteral("截止到"), repeatRow);
    CheckUntil->setObjectName(QStringLiteral("CheckUntil"));
    DTPUntil = new QDateEdit(repeatRow);
    DTPUntil->setObjectName(QStringLiteral("DTPUntil"));
    DTPUntil->setCalendarPopup(true);
    DTPUntil->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    DTPUntil->setEnabled(false);
    ComboRepeat->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    {
        // How often on the first line, the end on the second.
        auto* repeat = new QVBoxLayout(repeatRow);
        repeat->setContentsMargins(0, 0, 0, 0);
        repeat->setSpacing(6);
        auto* often = new QHBoxLayout;
        often->setSpacing(4);
        often->addWidget(ComboRepeat);
        often->addSpacing(8);
        for (QCheckBox* check : weekdayChecks)
            often->addWidget(check);
        often->addWidget(SpinEvery);
        often->addStretch(1);
        auto* end = new QHBoxLayout;
        end->setSpacing(8);
        end->addWidget(CheckUntil);
        end->addWidget(DTPUntil);
        end->addStretch(1);
        repeat->addLayout(often);
        repeat->addLayout(end);
    }

    saveButton = new QPushButton(texts.saveText, this);
    saveButton->setObjectName(texts.saveName);
    saveButton->setDefault(true);
    saveButton->setMinimumWidth(96);

    // The slider with its box and buttons, and under it (add dialog) the scale.
    if (texts.withGuides)
        TimeSlider::addScale(timeRow, this);
    QGridLayout* time = timeRow.layout;

    auto* day = new QHBoxLayout;
    day->addWidget(DTPicker1);
    day->addSpacing(12);
    day->addWidget(Check2);
    day->addSpacing(8);
    day->addWidget(Check1);
    day->addStretch(1);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(8);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);
    int row = 0;
    form->addWidget(Gui::fieldLabel(QStringLiteral("任务名称："), Text1), row, 0);
    form->addWidget(Text1, row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("任务描述："), RichTextBox1, Qt::AlignRight | Qt::AlignTop), row, 0);
    form->addWidget(RichTextBox1, row++, 1, 1, 3);
    if (texts.withGuides)
        form->addWidget(hintLabel(QStringLiteral("任务描述用来描写任务完成过程中要注意的事项"), this), row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("时间安排："), Slider1, Qt::AlignRight | Qt::AlignTop), row, 0);
    form->addLayout(time, row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("日期安排："), DTPicker1), row, 0);
    form->addLayout(day, row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("重 要 度："), Combo1), row, 0);
    form->addWidget(Combo1, row, 1);
    form->addWidget(Gui::fieldLabel(QStringLiteral("紧 迫 度："), Combo2), row, 2);
    form->addWidget(Combo2, row++, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("任务类别："), Combo3), row, 0);
    form->addWidget(Combo3, row, 1);
    form->addWidget(Gui::fieldLabel(QStringLiteral("任务排序："), Text3), row, 2);
    form->addWidget(Text3, row++, 3);
    // Level with the first line of the row.
    repeatLabel_ = Gui::fieldLabel(QStringLiteral("重复："), ComboRepeat);
    repeatLabel_->setFixedHeight(ComboRepeat->sizeHint().height());
    form->addWidget(repeatLabel_, row, 0, Qt::AlignRight | Qt::AlignTop);
    form->addWidget(repeatRow, row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("关联主题："), Combo5), row, 0);
    form->addWidget(Combo5, row++, 1, 1, 3);
    form->addWidget(Gui::fieldLabel(QStringLiteral("关联目标："), Combo4), row, 0);
    form->addWidget(Combo4, row++, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    if (texts.withGuides)
        buttons->addWidget(hintLabel(QStringLiteral("第四代时间管理最注重规划类的任务"), this));
    buttons->addStretch(1);
    buttons->addWidget(saveButton);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 16, 16, 14);
    outer->setSpacing(14);
    outer->addLayout(form);
    outer->addLayout(buttons);
    setMinimumWidth(540);

    const QList<QWidget*> tabOrder = {Text1,  RichTextBox1, Slider1, Text2,  Command1, Command2, DTPicker1, Check2,
                                      Check1, Combo1,       Combo2,  Combo3, Text3,    Combo5,   Combo4,    saveButton};
    // The repeat row after the kind, its own controls in their order.
    QWidget* previous = Text3;
    for (QWidget* w : QList<QWidget*>{ComboRepeat} + QList<QWidget*>(weekdayChecks.begin(), weekdayChecks.end())
                          + QList<QWidget*>{SpinEvery, CheckUntil, DTPUntil}) {
        setTabOrder(previous, w);
        previous = w;
    }
    setTabOrder(previous, Combo5);
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(Command1, &QPushButton::clicked, this, &TaskEditor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &TaskEditor::Command2_Click);
    connect(Combo3, &QComboBox::currentIndexChanged, this, &TaskEditor::showRepeatRow);
    connect(ComboRepeat, &QComboBox::currentIndexChanged, this, &TaskEditor::showRepeatParts);
    connect(CheckUntil, &QCheckBox::toggled, this, [this](bool on) {
        DTPUntil->setEnabled(on);
        if (on && DTPUntil->date() < DTPicker1->date())
            DTPUntil->setDate(DTPicker1->date());
    });
    showRepeatRow();
}

bool TaskEditor::recurringChosen() const
{
    return Combo3->currentIndex() >= 0 && chosen(Combo3) == 0;
}

void TaskEditor::showRepeatRow()
{
    // The row shows a rule: the task's own, or the one the user is making now.
    const bool recurring = recurringChosen() && !(ruleless_ && Combo3->currentIndex() == 0);
    repeatRow->setVisible(recurring);
    repeatLabel_->setVisible(recurring);
    showRepeatParts();
    // The dialog grows to show the row whole.
    if (layout()) {
        layout()->activate();
        resize(size().expandedTo(sizeHint()));
        // Grown, it stays within the room the desktop leaves.
        if (isVisible())
            WindowPlace::keepOnScreen(this);
    }
}

void TaskEditor::showRepeatParts()
{
    const int frequency = int(chosen(ComboRepeat));
    const bool weekly = frequency == Recurrence::Weekly;
    if (weekly && std::none_of(weekdayChecks.begin(), weekdayChecks.end(), [](QCheckBox* c) { return c->isChecked(); }))
        weekdayChecks[DTPicker1->date().dayOfWeek() - 1]->setChecked(true);
    for (QCheckBox* check : weekdayChecks)
        check->setVisible(weekly);
    SpinEvery->setVisible(frequency == Recurrence::EveryNDays);
}

bool TaskEditor::checkRecurringDay(const Tasks::Task& task)
{
    if (task.kind != 0 || task.day.isValid())
        return true;
    MsgBox(QStringLiteral("请为经常性任务选择开始日期！"));
    DTPicker1->setFocus();
    return false;
}

Recurrence::Rule TaskEditor::ruleFromFields(const Tasks::Task& task) const
{
    Recurrence::Rule rule;
    rule.pattern = task;
    rule.frequency = Recurrence::Frequency(chosen(ComboRepeat));
    for (int i = 0; i < 7; ++i) {
        if (weekdayChecks[i]->isChecked())
            rule.weekdays |= 1 << i;
    }
    // A weekly rule without a day ticked repeats on the task's own weekday.
    if (rule.frequency == Recurrence::Weekly && rule.weekdays == 0 && task.day.isValid())
        rule.weekdays = 1 << (task.day.dayOfWeek() - 1);
    rule.every = SpinEvery->value();
    rule.start = task.day;
    rule.last = task.day;
    if (CheckUntil->isChecked())
        rule.until = DTPUntil->date();
    return rule;
}

void TaskEditor::showRule(const Recurrence::Rule& rule)
{
    for (int i = 0; i < 7; ++i)
        weekdayChecks[i]->setChecked((rule.weekdays & (1 << i)) != 0);
    SpinEvery->setValue(std::max(2, rule.every));
    CheckUntil->setChecked(rule.until.isValid());
    if (rule.until.isValid())
        DTPUntil->setDate(rule.until);
    selectCode(ComboRepeat, rule.frequency);
    showRepeatParts();
}

void TaskEditor::place()
{
    Class1::zhiqian(this);
    WindowPlace::besideFrame(this);
}

void TaskEditor::showSliderTime()
{
    Text2->setText(TimeSlider::textAt(Slider1->value()));
    showSliderTip();
}

void TaskEditor::showSliderTip()
{
    Slider1->setToolTip(TimeSlider::textAt(Slider1->value()));
}

void TaskEditor::setSliderQuietly(int position)
{
    {
        const QSignalBlocker quiet(Slider1);
        Slider1->setValue(position);
    }
    showSliderTip();
}

void TaskEditor::setDayQuietly(const QDate& day)
{
    const QSignalBlocker quiet(DTPicker1);
    DTPicker1->setDate(day);
}

void TaskEditor::Command1_Click()
{
    Text2->setText(TimeSlider::shifted(Text2->text(), 1));
}

void TaskEditor::Command2_Click()
{
    Text2->setText(TimeSlider::shifted(Text2->text(), -1));
}

qint64 TaskEditor::chosen(const QComboBox* combo)
{
    return combo->currentData().toLongLong();
}

bool TaskEditor::selectCode(QComboBox* combo, qint64 code)
{
    const int index = combo->findData(code);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}

void TaskEditor::fillLevels(int zhongyao, int jinpo)
{
    Combo1->clear();
    Combo1->addItem(QStringLiteral("重要"), 1);
    Combo1->addItem(QStringLiteral("普通"), 0);
    selectCode(Combo1, zhongyao);
    Combo2->clear();
    Combo2->addItem(QStringLiteral("紧迫"), 1);
    Combo2->addItem(QStringLiteral("一般"), 0);
    selectCode(Combo2, jinpo);
}

void TaskEditor::addKinds()
{
    Combo3->addItem(QStringLiteral("经常性"), 0);
    Combo3->addItem(QStringLiteral("一次性"), 1);
}

void TaskEditor::fillThemes(qint64 themeId)
{
    Combo5->clear();
    Combo5->addItem(QStringLiteral("无"), 0);
    for (const Themes::Choice& theme : Db::get([] { return Themes::all(); }).value_or(QList<Themes::Choice>()))
        Combo5->addItem(theme.name, theme.id);
    if (!selectCode(Combo5, themeId))
        Combo5->setCurrentIndex(0);
}

void TaskEditor::fillGoalChoices(const QList<Themes::Choice>& goals)
{
    Combo4->clear();
    Combo4->addItem(QStringLiteral("无"), 0);
    for (const Themes::Choice& goal : goals)
        Combo4->addItem(goal.name, goal.id);
    Combo4->setCurrentIndex(0);
}

std::optional<Tasks::Task> TaskEditor::taskFromFields()
{
    auto refuse = [](const QString& message, QLineEdit* box) {
        MsgBox(message);
        box->setFocus();
        box->selectAll();
        return std::nullopt;
    };

    if (TaskName::missing(Text1->text()))
        return refuse(TaskName::kMissing, Text1);
    const QString order = Text3->text();
    if (order.isEmpty())
        return refuse(texts_.emptyOrder, Text3);
    // IsNumberText lets "." or "1.2.3" through; such a text is no number to store either.
    const QVariant xuhao = Tasks::orderNumber(order);
    if (!IsNumberText(order) || !xuhao.isValid())
        return refuse(texts_.badOrder, Text3);

    Tasks::Task task;
    if (!Check2->isChecked()) {
        task.day = DTPicker1->date();
        if (!Check1->isChecked()) {
            const std::optional<QTime> time = TimeSlider::parse(Text2->text());
            if (!time)
                return refuse(QStringLiteral("请输入正确的时间！"), Text2);
            task.time = *time;
        }
    }
    task.title = Text1->text();
    task.content = RichTextBox1->toPlainText();
    task.goal = chosen(Combo4);
    task.theme = chosen(Combo5);
    task.important = int(chosen(Combo1));
    task.urgent = int(chosen(Combo2));
    task.kind = Tasks::Kind(chosen(Combo3));
    task.order = xuhao;
    return task;
}

QString TaskEditor::fieldsSnapshot() const
{
    const QStringList parts{Text1->text(),
                            RichTextBox1->toPlainText(),
                            Text2->text(),
                            Text3->text(),
                            DTPicker1->date().toString(Qt::ISODate),
                            QString::number(Check1->isChecked()),
                            QString::number(Check2->isChecked()),
                            QString::number(Combo1->currentIndex()),
                            QString::number(Combo2->currentIndex()),
                            QString::number(Combo3->currentIndex()),
                            QString::number(Combo4->currentIndex()),
                            QString::number(Combo5->currentIndex()),
                            QString::number(ComboRepeat->currentIndex()),
                            QString::number(ruleFromFields({}).weekdays),
                            QString::number(SpinEvery->value()),
                            QString::number(CheckUntil->isChecked()),
                            DTPUntil->date().toString(Qt::ISODate)};
    return parts.join(QChar(0x1f));
}
