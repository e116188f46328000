#pragma once

#include <optional>

#include "views/tasks/dlogaddrw.h"

// The edit-task dialog "修改任务" for the task selected in the first open view that lists tasks
// (goals view, task list view, today view). It saves into the task it loaded.
class Dlogmodrw : public TaskEditor
{
    Q_OBJECT

public:
    explicit Dlogmodrw(QWidget* parent = nullptr);

    // Loads (or brings forward) the shared dialog and shows it.
    static Dlogmodrw* showShared();

    // The task the dialog edits (0 when none could be read).
    qint64 taskId() const;

    void Form_Load();

private:
    static qint64 taskIdFromOpenView();
    // Fills the fields with the task selected in the open view.
    void loadTask();

    void Slider1_Change();
    void Slider1_MouseUp();
    void Combo5_Click();
    void Command3_Click();

    qint64 taskId_ = 0;
    // The active rule of the loaded occurrence (0: none), the kind and the day as loaded.
    qint64 ruleId_ = 0;
    int loadedKind_ = 1;
    QDate loadedDay_;
    // The fields as loaded, to tell unsaved edits.
    QString loaded_;
    // The task as it read from its fields right after loading: a field still holding that value
    // was not edited, and the save keeps what is stored for it now (a day or time moved by
    // another window meanwhile is not written back).
    std::optional<Tasks::Task> shown_;
};
