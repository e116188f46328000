#pragma once

#include "app/formdialog.h"

// The add-task dialog "添加任务": kept on top, placed beside the main frame. It learns the goal
// and the day from the views that are open and refreshes them when it has saved.
class dlogaddrw : public FormDialog
{
    Q_OBJECT

public:
    explicit dlogaddrw(QWidget* parent = nullptr);

    // Loads (or brings forward) the shared dialog and shows it. Returns null when the dialog
    // closed itself while loading (the goals view is open without a goal to add to).
    static dlogaddrw* showShared();
};
