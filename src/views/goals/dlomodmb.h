#pragma once

#include "views/goals/goaldialog.h"

// "编辑行动目标": edits the goal selected in the goals view, or else in the execution view. The
// open view's goal list is refilled when the dialog goes, saved or not.
class dlomodmb : public GoalDialog
{
    Q_OBJECT

public:
    explicit dlomodmb(QWidget* parent = nullptr);
    // False (the dialog does not open) when the goal cannot be read.
    bool Form_Load();
    qint64 goalId() const { return goalId_; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void Command1_Click();

    qint64 goalId_ = 0;
    qint64 storedTheme_ = 0;
    bool announced_ = false;
};
