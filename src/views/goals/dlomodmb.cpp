#include "views/goals/dlomodmb.h"

#include "data/db.h"
#include "data/goals.h"
#include "gui/changes.h"
#include "gui/clock.h"
#include "gui/forms.h"
#include "gui/views.h"
#include "gui/windowplace.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

dlomodmb::dlomodmb(QWidget* parent)
    : GoalDialog(QStringLiteral("编辑行动目标"), QStringLiteral("完成时间："), QStringLiteral("修改"), parent)
{
    Cbo1->setPlaceholderText(QStringLiteral("请选择"));
    finish();
    connect(Command1, &QPushButton::clicked, this, &dlomodmb::Command1_Click);
}

bool dlomodmb::Form_Load()
{
    adjustSize();
    WindowPlace::besideFrame(this);
    qint64 id = 0;
    for (const QString& view : {Views::kGoals, Views::kRoles}) {
        if (const GoalSelection* goals = Forms::openAs<GoalSelection>(view)) {
            id = goals->selectedGoalId();
            break;
        }
    }
    const bool loaded = Db::run([&] {
        const std::optional<Goals::Goal> goal = Goals::load(id);
        if (!goal)
            return;
        goalId_ = goal->id;
        storedTheme_ = goal->theme;
        Text1->setText(goal->title);
        Rtb1->setPlainText(goal->content);
        DTP1->setDate(goal->end.isValid() ? goal->end : Clock::today());
        // The goal's own theme comes first, so that a save without a choice keeps it.
        const bool themeExists = goal->themeExists;
        if (themeExists)
            Cbo1->addItem(goal->themeName, goal->theme);
        appendThemes();
        Cbo1->setCurrentIndex(themeExists ? 0 : -1);
    });
    guardEdits(QStringLiteral("是否保存对目标的修改？"), Command1);
    return loaded && goalId_ != 0;
}

void dlomodmb::Command1_Click()
{
    if (!nameGiven())
        return;
    Goals::Goal goal;
    goal.id = goalId_; // the goal that was loaded, whatever the view has selected since
    goal.title = Text1->text();
    goal.content = Rtb1->toPlainText();
    goal.end = DTP1->date();
    // A goal whose theme no longer exists keeps it until the user picks another.
    goal.theme = Cbo1->currentIndex() >= 0 ? Cbo1->currentData().toLongLong() : storedTheme_;
    if (!Db::run([&] { Goals::update(goal); }))
        return;
    Forms::unload(this);
}

void dlomodmb::hideEvent(QHideEvent* event)
{
    GoalDialog::hideEvent(event);
    // Saved or closed, the open view's goal list is refilled once.
    if (!announced_ && goalId_ != 0) {
        announced_ = true;
        Changes::announce(Changes::Goals, this);
    }
}
