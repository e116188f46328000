#include "views/goals/dlogmb.h"

#include "data/db.h"
#include "data/goals.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/prompt.h"
#include "gui/views.h"
#include "gui/windowplace.h"
#include "views/goals/goalforms.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

Dlogmb::Dlogmb(QWidget* parent)
    : GoalDialog(QStringLiteral("添加目标"), QStringLiteral("目标预计完成日期："), QStringLiteral("添加目标"), parent)
{
    Option1_1 = new QRadioButton(QStringLiteral("开始执行"), this);
    Option1_1->setObjectName(QStringLiteral("Option1_1"));
    Option1_0 = new QRadioButton(QStringLiteral("暂不执行"), this);
    Option1_0->setObjectName(QStringLiteral("Option1_0"));
    auto* group = new QButtonGroup(this);
    group->addButton(Option1_1);
    group->addButton(Option1_0);
    // A new goal is worked on from the start unless the user says otherwise.
    Option1_1->setChecked(true);

    auto* options = new QHBoxLayout;
    options->addWidget(Option1_1);
    options->addSpacing(16);
    options->addWidget(Option1_0);
    options->addStretch();
    auto* Label3 = new QLabel(QStringLiteral("目标状态："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addWidget(Label3, nextRow, 0);
    form->addLayout(options, nextRow++, 1);

    Label6 =
        new QLabel(QStringLiteral("目标描述可以描述您在目标未完成时的状态和完成后的状态，及完成目标需要怎么配置资源？"
                                  "如何完成目标的想法，完成的步骤如何等。"),
                   this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setWordWrap(true);
    Label6->setStyleSheet(QStringLiteral("color: #6b7280;"));
    form->addWidget(Label6, nextRow++, 1);
    finish();

    connect(Command1, &QPushButton::clicked, this, &Dlogmb::Command1_Click);
}

void Dlogmb::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    DTP1->setDate(Clock::today());
    // The theme selected in the execution view comes first to hand; else the first theme.
    const ThemeSelection* themes = Forms::openAs<ThemeSelection>(Views::kRoles);
    const qint64 preferred = themes ? themes->selectedThemeId() : -1;
    Db::run([&] { appendThemes(); });
    if (Cbo1->count() > 0)
        Cbo1->setCurrentIndex(std::max(0, Cbo1->findData(preferred)));
}

void Dlogmb::Command1_Click()
{
    if (!nameGiven())
        return;
    if (DTP1->date() < Clock::today()) {
        MsgBox(QStringLiteral("完成预期的日期不能早于今日！"));
        DTP1->setFocus();
        return;
    }
    if (Cbo1->currentIndex() < 0) {
        MsgBox(QStringLiteral("请选择与目标相关的主题！"));
        Cbo1->setFocus();
        return;
    }
    Goals::Goal goal;
    goal.title = Text1->text();
    goal.content = Rtb1->toPlainText();
    goal.start = Clock::today(); // the start day the week lists look at
    goal.end = DTP1->date();
    goal.theme = Cbo1->currentData().toLongLong();
    goal.state = Option1_0->isChecked() ? Goals::NotExecuting : Goals::Executing;
    if (!Db::run([&] { Goals::insert(goal); }))
        return; // the error has been shown; the dialog keeps what was typed
    Changes::announce(Changes::Goals, this);
    Forms::unload(this);
}
