#pragma once

#include "views/tasks/taskeditor.h"

#include <optional>

// The add-task dialog "添加任务": kept on top, placed beside the main frame. It learns the goal
// and the day from the views that are open and refreshes them when it has saved.
class dlogaddrw : public TaskEditor
{
    Q_OBJECT

public:
    explicit dlogaddrw(QWidget* parent = nullptr);

    // Loads (or brings forward) the shared dialog and shows it. Returns null when the dialog
    // refused to open (the goals view is open without a goal to add to).
    static dlogaddrw* showShared();

    // The load steps; false when the task cannot be added and the dialog must not open.
    bool Form_Load();

private:
    void Slider1_Change();
    void Slider1_MouseUp();
    void Combo4_Click();
    void Combo5_Click();
    void DTPicker1_Change();
    void OKButton_Click();
};
