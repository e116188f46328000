#pragma once

#include "app/formdialog.h"

// The edit-task dialog "修改任务" for the task selected in the first open view that lists tasks
// (goals view, task list view, today view).
class Dlogmodrw : public FormDialog
{
    Q_OBJECT

public:
    explicit Dlogmodrw(QWidget* parent = nullptr);

    // Loads (or brings forward) the shared dialog and shows it.
    static Dlogmodrw* showShared();

    // The task the dialog edits (0 when none could be read).
    qint64 taskId() const;
};
